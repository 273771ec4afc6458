#include "editing/gui/tests/EditingTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace pcn::test {

bool ScriptedPickers::answer(const QString& kind, QString& path, int number, int* filterIndex) {
    calls.push_back({kind, path, number});
    if (answers_.empty()) return false;
    Answer a = answers_.front();
    answers_.pop_front();
    path = a.paths.value(0);
    if (filterIndex && a.filterIndex) *filterIndex = a.filterIndex;
    return true;
}

bool ScriptedPickers::licenceFile(QWidget*, QString& path, int& filterIndex) {
    return answer("licence", path, filterIndex, &filterIndex);
}
bool ScriptedPickers::credentialsOrKey(QWidget*, QString& path, int mode) {
    return answer("credentials", path, mode, nullptr);
}
bool ScriptedPickers::addFiles(QWidget*, const QString& folder, QStringList& files, int& filterIndex) {
    calls.push_back({"addFiles", folder, filterIndex});
    if (answers_.empty()) return false;
    Answer a = answers_.front();
    answers_.pop_front();
    files = a.paths;
    if (a.filterIndex) filterIndex = a.filterIndex;
    return true;
}
bool ScriptedPickers::fileToSign(QWidget*, QString& path, int mode) { return answer("sign", path, mode, nullptr); }
bool ScriptedPickers::fileToCheck(QWidget*, QString& path, int& filterIndex) {
    return answer("check", path, filterIndex, &filterIndex);
}
bool ScriptedPickers::component(QWidget*, QString& path, int type, int& filterIndex) {
    const int handedIn = filterIndex;
    const bool chosen = answer("component", path, type, &filterIndex);
    calls.back().filterIndex = handedIn;
    return chosen;
}
bool ScriptedPickers::webPageToSave(QWidget*, QString& path) { return answer("savePage", path, 0, nullptr); }
bool ScriptedPickers::packageFile(QWidget*, QString& path, int& filterIndex) {
    return answer("package", path, filterIndex, &filterIndex);
}
bool ScriptedPickers::folder(QWidget*, QString& path) { return answer("folder", path, 0, nullptr); }
bool ScriptedPickers::fileToSend(QWidget*, QString& path, int& filterIndex) {
    return answer("send", path, filterIndex, &filterIndex);
}

EditingTest::EditingTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pcn-editing-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    settings_ = std::make_unique<SettingsStore>(root_ / "settings.conf");
    ::setenv("PCN_DATA_DIR", root_.c_str(), 1);
    context_ = std::make_unique<gui::EditingContext>(gui::EditingContext{*settings_, ui, pickers});
}

EditingTest::~EditingTest() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string EditingTest::makeFile(const std::filesystem::path& relative, size_t size, char fill) {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, fill);
    return path.string();
}

}  // namespace pcn::test
