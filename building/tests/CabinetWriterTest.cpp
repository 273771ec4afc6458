// The cabinet writer on real packages: names, sets, reserves, failures, and
// every cabinet read back by cabextract.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "building/CabinetWriter.h"
#include "cabinet/tests/CabinetTestSupport.h"
#include "model/CompressionChoice.h"
#include "platform/SettingsStore.h"
#include "distribution/ScriptedUserInterface.h"

namespace pcn {
namespace {

using namespace cabinet::test;

class RecordingHost : public BuildHost {
public:
    std::vector<std::string> steps;
    BuildProgress last;
    int progressReports = 0;
    int abortAfterFiles = -1;  // sets the abort flag when this many files were announced
    int abortAfterBlocks = -1;  // sets the abort flag after this many compressed blocks

    void showStep(std::string_view text) override {
        steps.emplace_back(text);
        if (abortAfterFiles >= 0 && text.rfind("Adding: ", 0) == 0 && --abortAfterFiles < 0) abortRequested = 1;
    }
    void showPhase(std::string_view) override {}
    void showCurrentFile(std::string_view) override {}
    void showProgress(const BuildProgress& p) override {
        last = p;
        if (++progressReports == abortAfterBlocks) abortRequested = 1;
    }
};

struct PackageFixture {
    ScratchFolder dir;
    CCabObj package;
    RecordingHost host;
    ScriptedUserInterface ui;

