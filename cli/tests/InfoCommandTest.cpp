// parcelon info on the PE fixtures and on files it cannot read.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace {

struct Result {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

Result parcelon(const std::string& arguments) {
    std::string command = std::string(PCN_PROGRAM_DIR) + "/parcelon " + arguments + " 2>&1";
    Result run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string fixture(const std::string& name) { return std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/" + name; }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(InfoCommandTest, ControlShowsVersionRegistrationAndCoclasses) {
    Result run = parcelon("info " + fixture("control32.ocx"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "PE32 (i386), library")) << run.output;
    EXPECT_TRUE(contains(run.output, "\"1, 2, 3, 4\"")) << run.output;
    EXPECT_TRUE(contains(run.output, "0409 04B0")) << run.output;
    EXPECT_TRUE(contains(run.output, "yes (OLESelfRegister, exports DllRegisterServer)")) << run.output;
    EXPECT_TRUE(contains(run.output, "KERNEL32.dll, USER32.dll")) << run.output;
    EXPECT_TRUE(contains(run.output, "{6B2B1A11-3C4D-4E5F-8A9B-0C1D2E3F4A52} interface IFixtureControl")) << run.output;
    EXPECT_TRUE(contains(run.output, "{6B2B1A13-3C4D-4E5F-8A9B-0C1D2E3F4A54} FixtureHelper \"Fixture helper object\""))
        << run.output;
}

TEST(InfoCommandTest, LibraryWithoutVersionOrTypeLibrary) {
    Result run = parcelon("info " + fixture("plain32.dll"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "none (no version resource)")) << run.output;
    EXPECT_TRUE(contains(run.output, "Self-registration:   no")) << run.output;
    EXPECT_TRUE(contains(run.output, "Type library:        none")) << run.output;
}

TEST(InfoCommandTest, UnreadableFilesFailWithTheReason) {
    Result missing = parcelon("info /nonexistent/component.ocx");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.output, "cannot read /nonexistent/component.ocx: No such file or directory"))
        << missing.output;

    Result text = parcelon("info " + std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/facts.txt");
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(contains(text.output, "is neither a Windows component (PE image) nor a type library")) << text.output;
}

}  // namespace
