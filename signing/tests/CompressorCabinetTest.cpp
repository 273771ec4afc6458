// Cabinets from our own compressor, with the 6144-byte header reserve that
// packages to be signed carry: signed by SignCode, then checked by
// osslsigncode and cabextract. A spanning set's first cabinet is signed (it
// names the next cabinet, which osslsigncode alone cannot sign verifiably);
// the continuation cabinets are refused with a reason; the set still extracts.
#include <gtest/gtest.h>

#include <cstdio>

#include "cabinet/CabinetCompressor.h"
#include "cabinet/PosixCabinetIo.h"
#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"
#include "signing/tests/TestSupport.h"

namespace pcn {
namespace {

using namespace pcn::test;
using namespace pcn::cabinet;

constexpr uint32_t kSigningReserve = 6144;

struct SetNaming {
    std::vector<std::string> names;
};

bool nextCabinet(CabinetParams* next, uint32_t, void* client) {
    auto* naming = static_cast<SetNaming*>(client);
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "Pack%d.CAB", next->cabinetNumber);
    naming->names.push_back(next->cabinetName);
    return true;
}

// Compresses the files (MSZIP) into Pack1.CAB, Pack2.CAB, ... in folder.
std::vector<std::string> compress(const fs::path& folder, const std::vector<fs::path>& files, uint32_t maxSize) {
    CabinetParams params;
    params.maxCabinetSize = maxSize;
    params.folderThreshold = maxSize;
    params.headerReserve = kSigningReserve;
    params.setId = 0x2468;
    std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s/", folder.c_str());
    std::snprintf(params.cabinetName, sizeof params.cabinetName, "Pack1.CAB");
    SetNaming naming{{"Pack1.CAB"}};
    CabinetError error;
    CabinetCompressor* c = createCompressor(&error, posixCallbacks(), params, &naming);
    EXPECT_NE(c, nullptr);
    if (!c) return {};
    bool ok = true;
    for (const auto& f : files)
        ok = ok && addFile(c, f.c_str(), f.filename().c_str(), false, nextCabinet, nullptr, posixFileInfo,
                           kCompressionMszip);
    ok = ok && flushCabinet(c, false, nextCabinet, nullptr);
    destroyCompressor(c);
    EXPECT_TRUE(ok) << error.code;
    return naming.names;
}

class CompressorCabinetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("PCN_PROGRAM_DIR", PCN_PROGRAM_DIR, 0);
        ProcessResult r = run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                                          (keys / "key.pem").string(), "-out", (keys / "cert.pem").string(), "-days",
                                          "30", "-subj", "/CN=Parcelon Cabinet Test"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        r = run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", (keys / "tsa.key").string(),
                            "-out", (keys / "tsa.pem").string(), "-days", "30", "-subj", "/CN=Parcelon Cabinet TSA",
                            "-addext", "extendedKeyUsage=critical,timeStamping"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "out");
        std::string text, noise;
        for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + " of the readme\r\n";
        unsigned seed = 12345;
        for (int i = 0; i < 300000; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise += char(seed >> 24);
        }
        sources = {{"readme.txt", text}, {"payload.bin", noise}};
        for (const auto& [name, bytes] : sources) {
            writeFile(dir / "src" / name, bytes);
            paths.push_back(dir / "src" / name);
        }
    }

    ProcessResult signCode(const fs::path& file) {
        return run(std::string(PCN_PROGRAM_DIR) + "/SignCode",
                   {"-spc", (keys / "cert.pem").string(), "-v", (keys / "key.pem").string(), file.string()});
    }

    void expectExtractsToSources(const fs::path& firstCabinet) {
        fs::path x = dir / ("x-" + firstCabinet.filename().string());
        fs::create_directories(x);
        ProcessResult r = run("cabextract", {"-q", "-d", x.string(), firstCabinet.string()});
        EXPECT_EQ(r.exitCode, 0) << r.output;
        for (const auto& [name, bytes] : sources) EXPECT_EQ(readFile(x / name), bytes) << name;
    }

    ScratchDir keys, dir;
    std::vector<std::pair<std::string, std::string>> sources;
    std::vector<fs::path> paths;
};

TEST_F(CompressorCabinetTest, SingleCabinetWithTheReserveIsSignedAndStillExtracts) {
    auto names = compress(dir / "out", paths, 0);
    ASSERT_EQ(names.size(), 1u);
    fs::path cab = dir / "out" / names[0];
    ASSERT_EQ(readFile(cab).substr(36, 2), std::string("\x00\x18", 2));  // cbCFHeader 6144
    ProcessResult s = signCode(cab);
    ASSERT_EQ(s.exitCode, 0) << s.output;
    ProcessResult v = run("osslsigncode", {"verify", "-CAfile", (keys / "cert.pem").string(), cab.string()});
    EXPECT_EQ(v.exitCode, 0) << v.output;
    EXPECT_NE(v.output.find("Signature verification: ok"), std::string::npos) << v.output;
    ProcessResult t = run("cabextract", {"-t", cab.string()});
    EXPECT_EQ(t.exitCode, 0) << t.output;
    expectExtractsToSources(cab);
}