    PackageFixture() {
        package.m_strProjectName = "Demo";
        package.m_strSourceFolder = (dir / "src").string();
        package.m_strBuildFolder = (dir / "out").string() + "/";
        package.m_bSignature = 0;
        fs::create_directories(dir / "out");
    }
    std::string add(const std::string& relative, const std::string& bytes) {
        const fs::path path = dir / "src" / relative;
        writeBytes(path, bytes);
        package.m_arrBuildFiles.push_back(path.string());
        package.m_nSourceSize += int32_t(bytes.size());
        return path.string();
    }
    bool write(cabinet::CompressionType type = cabinet::kCompressionMszip, cabinet::CompressionTuning tuning = {}) {
        CabinetWriteJob job{package, host, ui, buildCabinetSizeLimit(package), type, tuning};
        const bool ok = writeCabinets(job);
        lastError = job.lastError;
        return ok;
    }
    ParsedCabinet parsed(const std::string& name) { return parseCabinet(readBytes(dir / "out" / name)); }
    std::map<std::string, std::string> extracted() {
        const fs::path into = dir / "x";
        const CommandResult r =
            run("cabextract -q -d " + quoted(into) + " " + quoted(dir / "out" / package.m_arrOutputFiles.front()));
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return filesUnder(into);
    }
    int lastError = 0;
};

TEST(CabinetNaming, SingleSpanningAndWizardPackages) {
    CCabObj p;
    p.m_strProjectName = "App";
    p.m_bCapSingle = 1;
    EXPECT_EQ(cabinetFileName(p, 1), "App.CAB");
    EXPECT_EQ(buildCabinetSizeLimit(p), kSingleCabinetLimit);
    p.m_bCapSingle = 0;
    p.m_nCabSize = 1440000;
    EXPECT_EQ(cabinetFileName(p, 1), "App1.CAB");
    EXPECT_EQ(cabinetFileName(p, 12), "App12.CAB");
    EXPECT_EQ(buildCabinetSizeLimit(p), 1440000u);
    p.m_bCab = 0;
    p.m_bCabWiz = 1;  // the wizard kind never spans
    EXPECT_EQ(cabinetFileName(p, 1), "App.CAB");
    EXPECT_EQ(buildCabinetSizeLimit(p), kSingleCabinetLimit);
    // Continuation cabinets of single-cabinet packages never reuse the first name.
    EXPECT_EQ(cabinetFileName(p, 2), "App2.CAB");
}

TEST(CabinetNaming, StoredNames) {
    CCabObj p;
    p.m_strSourceFolder = "/home/u/Src";
    p.m_bRestoreDirs = 0;
    EXPECT_EQ(nameInCabinet(p, "/home/u/Src/bin/app.dll"), "app.dll");
    EXPECT_EQ(nameInCabinet(p, "plain.txt"), "plain.txt");  // no folder part: the whole path
    p.m_bRestoreDirs = 1;
    EXPECT_EQ(nameInCabinet(p, "/home/u/Src/bin/app.dll"), "bin\\app.dll");
    EXPECT_EQ(nameInCabinet(p, "/home/u/src/Bin/App.dll"), "Bin\\App.dll");  // compared in upper case, own case kept
    EXPECT_EQ(nameInCabinet(p, "/home/other/x.txt"), "other\\x.txt");       // after the common beginning
    EXPECT_EQ(nameInCabinet(p, "relative.txt"), "relative.txt");            // nothing agrees: the file name
    EXPECT_EQ(nameInCabinet(p, "/home/u/Src/cfg/pcn.cfg"), "pcn.cfg");
    EXPECT_EQ(nameInCabinet(p, "/opt/pcn/TinySetup.Exe"), "opt\\pcn\\TinySetup.Exe");
    p.m_bCab = 0;
    p.m_bCabWiz = 1;
    p.m_bMiniSetup = 1;
    p.m_strLicenseFile = "/home/u/Src/docs/LICENSE.txt";
    EXPECT_EQ(nameInCabinet(p, "/opt/pcn/TinySetup.Exe"), "TinySetup.Exe");
    EXPECT_EQ(nameInCabinet(p, "/opt/pcn/tinysetup.exe"), "opt\\pcn\\tinysetup.exe");  // exact case only
    EXPECT_EQ(nameInCabinet(p, "/HOME/U/SRC/DOCS/license.TXT"), "license.TXT");        // licence: any case
    EXPECT_EQ(nameInCabinet(p, "/home/u/Src/docs/readme.txt"), "docs\\readme.txt");
}

TEST(CabinetWriter, SingleFilePackageWritesOneCabinetNamedAfterThePackage) {
    PackageFixture f;
    f.package.m_bRestoreDirs = 1;
    f.add("a.txt", textData(50000, 1));
    f.add("sub/b.txt", textData(70000, 2));
    f.add("sub/deep/c.bin", noiseData(40000, 3));
    ASSERT_TRUE(f.write());
    EXPECT_EQ(f.package.m_arrOutputFiles, std::vector<std::string>{"Demo.CAB"});
    const auto got = f.extracted();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_TRUE(got.count("sub/b.txt") && got.count("sub/deep/c.bin") && got.count("a.txt"));
    EXPECT_EQ(f.host.steps.front(), "Adding: a.txt");
    EXPECT_EQ(f.host.steps.back(), "Complete");
    EXPECT_EQ(f.host.last.processedBytes, 160000u);
    EXPECT_EQ(f.host.last.percent, 100u);
    EXPECT_LT(f.host.last.compressedBytes, f.host.last.processedBytes);
    const ParsedCabinet cab = f.parsed("Demo.CAB");
    EXPECT_EQ(cab.setId, kCabinetSetId);
    EXPECT_EQ(cab.headerReserve, 0);
    EXPECT_EQ(cab.folders.at(0).type, cabinet::kCompressionMszip);
}

TEST(CabinetWriter, SpanningPackageWritesNumberedCabinetsInOrder) {
    PackageFixture f;
    f.package.m_bCapSingle = 0;
    f.package.m_nCabSize = 100000;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 12; ++i) {
        const std::string bytes = i % 2 ? noiseData(30000, unsigned(i)) : textData(60000, unsigned(i));
        f.add("f" + std::to_string(i) + ".dat", bytes);
        expected["f" + std::to_string(i) + ".dat"] = bytes;
    }
    ASSERT_TRUE(f.write());
    ASSERT_GE(f.package.m_arrOutputFiles.size(), 3u);
    for (size_t i = 0; i < f.package.m_arrOutputFiles.size(); ++i) {
        const std::string& name = f.package.m_arrOutputFiles[i];
        EXPECT_EQ(name, "Demo" + std::to_string(i + 1) + ".CAB");
        EXPECT_LE(fs::file_size(f.dir / "out" / name), 100000u);
        const ParsedCabinet cab = f.parsed(name);
        EXPECT_EQ(cab.setId, 44444);
        EXPECT_EQ(cab.index, i);
    }
    EXPECT_TRUE(f.extracted() == expected);
}

TEST(CabinetWriter, CompressionOffStoresAndSignatureReservesTheHeader) {
    PackageFixture f;
    f.package.m_bSignature = 1;
    const std::string bytes = textData(90000, 4);
    f.add("a.txt", bytes);
    ASSERT_TRUE(f.write(cabinet::kCompressionNone));
    const ParsedCabinet cab = f.parsed("Demo.CAB");
    EXPECT_EQ(cab.folders.at(0).type, cabinet::kCompressionNone);
    EXPECT_EQ(cab.headerReserve, 6144);
    EXPECT_GT(cab.size, 90000u + 6144u);
    EXPECT_EQ(f.extracted().at("a.txt"), bytes);
}

// The package's method and the program-wide level reach the compressor; the
// build's progress and cancel work as for MSZIP.
TEST(CabinetWriter, PackageChoosingLzxGetsItsWindowLevelProgressAndCancel) {
    PackageFixture f;
    const std::string text = textData(300000, 5), noise = noiseData(50000, 6);
    f.add("readme.txt", text);
    f.add("data.bin", noise);
    setCompressionMethod(f.package, {true, 17});
    ScratchFolder settingsDir;
    SettingsStore settings(settingsDir / "PCN.conf");
    ASSERT_TRUE(writeCompressionLevels(settings, {kDefaultCompressionLevel, 2}));
    EXPECT_EQ(compressionTypeOf(f.package), cabinet::lzxCompression(17));
    EXPECT_EQ(compressionTuningOf(f.package, settings).level, 2);
    ASSERT_TRUE(f.write(compressionTypeOf(f.package), compressionTuningOf(f.package, settings)));
    EXPECT_EQ(f.parsed("Demo.CAB").folders.at(0).type, 0x1103);
    EXPECT_GE(f.host.progressReports, 10);  // one per 32 KB frame
    const auto got = f.extracted();
    EXPECT_EQ(got.at("data.bin"), noise);
    EXPECT_EQ(got.at("readme.txt"), text);

    f.package.m_bCompression = 0;
    EXPECT_EQ(compressionTypeOf(f.package), cabinet::kCompressionNone);

    PackageFixture cancelled;
    cancelled.add("big.bin", textData(2 * 1024 * 1024, 7));
    cancelled.host.abortAfterBlocks = 3;
    EXPECT_FALSE(cancelled.write(cabinet::lzxCompression(21)));
    EXPECT_EQ(cancelled.host.progressReports, 3);
    EXPECT_TRUE(cancelled.ui.shown().empty());
    EXPECT_TRUE(fs::is_empty(cancelled.dir / "out"));
}

TEST(CabinetWriter, SourceThatDisappearsGivesCode1WithItsTextAndPath) {
    PackageFixture f;
    f.add("a.txt", "first");
    const std::string gone = f.add("gone.txt", "second");
    fs::remove(gone);
    EXPECT_FALSE(f.write());
    EXPECT_EQ(f.lastError, 1);
    ASSERT_EQ(f.ui.shown().size(), 1u);
    const auto& shown = f.ui.shown().front();
    EXPECT_TRUE(shown.isErrorDetails);
    EXPECT_EQ(shown.details, "Cabinet add file failed: code 1 [Failure opening file to be stored in "
                             "cabinet(FCIERR_OPEN_SRC)]\r\n\r\n" + gone);
    EXPECT_EQ(shown.text, "Error 2\n\nNo such file or directory");
    EXPECT_TRUE(fs::is_empty(f.dir / "out"));  // nothing half-written
}

TEST(CabinetWriter, CancelBetweenFilesEndsWithoutAMessage) {
    PackageFixture f;
    for (int i = 0; i < 5; ++i) f.add("f" + std::to_string(i), textData(1000, unsigned(i)));
    f.host.abortAfterFiles = 2;
    EXPECT_FALSE(f.write());
    EXPECT_TRUE(f.ui.shown().empty());
    EXPECT_EQ(f.host.steps.size(), 3u);
    EXPECT_TRUE(fs::is_empty(f.dir / "out"));
}

// Cancel also stops inside a large file instead of compressing it to its end.
TEST(CabinetWriter, CancelStopsInsideALargeFileWithoutAMessage) {
    PackageFixture f;
    f.add("big.bin", textData(4 * 1024 * 1024, 7));
    f.host.abortAfterBlocks = 3;
    EXPECT_FALSE(f.write());
    EXPECT_EQ(f.host.progressReports, 3);
    EXPECT_EQ(f.lastError, 0);
    EXPECT_TRUE(f.ui.shown().empty());
    EXPECT_TRUE(fs::is_empty(f.dir / "out"));
}

// A single-cabinet package whose data needs more than the single-cabinet
// limit gets continuation cabinets instead of overwriting its first one.
TEST(CabinetWriter, OversizedSingleCabinetPackageContinuesInsteadOfOverwriting) {
    PackageFixture f;
    const fs::path big = f.dir / "src" / "big.bin";
    fs::create_directories(big.parent_path());
    {
        const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(kSingleCabinetLimit) + 500000), 0);
        ::close(fd);
    }
    f.package.m_arrBuildFiles.push_back(big.string());
    f.package.m_nSourceSize = int32_t(kSingleCabinetLimit + 500000);
    ASSERT_TRUE(f.write(cabinet::kCompressionNone));
    EXPECT_EQ(f.package.m_arrOutputFiles, (std::vector<std::string>{"Demo.CAB", "Demo2.CAB"}));
    EXPECT_LE(fs::file_size(f.dir / "out" / "Demo.CAB"), kSingleCabinetLimit);
    const CommandResult test = run("cabextract -t " + quoted(f.dir / "out" / "Demo.CAB"));
    EXPECT_EQ(test.exitCode, 0) << test.output;
    EXPECT_NE(test.output.find("big.bin"), std::string::npos);
}

}  // namespace
}  // namespace pcn
