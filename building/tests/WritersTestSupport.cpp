#include "building/tests/WritersTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace pcn::test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pcn-writers-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::unique_ptr<CCabObj> makePackage(int32_t kind, const std::string& targetFolder) {
    auto package = std::make_unique<CCabObj>();
    package->m_nKind = kind;
    package->m_bCab = kind == kKindCabinet;
    package->m_bCabSelf = kind == kKindSelfExtractingCabinet;
    package->m_bCabWiz = kind == kKindSelfExtractingWizard;
    package->m_strTargetFolder = targetFolder;
    package->m_strProjectName = "Tools";
    package->m_bSignature = 0;
    return package;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string testData(const std::string& name) { return readFile(std::string(PCN_SOURCE_DIR) + "/building/tests/data/" + name); }

}  // namespace pcn::test
