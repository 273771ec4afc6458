// SignCode and ChkTrust on real files, checked with osslsigncode, cabextract
// and gcab. Certificates, a time-stamp authority and a small Windows program
// are made here with openssl and the MinGW compiler.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "distribution/ScriptedUserInterface.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"
#include "signing/BuildSigning.h"
#include "signing/SigningJobs.h"
#include "signing/TrustDetails.h"
#include "signing/tests/TestSupport.h"

namespace pcn {
namespace {

using namespace pcn::test;

class SignToolsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SuiteKeys::make(); }
    static void TearDownTestSuite() { SuiteKeys::remove(); }

    void SetUp() override {
        ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 0);
        fs::create_directories(dir / "conf");
        settingsFile = dir / "conf" / "PCN.conf";
        ::setenv("PCN_SETTINGS", settingsFile.c_str(), 1);
        settings = std::make_unique<SettingsStore>(settingsFile);
        ASSERT_TRUE(settings->writeString("Settings\\CheckTrust", "CAFile", key("cert.pem")));
        ASSERT_TRUE(settings->writeString("Settings\\CheckTrust", "TSACAFile", key("tsa.pem")));
        // The signer's answer in the trust dialog after signing.
        writeScript(dir / "conf" / "accept", "exit 0\n");
        ::setenv("PCN_TRUST_DIALOG", (dir / "conf" / "accept").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("PCN_TRUST_DIALOG"); }

    static std::string key(const std::string& name) { return SuiteKeys::key(name); }
    static std::string tool(const std::string& name) { return std::string(PCN_PROGRAM_DIR) + "/" + name; }

    std::unique_ptr<CSignCodeInfo> job(const fs::path& file) {
        auto jp = std::make_unique<CSignCodeInfo>(settings.get());
        CSignCodeInfo& j = *jp;
        j.file = file.string();
        j.credentials = key("cert.spc");
        j.key = key("key.pvk");
        j.name = "Parcelon Test";
        j.information = "http://example.com/parcelon";
        j.host = &host;
        return jp;
    }

    fs::path copyOfApp(const std::string& name) {
        fs::path target = dir / name;
        fs::copy_file(key("app.exe"), target);
        return target;
    }

    static ProcessResult verify(const fs::path& file, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"verify", "-CAfile", key("cert.pem")};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(file.string());
        return run("osslsigncode", args);
    }

    static void expectVerified(const fs::path& file) {
        ProcessResult v = verify(file);
        EXPECT_EQ(v.exitCode, 0) << v.output;
        EXPECT_NE(v.output.find("Signature verification: ok"), std::string::npos) << v.output;
    }

    void expectOnlyFiles(std::initializer_list<std::string> names) {
        std::set<std::string> want(names), have;
        for (const auto& e : fs::directory_iterator(dir.path())) have.insert(e.path().filename().string());
        EXPECT_EQ(have, want);
    }

    ScratchDir dir;
    fs::path settingsFile;
    std::unique_ptr<SettingsStore> settings;
    RecordingHost host;
};

TEST_F(SignToolsTest, SignsAProgramInPlaceAndChecksItsTrust) {
    fs::path app = copyOfApp("app.exe");
    auto jobPtr = job(app);
    CSignCodeInfo& j = *jobPtr;
    j.md5 = 0;
    j.checkTrust = 1;
    EXPECT_TRUE(runSigningWorker(j)) << host.box();
    EXPECT_EQ(host.box().find("Check Trust failed."), std::string::npos) << host.box();
    EXPECT_NE(host.box().find("Accepted: " + app.string()), std::string::npos) << host.box();
    EXPECT_EQ(host.statuses.back(), "Complete");
    expectVerified(app);
    ProcessResult v = verify(app);
    EXPECT_NE(v.output.find("SHA1"), std::string::npos);
    EXPECT_NE(v.output.find("Text description: Parcelon Test"), std::string::npos);
    EXPECT_NE(v.output.find("URL description: http://example.com/parcelon"), std::string::npos);
    EXPECT_TRUE((fs::status(app).permissions() & fs::perms::owner_exec) != fs::perms::none);
    expectOnlyFiles({"app.exe", "conf"});

    // One changed byte in the signed program: the check fails with a result code.
    std::string bytes = readFile(app);
    bytes[0x200] ^= 0x55;
    writeFile(app, bytes);
    CCheckTrustInfo check;
    check.file = app.string();
    check.displayUI = 0;
    EXPECT_FALSE(runTrustCheckWorker(check));
    EXPECT_NE(check.output.find("Error: " + app.string() + ": the file was changed after it was signed (-"),
              std::string::npos)
        << check.output;
}

