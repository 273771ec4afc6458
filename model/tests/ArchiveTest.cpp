#include "model/Archive.h"

#include <gtest/gtest.h>

#include <string>

namespace pcn {
namespace {

std::string bytesOf(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string storedString(const std::string& text) {
    CArchive ar;
    ar.WriteString(text);
    return ar.buffer();
}

std::string loadedString(const std::string& bytes) {
    CArchive ar(bytes);
    std::string text = ar.ReadString();
    EXPECT_TRUE(ar.atEnd());
    return text;
}

TEST(Archive, IntegersDoublesAndTimesAreLittleEndian) {
    CArchive ar;
    ar.WriteInt(0x01020304);
    ar.WriteInt(-2);
    ar.WriteDouble(kFileVersion);
    ar.WriteTime(0x11223344);
    EXPECT_EQ(ar.buffer(), bytesOf({0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF, 0xCD, 0xCC, 0xCC, 0xCC, 0xCC,
                                    0xCC, 0x00, 0x40, 0x44, 0x33, 0x22, 0x11}));

    CArchive in(ar.buffer());
    EXPECT_EQ(in.ReadInt(), 0x01020304);
    EXPECT_EQ(in.ReadInt(), -2);
    EXPECT_EQ(in.ReadDouble(), kFileVersion);
    EXPECT_EQ(in.ReadTime(), 0x11223344);
    EXPECT_TRUE(in.atEnd());
}

TEST(Archive, StringPrefixesGrowAtTheirLimits) {
    EXPECT_EQ(storedString(""), bytesOf({0x00}));
    EXPECT_EQ(storedString(std::string(254, 'a')).substr(0, 1), bytesOf({0xFE}));
    EXPECT_EQ(storedString(std::string(254, 'a')).size(), 1u + 254);
    EXPECT_EQ(storedString(std::string(255, 'a')).substr(0, 3), bytesOf({0xFF, 0xFF, 0x00}));
    EXPECT_EQ(storedString(std::string(255, 'a')).size(), 3u + 255);
    // 0xFFFE and 0xFFFF are markers, so the 16-bit form ends at 0xFFFD.
    EXPECT_EQ(storedString(std::string(0xFFFD, 'a')).substr(0, 3), bytesOf({0xFF, 0xFD, 0xFF}));
    EXPECT_EQ(storedString(std::string(0xFFFE, 'a')).substr(0, 7), bytesOf({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));

    for (size_t length : {0u, 1u, 254u, 255u, 256u, 0xFFFDu, 0xFFFEu, 0xFFFFu, 0x10000u}) {
        std::string text(length, 'x');
        if (length) text[length - 1] = 'z';
        EXPECT_EQ(loadedString(storedString(text)), text) << length;
    }
}

TEST(Archive, WideStringsAreReadAsUtf8) {
    // 0xFF, marker 0xFFFE, then a one-byte length in UTF-16 units.
    std::string wide = bytesOf({0xFF, 0xFE, 0xFF, 0x03, 'A', 0x00, 0xE9, 0x00, 0xAC, 0x20});
    EXPECT_EQ(loadedString(wide), "A\xC3\xA9\xE2\x82\xAC");  // "Aé€"

    // A surrogate pair (U+1F600) and, after it, a lone high surrogate.
    std::string pair = bytesOf({0xFF, 0xFE, 0xFF, 0x03, 0x3D, 0xD8, 0x00, 0xDE, 0x3D, 0xD8});
    EXPECT_EQ(loadedString(pair), "\xF0\x9F\x98\x80\xEF\xBF\xBD");

    // The unit count may itself use the 16-bit form.
    std::string longWide = bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0x01});
    longWide += std::string(2 * 0x100, '\0');
    for (size_t i = 0; i < 0x100; ++i) longWide[6 + 2 * i] = 'w';
    EXPECT_EQ(loadedString(longWide), std::string(0x100, 'w'));
}

TEST(Archive, ListsAreCountedAndAppendOnLoad) {
    CArchive ar;
    ar.WriteStringList({"one", "", "three"});
    ar.WriteIntList({7, -1});
    EXPECT_EQ(ar.buffer().substr(0, 4), bytesOf({3, 0, 0, 0}));

    std::vector<std::string> strings{"kept"};
    std::vector<int32_t> numbers{42};
    CArchive in(ar.buffer());
    in.ReadStringList(strings);
    in.ReadIntList(numbers);
    EXPECT_EQ(strings, (std::vector<std::string>{"kept", "one", "", "three"}));
    EXPECT_EQ(numbers, (std::vector<int32_t>{42, 7, -1}));
}

void expectFailure(const std::string& bytes, ArchiveException::Cause cause,
                   void (*read)(CArchive&)) {
    CArchive in(bytes);
    try {
        read(in);
        ADD_FAILURE() << "no exception";
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause(), cause) << e.what();
    }
}

TEST(Archive, HostileLengthsFailCleanly) {
    auto readString = [](CArchive& ar) { ar.ReadString(); };
    auto readStrings = [](CArchive& ar) {
        std::vector<std::string> list;
        ar.ReadStringList(list);
    };
    auto readInts = [](CArchive& ar) {
        std::vector<int32_t> list;
        ar.ReadIntList(list);
    };
    using Cause = ArchiveException::Cause;
    // A 4 GiB string claimed in a 10-byte input.
    expectFailure(bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}), Cause::EndOfFile, readString);
    // A wide string claiming 2^32-1 units.
    expectFailure(bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}), Cause::EndOfFile,
                  readString);
    // Two wide markers in a row.
    expectFailure(bytesOf({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x00}), Cause::BadFormat, readString);
    // Prefixes cut off.
    expectFailure(bytesOf({0xFF, 0x10}), Cause::EndOfFile, readString);
    expectFailure(bytesOf({0x05, 'a', 'b'}), Cause::EndOfFile, readString);
    expectFailure("", Cause::EndOfFile, readString);
    // Counts the rest of the input cannot hold, and negative ones.
    expectFailure(bytesOf({0xFF, 0xFF, 0xFF, 0x7F, 0x00}), Cause::EndOfFile, readStrings);
    expectFailure(bytesOf({0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), Cause::EndOfFile, readInts);
    expectFailure(bytesOf({0xFF, 0xFF, 0xFF, 0xFF}), Cause::BadFormat, readInts);
    expectFailure(bytesOf({0x00, 0x00, 0x00}), Cause::EndOfFile, [](CArchive& ar) { ar.ReadInt(); });
    expectFailure(bytesOf({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), Cause::EndOfFile,
                  [](CArchive& ar) { ar.ReadDouble(); });
}

TEST(Archive, ListEntriesAreBoundedAcrossTheWholeRecord) {
    // Empty entries: a byte (strings) or four (integers) each on disk.
    auto list = [](int32_t count, size_t entrySize) {
        CArchive ar;
        ar.WriteInt(count);
        return ar.buffer() + std::string(static_cast<size_t>(count) * entrySize, '\0');
    };
    const auto half = static_cast<int32_t>(kMaxListItems / 2);
    std::string twoHalves = list(half, 1) + list(half, 4);
    CArchive fits(twoHalves);
    std::vector<std::string> strings;
    std::vector<int32_t> ints;
    fits.ReadStringList(strings);
    fits.ReadIntList(ints);
    EXPECT_EQ(strings.size() + ints.size(), kMaxListItems);

    std::string oneMore = twoHalves + list(1, 1);
    CArchive over(oneMore);
    over.ReadStringList(strings);
    over.ReadIntList(ints);
    try {
        over.ReadStringList(strings);
        ADD_FAILURE() << "a list past the bound was read";
    } catch (const ArchiveException& e) {
        EXPECT_EQ(e.cause(), ArchiveException::Cause::BadFormat);
    }
}

}  // namespace
}  // namespace pcn
