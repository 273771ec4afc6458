// Hostile input: truncations and mutations of every fixture, and hand-made
// images whose lengths, offsets and counts point past the end or in circles.
// The readers must answer "nothing there" and never crash or hang; run this
// suite under AddressSanitizer after changing a reader.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "platform/AtomicFile.h"
#include "platform/pe/Bytes.h"
#include "platform/pe/Component.h"
#include "platform/pe/PeImage.h"
#include "platform/pe/tests/FixtureFacts.h"

namespace pcn::pe {
namespace {

// A copy in a buffer of exactly its size, so that a read past the end is a
// read past the allocation (which AddressSanitizer reports).
ComponentReport describeExactCopy(std::string_view bytes) {
    auto copy = std::make_unique<char[]>(bytes.size() + (bytes.empty() ? 1 : 0));
    std::copy(bytes.begin(), bytes.end(), copy.get());
    return describeComponent(std::string_view(copy.get(), bytes.size()));
}

std::string readFixture(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(testing::fixturePath(name), bytes)) << name;
    return bytes;
}

std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    for (const auto& facts : testing::allFixtureFacts()) names.push_back(facts.file);
    return names;
}

TEST(MalformedInputTest, EveryTruncationReadsAsNothingOrAsTheWhole) {
    for (const std::string& name : fixtureNames()) {
        std::string bytes = readFixture(name);
        ComponentReport whole = describeComponent(bytes);
        for (size_t length = 0; length < bytes.size(); ++length) {
            ComponentReport cut = describeExactCopy(std::string_view(bytes).substr(0, length));
            // Whatever a cut file still yields must be what the whole file says:
            // a resource or table is read whole or not at all.
            if (cut.version) {
                ASSERT_TRUE(whole.version) << name << " cut at " << length;
                EXPECT_EQ(cut.version->fileVersion, whole.version->fileVersion) << name << " cut at " << length;
                EXPECT_EQ(cut.version->oleSelfRegister, whole.version->oleSelfRegister);
            }
            if (cut.typeLibrary) {
                ASSERT_TRUE(whole.typeLibrary) << name << " cut at " << length;
                EXPECT_EQ(cut.typeLibrary->libraryId, whole.typeLibrary->libraryId);
                EXPECT_EQ(cut.typeLibrary->types.size(), whole.typeLibrary->types.size());
            }
            if (cut.exportsRegisterServer) {
                EXPECT_TRUE(whole.exportsRegisterServer) << name << " cut at " << length;
            }
        }
    }
}

TEST(MalformedInputTest, RandomMutationsNeverCrash) {
    std::mt19937 random(20261208);
    for (const std::string& name : fixtureNames()) {
        std::string bytes = readFixture(name);
        for (int round = 0; round < 3000; ++round) {
            std::string mutant = bytes;
            int changes = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < changes; ++i) {
                size_t at = random() % mutant.size();
                static constexpr unsigned char kInteresting[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0x10};
                mutant[at] = static_cast<char>(random() % 2 ? kInteresting[random() % 6] : random() % 256);
            }
            describeExactCopy(mutant);
        }
    }
}

// ---- Hand-made images ------------------------------------------------------