TEST_F(CompressorCabinetTest, SpanningSetSignsItsFirstCabinetOnly) {
    auto names = compress(dir / "out", paths, 120000);
    ASSERT_GE(names.size(), 3u);
    for (size_t i = 0; i < names.size(); ++i) {
        fs::path cab = dir / "out" / names[i];
        const std::string before = readFile(cab);
        ProcessResult s = signCode(cab);
        if (i == 0) {
            EXPECT_EQ(s.exitCode, 0) << s.output;
            ProcessResult v = run("osslsigncode", {"verify", "-CAfile", (keys / "cert.pem").string(), cab.string()});
            EXPECT_EQ(v.exitCode, 0) << v.output;
            EXPECT_EQ(v.output.find("MISMATCH"), std::string::npos) << v.output;
            ProcessResult t = run("cabextract", {"-t", cab.string()});
            EXPECT_EQ(t.exitCode, 0) << t.output;
            // Time-stamped afterwards, it is still trusted, time stamp included.
            ProcessResult x = run(std::string(PCN_PROGRAM_DIR) + "/SignCode",
                                  {"-x", "-tsa-certs", (keys / "tsa.pem").string(), "-tsa-key",
                                   (keys / "tsa.key").string(), cab.string()});
            EXPECT_EQ(x.exitCode, 0) << x.output;
            ProcessResult c = run(std::string(PCN_PROGRAM_DIR) + "/ChkTrust",
                                  {"-q", "-CAfile", (keys / "cert.pem").string(), "-TSA-CAfile",
                                   (keys / "tsa.pem").string(), cab.string()});
            EXPECT_EQ(c.exitCode, 0) << c.output;
        } else {
            EXPECT_NE(s.exitCode, 0);
            EXPECT_NE(s.output.find("continuation cabinet cannot carry a signature"), std::string::npos) << s.output;
            EXPECT_EQ(readFile(cab), before);
        }
    }
    expectExtractsToSources(dir / "out" / names[0]);
}

// The command line end to end: parcelon cab with the signing reserve, then
// parcelon sign and parcelon check-trust with the templates of the settings.
TEST_F(CompressorCabinetTest, CommandLineSignsWhatParcelonCabMade) {
    const std::string parcelon = std::string(PCN_PROGRAM_DIR) + "/parcelon";
    const fs::path settingsFile = dir / "conf" / "PCN.conf";
    fs::create_directories(settingsFile.parent_path());
    ::setenv("PCN_SETTINGS", settingsFile.c_str(), 1);
    SettingsStore settings(settingsFile);
    ASSERT_TRUE(settings.writeString("Settings\\CheckTrust", "CAFile", (keys / "cert.pem").string()));
    ASSERT_TRUE(settings.writeString("Settings\\CheckTrust", "TSACAFile", (keys / "tsa.pem").string()));
    ASSERT_TRUE(settings.writeString(codesign::kSection, codesign::kTimeStampCommand,
                                     "-x -tsa-certs \"" + (keys / "tsa.pem").string() + "\" -tsa-key \"" +
                                         (keys / "tsa.key").string() + "\" @FileName@"));
    const std::vector<std::string> credentials{"--spc", (keys / "cert.pem").string(), "--key",
                                               (keys / "key.pem").string()};
    auto sign = [&](std::vector<std::string> args) {
        std::vector<std::string> all{"sign"};
        all.insert(all.end(), credentials.begin(), credentials.end());
        all.insert(all.end(), args.begin(), args.end());
        return run(parcelon, all);
    };

    fs::path one = dir / "out" / "One.CAB";
    ProcessResult made = run(parcelon, {"cab", one.string(), paths[0].string(), paths[1].string(), "--reserve", "6144"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    ProcessResult s = sign({"--timestamp", "--digest", "sha256", one.string()});
    EXPECT_EQ(s.exitCode, 0) << s.output;
    EXPECT_EQ(s.output.find("Check Trust failed."), std::string::npos) << s.output;
    EXPECT_EQ(s.output.find("Timestamp could not be set."), std::string::npos) << s.output;
    ProcessResult v = run("osslsigncode", {"verify", "-CAfile", (keys / "cert.pem").string(), "-TSA-CAfile",
                                           (keys / "tsa.pem").string(), one.string()});
    EXPECT_EQ(v.exitCode, 0) << v.output;
    EXPECT_NE(v.output.find("Timestamp Server Signature verification: ok"), std::string::npos) << v.output;
    EXPECT_NE(v.output.find("Message digest algorithm  : SHA256"), std::string::npos) << v.output;
    expectExtractsToSources(one);
    ProcessResult c = run(parcelon, {"check-trust", one.string()});
    EXPECT_EQ(c.exitCode, 0) << c.output;
    EXPECT_NE(c.output.find("Trusted: " + one.string()), std::string::npos) << c.output;

    fs::path set = dir / "out" / "Set.CAB";
    made = run(parcelon, {"cab", set.string(), paths[0].string(), paths[1].string(), "--reserve", "6144", "--span",
                          "120000"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    std::vector<std::string> cabinets{set.string()};
    for (int n = 2; fs::exists(dir / "out" / ("Set" + std::to_string(n) + ".CAB")); ++n)
        cabinets.push_back((dir / "out" / ("Set" + std::to_string(n) + ".CAB")).string());
    ASSERT_GE(cabinets.size(), 2u);
    std::vector<std::string> args{"--no-timestamp", "--no-check-trust"};
    args.insert(args.end(), cabinets.begin(), cabinets.end());
    s = sign(args);
    EXPECT_NE(s.exitCode, 0);  // the continuation cabinets could not be signed
    EXPECT_NE(s.output.find("continuation cabinet cannot carry a signature"), std::string::npos) << s.output;
    EXPECT_EQ(run(parcelon, {"check-trust", set.string()}).exitCode, 0);
    EXPECT_NE(run(parcelon, {"check-trust", cabinets[1]}).exitCode, 0);
    expectExtractsToSources(set);
    ::unsetenv("PCN_SETTINGS");
}

}  // namespace
}  // namespace pcn
