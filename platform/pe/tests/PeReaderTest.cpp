// The reader against the fixtures' known facts: every fixture, every fact.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "platform/AtomicFile.h"
#include "platform/pe/Component.h"
#include "platform/pe/PeImage.h"
#include "platform/pe/tests/FixtureFacts.h"

namespace pcn::pe {
namespace {

using testing::FixtureFacts;

std::string readFixture(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(testing::fixturePath(name), bytes)) << name;
    return bytes;
}

std::string formatName(ComponentReport::Format format) {
    switch (format) {
        case ComponentReport::Format::Pe32: return "PE32";
        case ComponentReport::Format::Pe32Plus: return "PE32+";
        case ComponentReport::Format::TypeLibrary: return "MSFT";
        case ComponentReport::Format::Unknown: break;
    }
    return "unknown";
}

std::string dotted(const uint16_t (&parts)[4]) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
    return text;
}

std::vector<std::string> guidsOf(const std::vector<const TypeDescription*>& types) {
    std::vector<std::string> guids;
    for (auto* type : types) guids.push_back(type->guid.registryText());
    return guids;
}

class FixtureTest : public ::testing::TestWithParam<std::string> {
protected:
    const FixtureFacts& facts() const { return testing::factsOf(GetParam()); }
    std::filesystem::path path() const { return testing::fixturePath(GetParam()); }
};

TEST_P(FixtureTest, FormatMachineAndKind) {
    std::string bytes = readFixture(GetParam());
    ComponentReport report = describeComponent(bytes);
    EXPECT_EQ(formatName(report.format), facts().value("format"));
    if (facts().has("machine")) {
        EXPECT_EQ(machineName(report.machine), facts().value("machine"));
        EXPECT_EQ(report.dll ? "yes" : "no", facts().value("dll"));
    }
}

TEST_P(FixtureTest, VersionResource) {
    std::string bytes = readFixture(GetParam());
    ComponentReport report = describeComponent(bytes);
    auto version = readComponentVersion(path());
    ASSERT_EQ(version.has_value(), facts().has("version"));
    ASSERT_EQ(report.version.has_value(), facts().has("version"));
    if (!version) return;
    EXPECT_EQ(version->fileVersion, facts().value("version"));
    EXPECT_EQ(version->oleSelfRegister, facts().has("oleselfregister"));
    ASSERT_EQ(version->translation.has_value(), facts().has("translation"));
    if (version->translation) {
        char pair[16];
        std::snprintf(pair, sizeof pair, "%04X %04X", version->translation->language, version->translation->codePage);
        EXPECT_EQ(pair, facts().value("translation"));
    }
    ASSERT_TRUE(report.fixedInfo.has_value());
    EXPECT_EQ(dotted(report.fixedInfo->fileVersion), facts().value("fixed-version"));
}

TEST_P(FixtureTest, ExportsAndImports) {
    std::string bytes = readFixture(GetParam());
    ComponentReport report = describeComponent(bytes);
    std::vector<std::string> exports = facts().list("exports");
    EXPECT_EQ(report.exports, exports);
    auto exported = [&](const std::string& name) {
        return std::find(exports.begin(), exports.end(), name) != exports.end();
    };
    EXPECT_EQ(componentExports(path(), "DllRegisterServer"), exported("DllRegisterServer"));
    EXPECT_EQ(report.exportsUnregisterServer, exported("DllUnregisterServer"));
    EXPECT_FALSE(componentExports(path(), "DllRegister")) << "a prefix is no match";
    EXPECT_FALSE(componentExports(path(), "dllregisterserver")) << "export names are case-sensitive";
    EXPECT_EQ(report.imports, facts().list("imports"));
    EXPECT_TRUE(report.delayLoadImports.empty());
}

