// The compressor's contract: error codes, callbacks, set fields, limits.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "cabinet/PosixCabinetIo.h"
#include "cabinet/tests/CabinetTestSupport.h"

namespace pcn::cabinet::test {
namespace {

TEST(CabinetChecksum, PacksWordsLittleEndianAndLeftoverBytesFirstHighest) {
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(cabinetChecksum(bytes, 4, 0), 0x04030201u);
    EXPECT_EQ(cabinetChecksum(bytes, 7, 0), 0x04030201u ^ 0x00050607u);
    EXPECT_EQ(cabinetChecksum(bytes, 6, 0), 0x04030201u ^ 0x00000506u);
    EXPECT_EQ(cabinetChecksum(bytes, 5, 0), 0x04030201u ^ 0x00000005u);
    EXPECT_EQ(cabinetChecksum(bytes, 3, 0x11111111u), 0x11111111u ^ 0x00010203u);
}

struct Harness {
    ScratchFolder dir;
    CabinetCallbacks callbacks = posixCallbacks();
    CabinetParams params;
    CabinetError error;
    std::vector<std::string> names{"one.cab"};

    Harness() {
        params.folderThreshold = 90000000;
        params.setId = 44444;
        std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s/", dir.path().c_str());
        std::snprintf(params.cabinetName, sizeof params.cabinetName, "one.cab");
    }
    fs::path source(const std::string& name, const std::string& bytes) {
        writeBytes(dir / "src" / name, bytes);
        return dir / "src" / name;
    }
};

bool nameNext(CabinetParams* next, uint32_t, void* client) {
    auto* h = static_cast<Harness*>(client);
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "n%d.cab", next->cabinetNumber);
    h->names.push_back(next->cabinetName);
    return true;
}

TEST(CabinetCompressorContract, QuantumUnknownTypesAndLzxWindowsOutOfRangeFailWithCode5) {
    Harness h;
    const fs::path src = h.source("a.txt", "abc");
    for (CompressionType type : {CompressionType(2), CompressionType(0x0F), lzxCompression(14), lzxCompression(22),
                                 kCompressionLzx, CompressionType(0x0101)}) {
        CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
        ASSERT_NE(c, nullptr);
        EXPECT_FALSE(addFile(c, src.c_str(), "a.txt", false, nameNext, nullptr, posixFileInfo, type));
        EXPECT_EQ(h.error.code, kErrorCompressionType);
        EXPECT_EQ(h.error.present, 1);
        destroyCompressor(c);
    }
}

TEST(CabinetCompressorContract, MissingSourceGivesCode1WithErrno) {
    Harness h;
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    EXPECT_FALSE(addFile(c, (h.dir / "gone.txt").c_str(), "gone.txt", false, nameNext, nullptr, posixFileInfo,
                         kCompressionMszip));
    EXPECT_EQ(h.error.code, kErrorOpenSource);
    EXPECT_EQ(h.error.errorNumber, ENOENT);
    destroyCompressor(c);
}

TEST(CabinetCompressorContract, StatusMinusOneAbortsWithCode7AndLeavesNoCabinet) {
    Harness h;
    const fs::path src = h.source("a.txt", textData(200000, 1));
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    auto abortAtOnce = [](int, uint32_t, uint32_t, void*) -> long { return -1; };
    const bool added = addFile(c, src.c_str(), "a.txt", false, nameNext, abortAtOnce, posixFileInfo, kCompressionMszip);
    const bool flushed = added && flushCabinet(c, false, nameNext, abortAtOnce);
    EXPECT_FALSE(flushed);
    EXPECT_EQ(h.error.code, kErrorUserAbort);
    destroyCompressor(c);
    EXPECT_FALSE(fs::exists(h.dir / "one.cab"));
    for (const auto& entry : fs::directory_iterator(h.dir.path())) EXPECT_TRUE(entry.path().filename() == "src") << entry.path();
}

TEST(CabinetCompressorContract, RefusedNextCabinetAbortsWithCode7) {
    Harness h;
    h.params.maxCabinetSize = 50000;
    const fs::path src = h.source("a.bin", noiseData(200000, 1));
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    auto refuse = [](CabinetParams*, uint32_t, void*) { return false; };
    bool ok = addFile(c, src.c_str(), "a.bin", false, refuse, nullptr, posixFileInfo, kCompressionMszip);
    if (ok) ok = flushCabinet(c, false, refuse, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(h.error.code, kErrorUserAbort);
    destroyCompressor(c);
}

TEST(CabinetCompressorContract, FileLargerThanAFolderCanHoldFailsBeforeReading) {
    Harness h;
    const fs::path src = h.dir / "huge.bin";
    {
        const int fd = ::open(src.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(kMaxFolderBytes) + 1), 0);  // sparse
        ::close(fd);
    }
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    EXPECT_FALSE(addFile(c, src.c_str(), "huge.bin", false, nameNext, nullptr, posixFileInfo, kCompressionMszip));
    EXPECT_EQ(h.error.code, kErrorCabinetFile);
    EXPECT_EQ(h.error.errorNumber, EFBIG);
    destroyCompressor(c);
}

TEST(CabinetCompressorContract, SetFieldsLinksAndContinuationMarkers) {
    Harness h;
    h.params.maxCabinetSize = 60000;
    h.params.setId = 44444;
    const fs::path a = h.source("a.bin", noiseData(150000, 1));
    const fs::path b = h.source("b.txt", textData(1000, 2));
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    ASSERT_TRUE(addFile(c, a.c_str(), "a.bin", true, nameNext, nullptr, posixFileInfo, kCompressionMszip));
    ASSERT_TRUE(addFile(c, b.c_str(), "b.txt", false, nameNext, nullptr, posixFileInfo, kCompressionMszip));
    ASSERT_TRUE(flushCabinet(c, false, nameNext, nullptr));
    destroyCompressor(c);
    ASSERT_GE(h.names.size(), 3u);
    for (size_t i = 0; i < h.names.size(); ++i) {
        const std::string bytes = readBytes(h.dir / h.names[i]);
        const ParsedCabinet cab = parseCabinet(bytes);
        EXPECT_EQ(cab.size, bytes.size());
        EXPECT_LE(bytes.size(), h.params.maxCabinetSize);
        EXPECT_EQ(cab.setId, 44444);
        EXPECT_EQ(cab.index, i);
        const bool first = i == 0, last = i + 1 == h.names.size();
        EXPECT_EQ((cab.flags & 1) != 0, !first);
        EXPECT_EQ((cab.flags & 2) != 0, !last);
        if (!first) {
            EXPECT_EQ(cab.previousCabinet, h.names[i - 1]);
        }
        if (!last) {
            EXPECT_EQ(cab.nextCabinet, h.names[i + 1]);
        }
        ASSERT_FALSE(cab.files.empty());
        const auto& big = cab.files.front();
        EXPECT_EQ(big.name, "a.bin");
        EXPECT_EQ(big.attributes & 0x40, 0x40);  // run after extraction
        const uint16_t marker = first ? 0xFFFE : last ? 0xFFFD : 0xFFFF;
        EXPECT_EQ(big.folder, marker) << i;
    }
}

TEST(CabinetCompressorContract, NonAsciiNamesCarryTheUtf8Attribute) {
    Harness h;
    const fs::path a = h.source("a.txt", "x");
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    ASSERT_TRUE(addFile(c, a.c_str(), "caf\xC3\xA9.txt", false, nameNext, nullptr, posixFileInfo, kCompressionNone));
    ASSERT_TRUE(addFile(c, a.c_str(), "plain.txt", false, nameNext, nullptr, posixFileInfo, kCompressionNone));
    ASSERT_TRUE(flushCabinet(c, false, nameNext, nullptr));
    destroyCompressor(c);
    const ParsedCabinet cab = parseCabinet(readBytes(h.dir / "one.cab"));
    ASSERT_EQ(cab.files.size(), 2u);
    EXPECT_EQ(cab.files[0].attributes & 0x80, 0x80);
    EXPECT_EQ(cab.files[1].attributes & 0x80, 0);
}

// Counts what goes through the allocate and free callbacks.
struct CountingMemory {
    static inline long live = 0;
    static inline long failAfter = -1;
    static void* allocate(size_t bytes, void*) {
        if (failAfter == 0) return nullptr;
        if (failAfter > 0) --failAfter;
        ++live;
        return std::malloc(bytes);
    }
    static void release(void* p, void*) {
        if (p) --live;
        std::free(p);
    }
};

TEST(CabinetCompressorContract, AllMemoryGoesThroughTheCallbacksAndIsFreed) {
    Harness h;
    h.callbacks.allocate = CountingMemory::allocate;
    h.callbacks.release = CountingMemory::release;
    const fs::path a = h.source("a.txt", textData(300000, 4));
    CountingMemory::live = 0;
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    EXPECT_GT(CountingMemory::live, 0);
    ASSERT_TRUE(addFile(c, a.c_str(), "a.txt", false, nameNext, nullptr, posixFileInfo, kCompressionMszip));
    ASSERT_TRUE(flushCabinet(c, false, nameNext, nullptr));
    destroyCompressor(c);
    EXPECT_EQ(CountingMemory::live, 0);
}

TEST(CabinetCompressorContract, AllocationFailureGivesCode3) {
    Harness h;
    h.callbacks.allocate = CountingMemory::allocate;
    h.callbacks.release = CountingMemory::release;
    CountingMemory::live = 0;
    CountingMemory::failAfter = 3;
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    CountingMemory::failAfter = -1;
    EXPECT_EQ(c, nullptr);
    EXPECT_EQ(h.error.code, kErrorAllocation);
    EXPECT_EQ(CountingMemory::live, 0);
}

TEST(CabinetCompressorContract, UnwritableCabinetFolderGivesCode6) {
    Harness h;
    std::snprintf(h.params.cabinetPath, sizeof h.params.cabinetPath, "%s/", (h.dir / "no" / "such").c_str());
    const fs::path a = h.source("a.txt", "abc");
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    ASSERT_TRUE(addFile(c, a.c_str(), "a.txt", false, nameNext, nullptr, posixFileInfo, kCompressionMszip));
    EXPECT_FALSE(flushCabinet(c, false, nameNext, nullptr));
    EXPECT_EQ(h.error.code, kErrorCabinetFile);
    EXPECT_EQ(h.error.errorNumber, ENOENT);
    destroyCompressor(c);
}

}  // namespace
}  // namespace pcn::cabinet::test