TEST_F(SignToolsTest, ChkTrustTellsUnsignedAndUntrustedFiles) {
    fs::path app = copyOfApp("plain.exe");
    ProcessResult r = run(tool("ChkTrust"), {"-q", app.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("Error: " + app.string() + " is not signed. TRUST_E_NOSIGNATURE 0x800B0100 (-2146762496)"),
              std::string::npos)
        << r.output;
    // Nor is anybody asked to trust it, a text file least of all.
    const fs::path text = dir / "notes.txt";
    writeFile(text, "not a program\n");
    const fs::path marker = dir / "asked";
    writeScript(dir / "answer", "touch '" + marker.string() + "'\nexit 0\n");
    ::setenv("PCN_TRUST_DIALOG", (dir / "answer").c_str(), 1);
    r = run(tool("ChkTrust"), {text.string()});
    ::unsetenv("PCN_TRUST_DIALOG");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find(text.string() + " is not signed."), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(marker));
    fs::remove(text);
    fs::remove(dir / "answer");

    ASSERT_EQ(run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("key.pvk"), "-a", "sha256", app.string()}).exitCode, 0);
    r = run(tool("ChkTrust"), {"-q", app.string()});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output, "Trusted: " + app.string() + " (signed by /CN=Parcelon Test Publisher)\n");
    // Trusting someone else's certificate only: not trusted.
    r = run(tool("ChkTrust"), {"-q", "-CAfile", key("other-cert.pem"), app.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("not trusted (-2146762487)"), std::string::npos) << r.output;
    // Without -q the details come first and the user is asked; here a
    // program of the user's own answers in place of the dialog.
    const fs::path asked = dir / "asked.txt";
    for (int answer : {0, 1}) {
        const fs::path answering = dir / ("answer" + std::to_string(answer));
        writeScript(answering, "printf '%s\\n' \"$@\" > '" + asked.string() + "'\nexit " + std::to_string(answer) + "\n");
        ::setenv("PCN_TRUST_DIALOG", answering.c_str(), 1);
        r = run(tool("ChkTrust"), {"-CAfile", key("other-cert.pem"), app.string()});
        ::unsetenv("PCN_TRUST_DIALOG");
        EXPECT_NE(r.output.find("Subject:    /CN=Parcelon Test Publisher\n"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("Chain:      NOT trusted\n"), std::string::npos) << r.output;
        if (answer == 0) {
            EXPECT_EQ(r.exitCode, 0) << r.output;
            EXPECT_NE(r.output.find("Accepted: " + app.string()), std::string::npos) << r.output;
        } else {
            EXPECT_NE(r.exitCode, 0);
            EXPECT_NE(r.output.find("the user declined to trust the signature (-2146762748)"), std::string::npos)
                << r.output;
        }
        auto details = trustDetailsFromArguments(splitLines(readFile(asked)));
        ASSERT_TRUE(details.has_value()) << readFile(asked);
        EXPECT_EQ(details->file, app.string());
        EXPECT_EQ(details->subject, "/CN=Parcelon Test Publisher");
        EXPECT_EQ(details->issuer, "/CN=Parcelon Test Publisher");
        EXPECT_EQ(details->digest, "SHA256");
        EXPECT_FALSE(details->validFrom.empty());
        EXPECT_FALSE(details->validTo.empty());
        EXPECT_TRUE(details->timeStamp.empty());
        EXPECT_FALSE(details->chainTrusted);
        EXPECT_EQ(details->problem, "the signing certificate is not trusted");
    }
}

TEST_F(SignToolsTest, SignsCabinetsWithTheSigningReserve) {
    fs::path source = dir / "src";
    fs::create_directories(source);
    auto files = sampleFiles();
    for (const auto& [name, bytes] : files) writeFile(source / name, bytes);
    fs::path reserved = dir / "Reserved.CAB";
    writeFile(reserved, buildCabinet({files, 6144}));
    fs::path made = dir / "Gcab.CAB";
    ASSERT_EQ(run("gcab", {"-c", "-n", made.string(), (source / "readme.txt").string(), (source / "data.bin").string()})
                  .exitCode,
              0);

    for (const fs::path& cab : {reserved, made}) {
        SCOPED_TRACE(cab.string());
        ProcessResult s = run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("key.pvk"), "-n", "Cabinet",
                                                 "-a", "sha1", cab.string()});
        ASSERT_EQ(s.exitCode, 0) << s.output;
        EXPECT_EQ(s.output.find("Error"), std::string::npos) << s.output;
        expectVerified(cab);
        ProcessResult t = run("cabextract", {"-t", cab.string()});
        EXPECT_EQ(t.exitCode, 0) << t.output;
        EXPECT_NE(t.output.find("All done, no errors."), std::string::npos) << t.output;
        fs::path out = dir / ("out-" + cab.stem().string());
        fs::create_directories(out);
        ASSERT_EQ(run("cabextract", {"-q", "-d", out.string(), cab.string()}).exitCode, 0);
        for (const auto& [name, bytes] : files) EXPECT_EQ(readFile(out / name), bytes) << name;
        EXPECT_EQ(run(tool("ChkTrust"), {"-q", cab.string()}).exitCode, 0);
    }
    // Signing a signed cabinet again replaces its signature.
    ProcessResult again = run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("key.pvk"), reserved.string()});
    EXPECT_EQ(again.exitCode, 0) << again.output;
    expectVerified(reserved);
}