std::string u16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string u32(uint32_t v) { return u16(static_cast<uint16_t>(v)) + u16(static_cast<uint16_t>(v >> 16)); }
std::string wide(std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += u16(static_cast<unsigned char>(c));
    return out;
}
void padTo4(std::string& bytes) { bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0'); }

constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kSectionFileOffset = 0x200;

// A PE32 DLL with one section at RVA 0x1000 (file offset 0x200) holding
// `section`, and data directory `directory` pointing at its start.
std::string miniPe(const std::string& section, int directory) {
    std::string image(kSectionFileOffset, '\0');
    auto put = [&](size_t at, const std::string& bytes) { image.replace(at, bytes.size(), bytes); };
    put(0, "MZ");
    put(0x3C, u32(0x40));
    put(0x40, std::string("PE\0\0", 4));
    put(0x44, u16(0x14C) + u16(1));       // i386, one section
    put(0x54, u16(0xE0) + u16(0x2102));   // optional header size; DLL
    const size_t opt = 0x58;
    put(opt, u16(0x10B));
    put(opt + 28, u32(0x10000000));       // image base
    put(opt + 60, u32(kSectionFileOffset));  // size of headers
    put(opt + 92, u32(16));
    put(opt + 96 + 8 * directory, u32(kSectionRva) + u32(static_cast<uint32_t>(section.size())));
    const size_t header = opt + 0xE0;
    put(header, ".data");
    put(header + 8, u32(static_cast<uint32_t>(section.size())) + u32(kSectionRva));
    put(header + 16, u32(static_cast<uint32_t>((section.size() + 0x1FF) & ~0x1FFu)) + u32(kSectionFileOffset));
    image += section;
    image.resize(kSectionFileOffset + ((section.size() + 0x1FF) & ~size_t{0x1FF}), '\0');
    return image;
}

// A version resource block: header, key, value, children, 32-bit aligned.
std::string block(std::string_view key, const std::string& value, bool text, const std::vector<std::string>& children,
                  std::optional<uint16_t> declaredValueLength = std::nullopt) {
    std::string body = wide(key) + u16(0);
    std::string node = "      " + body;
    padTo4(node);
    node += value;
    for (const std::string& child : children) {
        padTo4(node);
        node += child;
    }
    uint16_t valueLength = declaredValueLength ? *declaredValueLength
                                               : static_cast<uint16_t>(text ? value.size() / 2 : value.size());
    node.replace(0, 6, u16(static_cast<uint16_t>(node.size())) + u16(valueLength) + u16(text ? 1 : 0));
    return node;
}

std::string textValue(std::string_view text) { return wide(text) + u16(0); }

std::string versionResource(const std::string& translations, const std::vector<std::string>& strings,
                            std::string_view table = "040904B0") {
    std::string stringTable = block(table, "", true, strings);
    return block("VS_VERSION_INFO", "", false,
                 {block("StringFileInfo", "", true, {stringTable}),
                  block("VarFileInfo", "", true, {block("Translation", translations, false, {})})});
}

// A resource section holding RT_VERSION #1 in language 0x409. Directory
// entries can be redirected to build loops.
struct ResourceLayout {
    uint32_t nameDirectoryField = 0x80000018;
    uint32_t languageDirectoryField = 0x80000030;
    uint32_t dataEntryField = 0x48;
    uint32_t dataSize = 0;  // 0: the data's real size
};

std::string resourceSection(const std::string& data, const ResourceLayout& layout = {}) {
    auto directory = [](uint32_t id, uint32_t field) { return std::string(12, '\0') + u16(0) + u16(1) + u32(id) + u32(field); };
    std::string section = directory(16, layout.nameDirectoryField);
    section += directory(1, layout.languageDirectoryField);
    section += directory(0x409, layout.dataEntryField);
    section += u32(kSectionRva + 0x58) + u32(layout.dataSize ? layout.dataSize : static_cast<uint32_t>(data.size())) +
               u32(0) + u32(0);
    section += data;
    return section;
}

std::optional<ComponentVersion> versionOf(const std::string& image) { return describeExactCopy(image).version; }

TEST(HandMadeImageTest, WellFormedVersionResourceReads) {
    std::string image = miniPe(resourceSection(versionResource(
                                   u16(0x409) + u16(0x4B0),
                                   {block("FileVersion", textValue("7, 0, 0, 1"), true, {}),
                                    block("OLESelfRegister", textValue(""), true, {})})),
                               2);
    auto version = versionOf(image);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->fileVersion, "7, 0, 0, 1");
    EXPECT_TRUE(version->oleSelfRegister);
}

TEST(HandMadeImageTest, OnlyTheFirstTranslationCounts) {
    // The table of the second pair exists; the first pair's does not.
    std::string image = miniPe(resourceSection(versionResource(
                                   u16(0x407) + u16(0x4E4) + u16(0x409) + u16(0x4B0),
                                   {block("FileVersion", textValue("1.0"), true, {}),
                                    block("OLESelfRegister", textValue(""), true, {})})),
                               2);
    auto version = versionOf(image);
    ASSERT_TRUE(version);
    ASSERT_TRUE(version->translation);
    EXPECT_EQ(version->translation->language, 0x407);
    EXPECT_EQ(version->fileVersion, "");
    EXPECT_FALSE(version->oleSelfRegister);
}

