// parcelon inf on a package made for the test.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/AtomicFile.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int exitCode = -1;
    std::string output;
};

Result parcelon(const std::string& arguments, bool withStderr = true) {
    std::string command = std::string(PCN_PROGRAM_DIR) + "/parcelon " + arguments + (withStderr ? " 2>&1" : "");
    Result result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), n);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class InfCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("pcn-cli-inf-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "src");
        fs::copy_file(fs::path(PCN_SOURCE_DIR) / "platform/pe/fixtures/bin/control32.ocx", folder_ / "src/Fixture.ocx");
        pcn::CCabObj package;
        package.m_strProduct = "Fixture Product";
        package.m_strProjectName = "Fixture";
        package.m_strSourceFolder = (folder_ / "src").string() + "/";
        package.m_strTargetFolder = (folder_ / "out").string() + "/";
        package.m_strInfText = ";stored text\r\n";
        package.m_bIncludeInf = 1;
        package.AddFile((folder_ / "src/Fixture.ocx").string());
        package.m_strPackageFile = (folder_ / "Fixture.pcp").string();
        ASSERT_TRUE(pcn::SavePackage(package));
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(InfCommandTest, PrintsGeneratedOrStoredText) {
    Result generated = parcelon("inf " + (folder_ / "Fixture.pcp").string(), false);
    EXPECT_EQ(generated.exitCode, 0);
    EXPECT_TRUE(generated.output.starts_with(";Fixture Product\r\n\r\n[Version]\r\n")) << generated.output;
    EXPECT_TRUE(generated.output.ends_with(
        "\r\n[Fixture.ocx]\r\nfile=thiscab\r\nFileVersion=1, 2, 3, 4\r\nRegisterServer=yes\r\nDestDir=11\r\n"
        "clsid={6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53}\r\n"))
        << generated.output;

    Result stored = parcelon("inf --stored " + (folder_ / "Fixture.pcp").string(), false);
    EXPECT_EQ(stored.output, ";stored text\r\n");
    EXPECT_FALSE(fs::exists(folder_ / "out")) << "printing writes nothing";
}

TEST_F(InfCommandTest, WriteMakesTheInfAndTheCopyForTheCabinet) {
    Result written = parcelon("inf --write " + (folder_ / "Fixture.pcp").string());
    EXPECT_EQ(written.exitCode, 0) << written.output;
    EXPECT_EQ(written.output, (folder_ / "out/Fixture.Inf").string() + "\n" + (folder_ / "src/Fixture.Inf").string() + "\n");
    std::string target, copy;
    ASSERT_TRUE(pcn::readWholeFile(folder_ / "out/Fixture.Inf", target));
    ASSERT_TRUE(pcn::readWholeFile(folder_ / "src/Fixture.Inf", copy));
    EXPECT_EQ(target, copy);
    EXPECT_NE(target.find("[Add.Code]\r\nFixture.ocx=Fixture.ocx\r\n"), std::string::npos) << target;
}

TEST_F(InfCommandTest, DamagedOrMissingPackageFails) {
    std::ofstream(folder_ / "bad.pcp", std::ios::binary) << "not a package";
    Result bad = parcelon("inf " + (folder_ / "bad.pcp").string());
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.output.find("Unexpected file format."), std::string::npos) << bad.output;
    Result missing = parcelon("inf " + (folder_ / "none.pcp").string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("No such file or directory"), std::string::npos) << missing.output;
}

}  // namespace
