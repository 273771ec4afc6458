#include <gtest/gtest.h>

#include "platform/pe/Text.h"

namespace pcn::pe {
namespace {

TEST(TextTest, Utf16StopsAtNulAndPairsSurrogates) {
    using namespace std::string_view_literals;
    EXPECT_EQ(utf16ToUtf8("1\0.\0""0\0\0\0x\0"sv), "1.0");
    EXPECT_EQ(utf16ToUtf8("\xE4\0"sv), "\xC3\xA4");                     // ä
    EXPECT_EQ(utf16ToUtf8("\x3D\xD8\x00\xDE"sv), "\xF0\x9F\x98\x80");  // U+1F600
    EXPECT_EQ(utf16ToUtf8("\x3D\xD8" "A\0"sv), "\xEF\xBF\xBD" "A");    // lone high surrogate
    EXPECT_EQ(utf16ToUtf8("A\0B"sv), "A") << "an odd trailing byte is no unit";
}

TEST(TextTest, AnsiKeepsUtf8AndReadsOtherBytesAsWindows1252) {
    EXPECT_EQ(ansiToUtf8("Caf\xC3\xA9"), "Caf\xC3\xA9");
    EXPECT_EQ(ansiToUtf8("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(ansiToUtf8("\x80 5"), "\xE2\x82\xAC 5");
    EXPECT_EQ(ansiToUtf8("\xC0\x80"), "\xC3\x80\xE2\x82\xAC") << "an overlong sequence is no UTF-8";
}

TEST(TextTest, CaseInsensitiveOnlyForAscii) {
    EXPECT_TRUE(equalsIgnoringAsciiCase("040904b0", "040904B0"));
    EXPECT_TRUE(equalsIgnoringAsciiCase("TypeLib", "TYPELIB"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("TYPELIB", "TYPELIBS"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("\xC3\xA4", "\xC3\x84"));
}

}  // namespace
}  // namespace pcn::pe
