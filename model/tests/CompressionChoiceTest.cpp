#include "model/CompressionChoice.h"

#include <gtest/gtest.h>

#include "model/PackageFile.h"
#include "model/tests/TestFolder.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

TEST(CompressionChoice, LzxWindowTravelsInThePackageFileAndMszipLeavesItByteIdentical) {
    CCabObj plain;
    plain.m_strProduct = "Tools";
    const std::string untouched = StorePackage(plain);

    CCabObj lzx;
    lzx.CopyFrom(plain);
    setCompressionMethod(lzx, {true, 18});
    const auto reread = ParsePackage(StorePackage(lzx));
    ASSERT_NE(reread, nullptr);
    const CompressionMethod method = compressionMethodOf(*reread);
    EXPECT_TRUE(method.lzx);
    EXPECT_EQ(method.windowBits, 18u);

    // Back to MSZIP: the file is the one that never knew LZX.
    setCompressionMethod(*reread, {false, 21});
    EXPECT_FALSE(compressionMethodOf(*reread).lzx);
    EXPECT_EQ(StorePackage(*reread), untouched);
}

TEST(CompressionChoice, ForeignOrDamagedValuesMeanMszipAndForeignTextIsKept) {
    CCabObj p;
    for (const char* text : {"", "something else", "LZX:", "LZX:14", "LZX:22", "LZX:2x", "LZX:211", "lzx:21"}) {
        p.m_strReserved = text;
        EXPECT_FALSE(compressionMethodOf(p).lzx) << text;
    }
    p.m_strReserved = "something else";
    setCompressionMethod(p, {false, 21});
    EXPECT_EQ(p.m_strReserved, "something else");
    setCompressionMethod(p, {true, 40});  // out of range: clamped to the largest window
    EXPECT_EQ(p.m_strReserved, "LZX:21");
}

TEST(CompressionChoice, LevelsDefaultToFiveAndAreKeptInOneToNine) {
    test::TestFolder folder;
    SettingsStore settings(folder.file("PCN.conf"));
    CompressionLevels levels = readCompressionLevels(settings);
    EXPECT_EQ(levels.mszip, 5);
    EXPECT_EQ(levels.lzx, 5);
    ASSERT_TRUE(writeCompressionLevels(settings, {2, 9}));
    levels = readCompressionLevels(SettingsStore(folder.file("PCN.conf")));
    EXPECT_EQ(levels.mszip, 2);
    EXPECT_EQ(levels.lzx, 9);
    ASSERT_TRUE(settings.writeInt(kCompressionSection, kLzxLevelValue, 42));
    EXPECT_EQ(readCompressionLevels(settings).lzx, 9);
}

}  // namespace
}  // namespace pcn