TEST_P(FixtureTest, TypeLibrary) {
    auto library = loadTypeLibrary(path());
    ASSERT_EQ(library.has_value(), facts().has("typelib-guid"));
    if (!library) return;
    EXPECT_EQ(library->libraryId.registryText(), facts().value("typelib-guid"));
    EXPECT_EQ(library->name, facts().value("typelib-name"));
    EXPECT_EQ(library->documentation, facts().value("typelib-doc"));
    EXPECT_EQ(std::to_string(library->majorVersion) + "." + std::to_string(library->minorVersion),
              facts().value("typelib-version"));
    ASSERT_FALSE(library->types.empty());
    EXPECT_EQ(library->types.front().guid.registryText(), facts().value("first-type-guid"));
    EXPECT_EQ(typeKindName(library->types.front().kind), facts().value("first-type-kind"));

    auto coclasses = library->coclasses();
    EXPECT_EQ(guidsOf(coclasses), facts().list("coclass-guids"));
    std::vector<std::string> names, docs;
    for (auto* coclass : coclasses) {
        names.push_back(coclass->name);
        docs.push_back(coclass->documentation);
    }
    EXPECT_EQ(names, facts().list("coclass-names"));
    EXPECT_EQ(docs, facts().list("coclass-docs"));
    ASSERT_NE(library->firstCoclass(), nullptr);
    EXPECT_EQ(library->firstCoclass()->guid.registryText(), facts().list("coclass-guids").front());
}

std::vector<std::string> fixtureNames() {
    std::vector<std::string> names;
    for (const auto& facts : testing::allFixtureFacts()) names.push_back(facts.file);
    return names;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureTest, ::testing::ValuesIn(fixtureNames()), testName);

TEST(FixtureFactsTest, EveryCommittedFixtureHasFacts) {
    for (const auto& entry : std::filesystem::directory_iterator(testing::fixtureFolder()))
        EXPECT_NO_THROW(testing::factsOf(entry.path().filename().string())) << entry.path();
}

TEST(GuidTest, RegistryAndPlainText) {
    Guid guid = Guid::fromBytes(std::string_view("\x10\x1A\x2B\x6B\x4D\x3C\x5F\x4E\x8A\x9B\x0C\x1D\x2E\x3F\x4A\x51", 16));
    EXPECT_EQ(guid.registryText(), "{6B2B1A10-3C4D-4E5F-8A9B-0C1D2E3F4A51}");
    EXPECT_EQ(guid.plainText(), "6B2B1A10-3C4D-4E5F-8A9B-0C1D2E3F4A51");
    EXPECT_EQ(Guid{}.registryText(), "{00000000-0000-0000-0000-000000000000}");
}

class UnreadableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("pcn-pe-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        std::filesystem::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }
    std::filesystem::path folder_;
};

TEST_F(UnreadableFileTest, MissingEmptyTextAndFolderGiveNothing) {
    std::vector<std::filesystem::path> files = {folder_ / "missing.ocx", write("empty.dll", ""),
                                                write("readme.txt", "MZ but not much more\r\n"), folder_};
    for (const auto& file : files) {
        EXPECT_FALSE(readComponentVersion(file)) << file;
        EXPECT_FALSE(componentExports(file, "DllRegisterServer")) << file;
        EXPECT_FALSE(loadTypeLibrary(file)) << file;
    }
    int error = 0;
    EXPECT_FALSE(ComponentFile::open(folder_ / "missing.ocx", &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(ComponentFile::open(folder_, &error));
    EXPECT_EQ(error, EISDIR);
}

TEST_F(UnreadableFileTest, AFileCutShortAfterOpeningIsStillWholeAndPipesDoNotBlock) {
    // A linker rewriting the DLL while we read it: a mapping would die with
    // SIGBUS on the pages that are gone.
    const std::string bytes(3 * 4096 + 10, 'M');
    auto file = write("rewritten.dll", bytes);
    auto opened = ComponentFile::open(file);
    ASSERT_TRUE(opened);
    std::filesystem::resize_file(file, 0);
    EXPECT_EQ(std::string(opened->bytes()), bytes);

    ASSERT_EQ(::mkfifo((folder_ / "pipe.dll").c_str(), 0600), 0);
    int error = 0;
    EXPECT_FALSE(ComponentFile::open(folder_ / "pipe.dll", &error));  // at once, no writer needed
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(readComponentVersion(folder_ / "pipe.dll"));
}

}  // namespace
}  // namespace pcn::pe
