// The command line end to end: `parcelon web new` on the fixture control,
// `parcelon build` of a project holding it, and the .inf and .htm it writes
// read back; `parcelon web` changing the list; `parcelon template` and
// `parcelon register` on real components.

#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "platform/Process.h"
#include "platform/SettingsStore.h"
#include "web/tests/WebTestSupport.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;

ProcessResult parcelon(const std::vector<std::string>& arguments) {
    return runProcess(std::string(PCN_PROGRAM_DIR) + "/parcelon", arguments);
}

// An INF file as sections of key=value lines; every line must end in CR LF.
using Sections = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

Sections parseInf(const std::string& text) {
    Sections sections;
    std::string current;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << start;
        if (end == std::string::npos) break;
        std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            sections[current];
            continue;
        }
        size_t equals = line.find('=');
        EXPECT_NE(equals, std::string::npos) << line;
        sections[current].emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return sections;
}

// The value of an attribute in the first tag that has it (its name after a
// space or at the start of a line, so that "id" is not found in "classid").
std::string attribute(const std::string& html, const std::string& name) {
    size_t at = std::min(html.find(" " + name + "=\""), html.find("\n" + name + "=\""));
    if (at == std::string::npos) return "<none>";
    at += name.size() + 3;
    return html.substr(at, html.find('"', at) - at);
}

class WebCommands : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_.file("src"));
        component_ = folder_.file("src/Gauge.ocx");
        fs::copy_file(test::fixture("control32.ocx"), component_);
        SettingsStore(folder_.file("settings.conf")).writeString("Settings\\CodeSign", "URL", kSite);
    }
    static constexpr const char* kSite = "https://files.example/controls";
    test::TempFolder folder_;
    std::string component_;
};