namespace pcn::cabinet::test {
namespace {

// The 65,536th file of a cabinet starts the next one instead of wrapping the
// 16-bit count.
TEST(CabinetCompressorLimits, FileCountStartsANewCabinet) {
    Harness h;
    const fs::path a = h.source("a.txt", "x");
    CabinetCompressor* c = createCompressor(&h.error, h.callbacks, h.params, &h);
    bool ok = true;
    for (uint32_t i = 0; ok && i <= kMaxFilesPerCabinet; ++i)
        ok = addFile(c, a.c_str(), ("f" + std::to_string(i)).c_str(), false, nameNext, nullptr, posixFileInfo,
                     kCompressionMszip);
    ASSERT_TRUE(ok && flushCabinet(c, false, nameNext, nullptr));
    destroyCompressor(c);
    ASSERT_EQ(h.names.size(), 2u);
    EXPECT_EQ(parseCabinet(readBytes(h.dir / h.names[0])).files.size(), kMaxFilesPerCabinet);
    EXPECT_EQ(parseCabinet(readBytes(h.dir / h.names[1])).files.size(), 1u);
    const CommandResult test = run("cabextract -t " + quoted(h.dir / h.names[0]) + " | tail -1");
    EXPECT_NE(test.output.find("All done, no errors."), std::string::npos) << test.output;
}

}  // namespace
}  // namespace pcn::cabinet::test
