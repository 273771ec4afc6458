#include "model/PackageFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "model/Archive.h"
#include "model/tests/RecordFiller.h"
#include "model/tests/TestFolder.h"
#include "platform/AtomicFile.h"

namespace pcn {
namespace {

std::string readFile(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(path, bytes));
    return bytes;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(PackageFile, FreshRecordIs208BytesPlusTheTargetFolder) {
    test::TestFolder folder;
    CCabObj p;
    p.m_strPackageFile = folder.file("fresh.pcp");
    ASSERT_TRUE(SavePackage(p));
    std::string bytes = readFile(p.m_strPackageFile);
    ASSERT_LT(p.m_strTargetFolder.size(), 255u);
    // 8 version + 28 int32 (112) + 25 one-byte string prefixes + 3 list counts
    // (12) + the file table's 3 counts (12) + 39 of empty web data = 208. A
    // record can only be saved once it has a package file path, and the record
    // stores that path too, so the file on disk is longer by the path's length.
    EXPECT_EQ(bytes.size(), 208 + p.m_strTargetFolder.size() + p.m_strPackageFile.size());

    // With no path stored, exactly the documented size.
    CCabObj unnamed;
    EXPECT_EQ(StorePackage(unnamed).size(), 208 + unnamed.m_strTargetFolder.size());
    EXPECT_EQ(StorePackage(unnamed).substr(0, 8), std::string("\xCD\xCC\xCC\xCC\xCC\xCC\x00\x40", 8));

    auto loaded = LoadPackage(p.m_strPackageFile);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->StoredMembersEqual(p));
}

TEST(PackageFile, EveryStoredMemberSurvivesARoundTrip) {
    test::TestFolder folder;
    CCabObj p;
    test::fillEveryMember(p);
    p.m_strPackageFile = folder.file("full.pcp");
    p.m_arrBuildFiles = {"/not/stored"};
    ASSERT_TRUE(SavePackage(p));
    auto loaded = LoadPackage(p.m_strPackageFile);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->StoredMembersEqual(p));
    EXPECT_TRUE(loaded->m_arrBuildFiles.empty());
    EXPECT_EQ(loaded->m_pFtpSite, nullptr);
    // Stored again, byte for byte the same file.
    EXPECT_EQ(StorePackage(*loaded), readFile(p.m_strPackageFile));
}

TEST(PackageFile, CabinetPackageEndsWithEmptyWebData) {
    test::TestFolder folder;
    CCabObj p;
    p.AddFile("/x/a.txt");
    std::string bytes = StorePackage(p);
    std::string emptyWeb(3, '\0');
    emptyWeb += std::string(4 * 4 + 5 * 4, '\0');
    ASSERT_EQ(emptyWeb.size(), 39u);
    EXPECT_EQ(bytes.substr(bytes.size() - 39), emptyWeb);
    // The file table precedes it: paths, destinations, register flags.
    std::string table = std::string("\x01\0\0\0\x08/x/a.txt", 13) + std::string("\x01\0\0\0\x09%DESTDIR%", 14) +
                        std::string("\x01\0\0\0\x01" "0", 6);
    EXPECT_EQ(bytes.substr(bytes.size() - 39 - table.size(), table.size()), table);
    auto loaded = ParsePackage(bytes);
    EXPECT_TRUE(loaded->StoredMembersEqual(p));
}

TEST(PackageFile, VersionBytesAreNotCheckedAndTheOpenedPathWins) {
    test::TestFolder folder;
    CCabObj p;
    test::fillEveryMember(p);
    std::string bytes = StorePackage(p);
    bytes.replace(0, 8, "NOTA 2.1");
    writeFile(folder.file("renamed.pcp"), bytes);
    auto loaded = LoadPackage(folder.file("renamed.pcp"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_strPackageFile, folder.file("renamed.pcp"));
    EXPECT_EQ(loaded->m_strProduct, p.m_strProduct);
    EXPECT_EQ(loaded->m_pWeb->m_arrDeps, p.m_pWeb->m_arrDeps);
}

TEST(PackageFile, BytesAfterTheRecordAreIgnored) {
    CCabObj p;
    test::fillEveryMember(p);
    auto loaded = ParsePackage(StorePackage(p) + "trailing junk");
    EXPECT_TRUE(loaded->StoredMembersEqual(p));
}

TEST(PackageFile, ShorterRewriteLeavesNoOldTailAndOnlyTheOwnerCanRead) {
    test::TestFolder folder;
    CCabObj p;
    test::fillEveryMember(p);
    p.m_strPackageFile = folder.file("shrink.pcp");
    ASSERT_TRUE(SavePackage(p));
    const size_t longSize = readFile(p.m_strPackageFile).size();
    p.m_strText.clear();
    p.m_strInfText.clear();
    ASSERT_TRUE(SavePackage(p));
    std::string bytes = readFile(p.m_strPackageFile);
    EXPECT_LT(bytes.size(), longSize);
    EXPECT_EQ(bytes, StorePackage(p));

    struct stat st {};
    ASSERT_EQ(::stat(p.m_strPackageFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(PackageFile, FailuresAreReportedNotThrown) {
    test::TestFolder folder;
    EXPECT_EQ(LoadPackageFile("").error, PackageLoadError::EmptyPath);
    auto missing = LoadPackageFile(folder.file("missing.pcp"));
    EXPECT_EQ(missing.error, PackageLoadError::CannotOpen);
    EXPECT_EQ(missing.systemError, ENOENT);
    EXPECT_EQ(LoadPackageFile(folder.path()).error, PackageLoadError::CannotOpen);

    CCabObj p;
    test::fillEveryMember(p);
    std::string bytes = StorePackage(p);
    writeFile(folder.file("short.pcp"), bytes.substr(0, bytes.size() - 1));
    auto damaged = LoadPackageFile(folder.file("short.pcp"));
    EXPECT_EQ(damaged.error, PackageLoadError::Damaged);
    EXPECT_FALSE(damaged.package);
    EXPECT_FALSE(damaged.detail.empty());

    // Parallel lists of different lengths cannot be a package written by us.
    CCabObj uneven;
    uneven.m_pFiles->m_arrPath.push_back("/only/a/path");
    EXPECT_THROW(ParsePackage(StorePackage(uneven)), ArchiveException);

    CCabObj unnamed;
    int error = 0;
    EXPECT_FALSE(SavePackage(unnamed, &error));
    unnamed.m_strPackageFile = folder.file("no/such/folder/x.pcp");
    EXPECT_FALSE(SavePackage(unnamed, &error));
    EXPECT_EQ(error, ENOENT);
}

TEST(PackageFile, NewNamesAreNumberedPastExistingFiles) {
    test::TestFolder folder;
    writeFile(folder.file("Tools.pcp"), "x");
    std::string first = NewPackageFileName("Tools");
    EXPECT_EQ(first, folder.file("Tools1.pcp"));
    writeFile(first, "x");
    EXPECT_EQ(NewPackageFileName(folder.path(), "Tools"), folder.file("Tools2.pcp"));
    EXPECT_EQ(NewPackageFileName("Other"), folder.file("Other.pcp"));
    EXPECT_EQ(DefaultPackageFileName("Tools"), folder.file("Tools.pcp"));
    // A pasted copy never takes the plain name.
    EXPECT_EQ(NumberedPackageFileName("Other"), folder.file("Other1.pcp"));
    EXPECT_EQ(NumberedPackageFileName("Tools"), folder.file("Tools2.pcp"));
}

}  // namespace
}  // namespace pcn