TEST_F(WebCommands, NewPackageBuiltInAProjectWritesAnInfAndPageThatReadBack) {
    std::string package = folder_.file("Gauge.pcp");
    ProcessResult made = parcelon({"web", "new", package, "--component", component_, "--company", "Tarnwick",
                                   "--product", "Gauge Control", "--target", folder_.file("out"), "--no-scan",
                                   "--htm", "--lpk"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    std::string project = folder_.file("Web.pcn");
    ASSERT_EQ(parcelon({"project", project, "add", package}).exitCode, 0);

    ProcessResult built = parcelon({"build", project});
    ASSERT_EQ(built.exitCode, 0) << built.output;
    std::string inf = folder_.file("out/Gauge Control/Gauge Control.inf");
    std::string htm = folder_.file("out/Gauge Control/Gauge Control.htm");
    EXPECT_NE(built.output.find(inf), std::string::npos) << built.output;

    Sections sections = parseInf(test::readText(inf));
    EXPECT_EQ(sections["Version"], (std::vector<std::pair<std::string, std::string>>{{"Signature", "$CHICAGO$"}}));
    EXPECT_EQ(sections["Add.Code"],
              (std::vector<std::pair<std::string, std::string>>{{"Gauge.ocx", "Gauge.ocx"}}));
    EXPECT_EQ(sections["Gauge.ocx"], (std::vector<std::pair<std::string, std::string>>{
                                         {"file-win32-x86", std::string(kSite) + "/x86/Gauge.ocx"},
                                         {"FileVersion", "1, 2, 3, 4"},
                                         {"RegisterServer", "yes"},
                                         {"DestDir", "11"},
                                         {"clsid", "{6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53}"}}));

    std::string page = test::readText(htm);
    EXPECT_EQ(attribute(page, "id"), "FixtureControl1");
    // The code base names the INF file written, its blank encoded.
    EXPECT_EQ(std::filesystem::path(inf).filename().string(), "Gauge Control.inf");
    EXPECT_EQ(attribute(page, "codebase"), std::string(kSite) + "/Gauge%20Control.inf");
    EXPECT_EQ(attribute(page, "value"), "Gauge.lpk");
    EXPECT_NE(page.find("classid=\"CLSID:6B2B1A12-3C4D-4E5F-8A9B-0C1D2E3F4A53\""), std::string::npos);
}

TEST_F(WebCommands, WebChangesTheListAndPrintsTheInf) {
    std::string package = folder_.file("Gauge.pcp");
    ASSERT_EQ(parcelon({"web", "new", package, "--component", component_, "--company", "T", "--product", "Gauge",
                        "--target", folder_.path(), "--no-scan"})
                  .exitCode,
              0);
    ProcessResult changed = parcelon({"web", package, "--os", "0:2", "--cpu", "0:4"});
    ASSERT_EQ(changed.exitCode, 0) << changed.output;
    EXPECT_NE(changed.output.find("file-mac-mips=" + std::string(kSite) + "/mips/Gauge.ocx\r\n"), std::string::npos)
        << changed.output;
    // The change was saved: printing again without options shows it too.
    EXPECT_NE(parcelon({"web", package}).output.find("file-mac-mips="), std::string::npos);

    ProcessResult excluded = parcelon({"web", package, "--exclude", "0"});
    EXPECT_TRUE(excluded.output.ends_with("[Add.Code]\r\n\r\n")) << excluded.output;
    ProcessResult wrong = parcelon({"web", package, "--include", "3"});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_NE(wrong.output.find("no dependency 3"), std::string::npos) << wrong.output;
    EXPECT_NE(parcelon({"web", package, "--os", "0-2"}).exitCode, 0);
}

TEST_F(WebCommands, NewPackageScansTheComponentForItsLibraries) {
    std::string package = folder_.file("Scanned.pcp");
    std::string so = std::string(PCN_TEST_BIN) + "/ElfComponent-full.so";
    ProcessResult made = parcelon({"web", "new", package, "--component", so, "--company", "T", "--product",
                                   "Scanned", "--target", folder_.path()});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    ProcessResult listed = parcelon({"web", package, "--list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    std::istringstream rows(listed.output);
    std::string header, first, row;
    std::getline(rows, header);
    std::getline(rows, first);
    EXPECT_EQ(first, "0 1 1 1 6 " + fs::path(so).lexically_normal().string());
    bool libc = false;
    while (std::getline(rows, row)) libc = libc || row.find("libc.so") != std::string::npos;
    EXPECT_TRUE(libc) << listed.output;
}

TEST_F(WebCommands, TemplateMatchesTheHandWrittenPage) {
    std::string saved = folder_.file("page.htm");
    ProcessResult run = parcelon({"template", test::fixture("control32.ocx"), "--lpk", "-o", saved});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(test::readText(saved), test::expected("component-control-lpk.htm"));
    ProcessResult unwritable = parcelon({"template", test::fixture("control32.ocx"), "-o", folder_.file("no/such/dir/x")});
    EXPECT_NE(unwritable.exitCode, 0);
    EXPECT_NE(unwritable.output.find("Unable to create file:"), std::string::npos) << unwritable.output;
}

TEST_F(WebCommands, RegisterRunsTheEntryPointAndItsResultDecidesTheExitCode) {
    std::string so = std::string(PCN_TEST_BIN) + "/ElfComponent-full.so";
    std::string marker = folder_.file("cli-marker");
    ::setenv("PCN_TEST_MARKER", marker.c_str(), 1);
    ProcessResult ok = parcelon({"register", so});
    EXPECT_EQ(ok.exitCode, 0) << ok.output;
    EXPECT_NE(ok.output.find("The Component was successfully registered."), std::string::npos);
    EXPECT_TRUE(fs::exists(marker + ".registered"));

    ::setenv("PCN_TEST_RESULT", "5", 1);
    ProcessResult failed = parcelon({"unregister", so});
    ::unsetenv("PCN_TEST_RESULT");
    ::unsetenv("PCN_TEST_MARKER");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("Failed to Unregister Library."), std::string::npos) << failed.output;
    EXPECT_TRUE(fs::exists(marker + ".unregistered"));
}

}  // namespace
}  // namespace pcn