TEST_F(SignToolsTest, ContinuationCabinetIsLeftAloneWithAReason) {
    TestCabinet layout{sampleFiles(), 6144};
    layout.previous = true;
    fs::path cab = dir / "Set2.CAB";
    std::string original = buildCabinet(layout);
    writeFile(cab, original);
    ProcessResult s = run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("key.pvk"), cab.string()});
    EXPECT_NE(s.exitCode, 0);
    EXPECT_NE(s.output.find("Error: " + cab.string() + " cannot be signed"), std::string::npos) << s.output;
    EXPECT_NE(s.output.find("continuation cabinet cannot carry a signature"), std::string::npos) << s.output;
    EXPECT_EQ(readFile(cab), original);
}

TEST_F(SignToolsTest, TimeStampFromALocalAuthority) {
    fs::path app = copyOfApp("stamped.exe");
    ASSERT_TRUE(settings->writeString(codesign::kSection, codesign::kTimeStampCommand,
                                      "-tr 2 -tw 0 -x -tsa-certs \"" + key("tsa.pem") + "\" -tsa-key \"" +
                                          key("tsa.key") + "\" @FileName@"));
    auto jobPtr = job(app);
    CSignCodeInfo& j = *jobPtr;
    j.timeStamp = 1;
    EXPECT_TRUE(runSigningWorker(j)) << host.box();
    EXPECT_EQ(host.box().find("Timestamp could not be set."), std::string::npos) << host.box();
    ProcessResult v = verify(app, {"-TSA-CAfile", key("tsa.pem")});
    EXPECT_EQ(v.exitCode, 0) << v.output;
    EXPECT_NE(v.output.find("Timestamp time:"), std::string::npos) << v.output;
    EXPECT_NE(v.output.find("Timestamp Server Signature verification: ok"), std::string::npos) << v.output;

    // osslsigncode exits with 0 although the time stamp's authority is not
    // trusted; ChkTrust reads the report and refuses.
    ProcessResult untrustedTsa = verify(app, {"-TSA-CAfile", key("other-cert.pem")});
    EXPECT_EQ(untrustedTsa.exitCode, 0);
    EXPECT_NE(untrustedTsa.output.find("Timestamp Server Signature verification: failed"), std::string::npos);
    ProcessResult r = run(tool("ChkTrust"), {"-q", "-TSA-CAfile", key("other-cert.pem"), app.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("the time stamp does not verify (-2146869243)"), std::string::npos) << r.output;

    // Time-stamping an unsigned file fails after the given attempts.
    fs::path plain = copyOfApp("plain.exe");
    r = run(tool("SignCode"), {"-tr", "2", "-x", "-tsa-certs", key("tsa.pem"), "-tsa-key", key("tsa.key"),
                               plain.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("Time-stamp attempt 1 of 2 failed"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Error: The time stamp could not be set on " + plain.string()), std::string::npos);
}

TEST_F(SignToolsTest, HostileFileNameSignsThatFileAndRunsNothingElse) {
    const std::string name = "my \"app\" $(touch pwned); touch pwned2 `touch pwned3` & x.exe";
    fs::path app = copyOfApp(name);
    auto jobPtr = job(app);
    CSignCodeInfo& j = *jobPtr;
    j.checkTrust = 1;
    EXPECT_TRUE(runSigningWorker(j)) << host.box();
    expectVerified(app);
    expectOnlyFiles({name, "conf"});
    EXPECT_FALSE(fs::exists("pwned"));
}

// A name that begins with "-" is a file, not an option, for parcelon sign
// and for the tools behind it.
TEST_F(SignToolsTest, AFileNamedLikeAnOptionIsSigned) {
    fs::path app = copyOfApp("-rf.exe");
    ProcessResult r = run("/bin/sh", {"-c", "cd '" + dir.path().string() + "' && '" + tool("parcelon") +
                                                "' sign --spc '" + key("cert.spc") + "' --key '" + key("key.pvk") +
                                                "' --digest sha256 --no-timestamp -- -rf.exe"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    expectVerified(app);
    EXPECT_NE(r.output.find("Trusted: ./-rf.exe"), std::string::npos) << r.output;
    expectOnlyFiles({"-rf.exe", "conf"});
}

TEST_F(SignToolsTest, BuildSigningSignsAndStampsEveryOutputFile) {
    ASSERT_TRUE(settings->writeString(codesign::kSection, codesign::kTimeStampCommand,
                                      "-x -tsa-certs \"" + key("tsa.pem") + "\" -tsa-key \"" + key("tsa.key") +
                                          "\" @FileName@"));
    CCabObj package;
    package.m_strProduct = "Build Output";
    package.m_strSignCredentials = key("cert.spc");
    package.m_strSignKey = key("key.pvk");
    package.m_strTargetFolder = dir.path().string();
    package.m_bTimeStamp = 1;
    package.m_arrOutputFiles = {"Pack.CAB", "PackW.EXE"};
    writeFile(dir / "Pack.CAB", buildCabinet({sampleFiles(), 6144}));
    copyOfApp("PackW.EXE");
    ScriptedUserInterface ui;
    BuildSigningResult r = signBuildOutput(package, ui, &host, settings.get());
    EXPECT_EQ(r.signedFiles.size(), 2u) << host.box();
    EXPECT_TRUE(r.failedFiles.empty());
    EXPECT_TRUE(r.unstampedFiles.empty()) << host.box();
    for (const char* name : {"Pack.CAB", "PackW.EXE"}) {
        ProcessResult v = verify(dir / name, {"-TSA-CAfile", key("tsa.pem")});
        EXPECT_EQ(v.exitCode, 0) << v.output;
        EXPECT_NE(v.output.find("Timestamp Server Signature verification: ok"), std::string::npos) << v.output;
        EXPECT_NE(v.output.find("Text description: Build Output"), std::string::npos);
    }
    EXPECT_EQ(run("cabextract", {"-t", (dir / "Pack.CAB").string()}).exitCode, 0);
}

TEST_F(SignToolsTest, BadCommandLinesAndKeysAreReported) {
    ProcessResult r = run(tool("SignCode"), {});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("Usage:"), std::string::npos);
    r = run(tool("SignCode"), {"-bogus", "x"});
    EXPECT_NE(r.output.find("Usage:"), std::string::npos);
    r = run(tool("ChkTrust"), {});
    EXPECT_NE(r.output.find("Usage:"), std::string::npos);

    fs::path app = copyOfApp("app.exe");
    const std::string original = readFile(app);
    r = run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("missing.pvk"), app.string()});
    EXPECT_NE(r.output.find("Error: Unable to find the private key file"), std::string::npos) << r.output;
    // A key that does not belong to the certificate: osslsigncode refuses, the file stays as it was.
    r = run(tool("SignCode"), {"-spc", key("cert.spc"), "-v", key("other.pem"), app.string()});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.output.find("Error: Signing " + app.string() + " failed"), std::string::npos) << r.output;
    EXPECT_EQ(readFile(app), original);
    expectOnlyFiles({"app.exe", "conf"});
}

}  // namespace
}  // namespace pcn