TEST(HandMadeImageTest, ShortTranslationValueIsNoTranslation) {
    std::string image = miniPe(
        resourceSection(versionResource(u16(0x409), {block("FileVersion", textValue("1.0"), true, {})})), 2);
    auto version = versionOf(image);
    ASSERT_TRUE(version);
    EXPECT_FALSE(version->translation);
    EXPECT_EQ(version->fileVersion, "");
}

TEST(HandMadeImageTest, BlockLengthsPastTheirParentOrZeroStopTheWalk) {
    std::string tooLong = block("FileVersion", textValue("1.0"), true, {});
    tooLong.replace(0, 2, u16(0x7FFF));
    std::string zero = block("FileVersion", textValue("1.0"), true, {});
    zero.replace(0, 2, u16(0));
    for (const std::string& broken : {tooLong, zero}) {
        std::string image = miniPe(resourceSection(versionResource(u16(0x409) + u16(0x4B0), {broken})), 2);
        auto version = versionOf(image);
        ASSERT_TRUE(version);
        EXPECT_EQ(version->fileVersion, "");
    }
}

TEST(HandMadeImageTest, StringWithoutTerminatorEndsAtItsBlock) {
    std::string unterminated = block("FileVersion", wide("1.0"), true, {}, 40);
    std::string image = miniPe(resourceSection(versionResource(u16(0x409) + u16(0x4B0), {unterminated})), 2);
    auto version = versionOf(image);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->fileVersion, "1.0");
}

TEST(HandMadeImageTest, ResourceDirectoryLoopsAndWildOffsetsGiveNoVersion) {
    std::string data = versionResource(u16(0x409) + u16(0x4B0), {block("FileVersion", textValue("1"), true, {})});
    std::vector<ResourceLayout> layouts(6);
    layouts[0].nameDirectoryField = 0x80000000;      // type level points back at the root
    layouts[1].languageDirectoryField = 0x80000000;  // name level points back at the root
    layouts[2].languageDirectoryField = 0x80000018;  // name level points at itself
    layouts[3].dataEntryField = 0x80000030;          // language level names a directory, not data
    layouts[4].dataEntryField = 0x7FFFFFF0;          // data entry far past the end
    layouts[5].dataSize = 0xFFFFFFFF;                // data longer than the file
    for (const auto& layout : layouts) EXPECT_FALSE(versionOf(miniPe(resourceSection(data, layout), 2)));
}

TEST(HandMadeImageTest, ExportCountsAndNamesPastTheEnd) {
    // Export directory: a name count far beyond the file, then one whose name
    // pointer leads nowhere, then a sound one.
    auto exportDirectory = [](uint32_t count, uint32_t namesRva) {
        return std::string(24, '\0') + u32(count) + u32(0) + u32(namesRva) + u32(0);
    };
    std::string huge = exportDirectory(0x7FFFFFFF, kSectionRva + 40);
    EXPECT_TRUE(describeExactCopy(miniPe(huge, 0)).exports.empty());

    std::string wild = exportDirectory(2, kSectionRva + 40) + u32(0xFFFFFF00) + u32(kSectionRva + 48) +
                       "DllRegisterServer" + std::string(1, '\0');
    ComponentReport report = describeExactCopy(miniPe(wild, 0));
    EXPECT_EQ(report.exports, std::vector<std::string>{"DllRegisterServer"});
    EXPECT_TRUE(report.exportsRegisterServer);

    std::string unterminated = exportDirectory(1, kSectionRva + 40) + u32(kSectionRva + 44) + "DllRegisterServer";
    std::string image = miniPe(unterminated, 0);
    image.resize(kSectionFileOffset + unterminated.size());  // the name runs into the end of the file
    EXPECT_FALSE(describeExactCopy(image).exportsRegisterServer);
}

