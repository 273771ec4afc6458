#pragma once
// Shared by the writers' tests: a scratch folder, a host that records what
// the build shows, and packages of each kind.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "building/BuildHost.h"
#include "model/CCabObj.h"

namespace pcn::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& path() const { return path_; }
    std::string str(const std::string& relative = {}) const { return (path_ / relative).string(); }

private:
    std::filesystem::path path_;
};

class RecordingHost : public BuildHost {
public:
    void showStep(std::string_view text) override { steps.emplace_back(text); }
    void showPhase(std::string_view) override {}
    void showCurrentFile(std::string_view) override {}
    void showProgress(const BuildProgress&) override {}
    void showPercent(uint32_t percent) override { percents.push_back(percent); }
    std::vector<std::string> steps;
    std::vector<uint32_t> percents;
};

// A package of the given kind with its flags set to match, writing into
// targetFolder, named "Tools", with no signature.
std::unique_ptr<CCabObj> makePackage(int32_t kind, const std::string& targetFolder);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& bytes);
// A file of the tests' data folder.
std::string testData(const std::string& name);

}  // namespace pcn::test