TEST(HandMadeImageTest, OverlappingSectionsResolveToTheFirstInTheTable) {
    // A: 0x1000-0x1032 (from miniPe); B: 0x1010-0x1110, partly under A;
    // C: 0x0F00-0x1300, over everything, last in the table.
    std::string a = std::string(16, 'a') + "fromA" + std::string(29, '\0');
    std::string image = miniPe(a, 0);
    auto put = [&](size_t at, const std::string& bytes) { image.replace(at, bytes.size(), bytes); };
    auto addSection = [&](int index, uint32_t rva, const std::string& data) {
        const size_t header = 0x58 + 0xE0 + 40 * static_cast<size_t>(index);
        const auto size = static_cast<uint32_t>(data.size());
        put(header, ".more");
        put(header + 8, u32(size) + u32(rva) + u32(size) + u32(static_cast<uint32_t>(image.size())));
        image += data;
    };
    std::string b(0x100, '\0');
    b.replace(0, 6, "fromB");
    b.replace(0x30, 8, "fromB30");
    std::string c(0x400, '\0');
    c.replace(0, 6, "fromC");
    c.replace(0x300, 9, "fromC300");
    addSection(1, 0x1010, b);
    addSection(2, 0x0F00, c);
    put(0x46, u16(3));
    auto pe = PeImage::parse(image);
    ASSERT_TRUE(pe);
    EXPECT_EQ(pe->stringAt(0x1010), "fromA");    // A before B
    EXPECT_EQ(pe->stringAt(0x1040), "fromB30");  // past A's end, B before C
    EXPECT_EQ(pe->stringAt(0x0F00), "fromC");    // only C
    EXPECT_EQ(pe->stringAt(0x1200), "fromC300");  // past B's end
    EXPECT_FALSE(pe->stringAt(0x1300));
}

TEST(HandMadeImageTest, ImportTableWithoutTerminatorStopsAtTheSectionEnd) {
    std::string descriptor = u32(0) + u32(0) + u32(0) + u32(kSectionRva + 60) + u32(0);
    std::string section = descriptor + descriptor + descriptor + "KERNEL32.dll" + std::string(1, '\0');
    std::string image = miniPe(section, 1);
    image.resize(kSectionFileOffset + section.size());
    ComponentReport report = describeExactCopy(image);
    EXPECT_EQ(report.imports, (std::vector<std::string>(3, "KERNEL32.dll")));
}

TEST(HandMadeImageTest, BrokenHeadersAreNoImage) {
    std::string good = miniPe(resourceSection("x"), 2);
    ASSERT_TRUE(PeImage::parse(good));
    auto patched = [&](size_t at, const std::string& bytes) {
        std::string copy = good;
        copy.replace(at, bytes.size(), bytes);
        return copy;
    };
    EXPECT_FALSE(PeImage::parse(patched(0x3C, u32(0xFFFFFFF0))));   // PE header past the end
    EXPECT_FALSE(PeImage::parse(patched(0x46, u16(0xFFFF))));       // 65535 sections
    EXPECT_FALSE(PeImage::parse(patched(0x54, u16(0x40))));         // optional header too small
    EXPECT_FALSE(PeImage::parse(patched(0x58, u16(0x107))));        // unknown optional header
    EXPECT_FALSE(PeImage::parse(patched(0x40, "NE")));
    // A section whose raw data lies past the end maps nothing.
    std::string farSection = patched(0x138 + 20, u32(0x7FFFFFFF));
    ASSERT_TRUE(PeImage::parse(farSection));
    EXPECT_FALSE(describeExactCopy(farSection).version);
}

TEST(HandMadeImageTest, TypeLibraryCountsAndSegmentsPastTheEnd) {
    std::string tlb = readFixture("control.tlb");
    ASSERT_TRUE(parseTypeLibrary(tlb));
    auto patched = [&](size_t at, uint32_t value) {
        std::string copy = tlb;
        copy.replace(at, 4, u32(value));
        return copy;
    };
    uint32_t typeCount = le32(tlb.data() + 0x20);
    ASSERT_EQ(typeCount, 3u);
    size_t directory = 0x54 + 4 * typeCount;
    EXPECT_FALSE(parseTypeLibrary(patched(0x20, 0xFFFFFFFF)));          // type count
    EXPECT_FALSE(parseTypeLibrary(patched(0x20, typeCount + 1)));       // directory not where it must be
    EXPECT_FALSE(parseTypeLibrary(patched(directory, 0x7FFFFFF0)));      // type table past the end
    EXPECT_FALSE(parseTypeLibrary(patched(directory + 5 * 16, 0x7FFFFFF0)));  // GUID table past the end
    EXPECT_FALSE(parseTypeLibrary(patched(directory + 7 * 16 + 4, 1)));  // name table cut short
    EXPECT_FALSE(parseTypeLibrary(patched(0x08, 0x7FFFFFF0)));           // library GUID offset
}

}  // namespace
}  // namespace pcn::pe
