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

using test::readFile;
using test::writeFile;

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

// A package file written by hand, field by field in file order, in which
// every field holds a value of its own: a reader or writer that swaps two
// fields of the same type (which a round trip cannot see) fails here.
TEST(PackageFile, HandWrittenFileWithEveryFieldDistinct) {
    const std::string golden = std::string(PCN_SOURCE_DIR) + "/model/tests/data/every_field_distinct.pcp";
    std::unique_ptr<CCabObj> loaded = LoadPackage(golden);
    ASSERT_TRUE(loaded);
    const CCabObj& p = *loaded;
    EXPECT_EQ(p.m_nKind, 4);
    EXPECT_EQ(p.m_strPackageFile, golden);  // the path opened, not the one stored
    EXPECT_EQ(p.m_strCompany, "Company Field");
    EXPECT_EQ(p.m_strProduct, "Product Field");
    EXPECT_EQ(p.m_strVersion, "Version Field");
    EXPECT_EQ(p.m_strDescription, "Description Field");
    EXPECT_EQ(p.m_strComment, "Comment Field");
    EXPECT_EQ(p.m_strCopyright, "Copyright Field");
    EXPECT_EQ(p.m_strSourceFolder, "C:\\Source Field\\");
    EXPECT_EQ(p.m_strTargetFolder, "C:\\Target Field\\");
    EXPECT_EQ(p.m_strProjectName, "ProjectField");
    EXPECT_EQ(std::vector<int32_t>({p.m_bCab, p.m_bCabSelf, p.m_bCabWiz, p.m_bCapSingle, p.m_bCreateInf,
                                    p.m_bIncludeInf}),
              std::vector<int32_t>({1013, 1014, 1015, 1016, 1017, 1018}));
    EXPECT_EQ(p.m_nCabSize, 1440019);
    EXPECT_EQ(std::vector<int32_t>({p.m_bSignature, p.m_bCompression, p.m_bGuid, p.m_bSubDirs, p.m_bMiniSetup,
                                    p.m_bText}),
              std::vector<int32_t>({1020, 1021, 1022, 1023, 1024, 1025}));
    EXPECT_EQ(p.m_strText, "Text Field");
    EXPECT_EQ(p.m_bPassword, 1027);
    EXPECT_EQ(p.m_strPassword, "Password Field");
    EXPECT_EQ(p.m_bLicense, 1029);
    EXPECT_EQ(p.m_strLicenseFile, "C:\\Licence Field.txt");
    EXPECT_EQ(p.m_strExe, "Exe Field.exe");
    EXPECT_EQ(p.m_strCommandLine, "/CommandLine Field");
    EXPECT_EQ(p.m_nShowType, 1033);
    EXPECT_EQ(p.m_strExeDir, "ExeDir Field");
    EXPECT_EQ(p.m_strInstallDir, "%PROGRAMFILES%\\InstallDir Field");
    EXPECT_EQ(p.m_bUserDir, 1036);
    EXPECT_EQ(p.m_bRestoreDirs, 1037);
    EXPECT_EQ(p.m_strSignInfo, "SignInfo Field");
    EXPECT_EQ(p.m_strSignCredentials, "C:\\Credentials Field.spc");
    EXPECT_EQ(p.m_strSignKey, "C:\\Key Field.pvk");
    EXPECT_EQ(p.m_bMD5, 1041);
    EXPECT_EQ(p.m_bTimeStamp, 1042);
    EXPECT_EQ(p.m_arrOutputFiles, std::vector<std::string>({"Output One.EXE", "Output Two.CAB"}));
    EXPECT_EQ(p.m_bShortcutGroup, 1044);
    EXPECT_EQ(p.m_strGroupDesc, "GroupDesc Field");
    EXPECT_EQ(p.m_bShortcuts, 1046);
    EXPECT_EQ(p.m_nShortcutFolder, 1047);
    EXPECT_EQ(p.m_arrShortcutDesc, std::vector<std::string>({"Shortcut Desc A", "Shortcut Desc B"}));
    EXPECT_EQ(p.m_arrShortcutFile, std::vector<std::string>({"Shortcut File A", "Shortcut File B"}));
    EXPECT_EQ(p.m_nSourceSize, 1050);
    EXPECT_EQ(p.m_strBuildFolder, "C:\\BuildFolder Field\\");
    EXPECT_EQ(p.m_strFtpSite, "FtpSite Field");
    EXPECT_EQ(p.m_strInfText, "[InfText Field]\r\n");
    EXPECT_EQ(p.m_strReserved, "");
    EXPECT_EQ(p.m_bRebuild, 1055);
    EXPECT_EQ(p.m_timeBuilt, 1056);
    EXPECT_EQ(p.m_bNewPackage, 1057);
    ASSERT_EQ(p.GetFileCount(), 2);
    EXPECT_EQ(p.GetFilePath(0), "C:\\Source Field\\path one.dll");
    EXPECT_EQ(p.GetFilePath(1), "C:\\Source Field\\path two.txt");
    EXPECT_EQ(p.GetFileDest(0), "%SYSTEM%");
    EXPECT_EQ(p.GetFileDest(1), "%DESTDIR%\\dest two");
    EXPECT_TRUE(p.IsFileRegistered(0));
    EXPECT_FALSE(p.IsFileRegistered(1));
    const CWebObj& web = *p.m_pWeb;
    EXPECT_EQ(web.m_strFileName, "WebFileName Field");
    EXPECT_EQ(web.m_strSourceFolder, "C:\\WebSource Field\\");
    EXPECT_EQ(web.m_strFilePath, "C:\\WebSource Field\\WebFilePath.ocx");
    EXPECT_EQ(std::vector<int32_t>({web.m_bScan, web.m_bScanDynamic, web.m_bHtmTemplate, web.m_bLpk}),
              std::vector<int32_t>({2004, 2005, 2006, 2007}));
    EXPECT_EQ(web.m_arrDeps, std::vector<std::string>({"dep one.dll", "dep two.dll"}));
    EXPECT_EQ(web.m_arrDepOs, std::vector<int32_t>({2091, 2092}));
    EXPECT_EQ(web.m_arrDepCpu, std::vector<int32_t>({2101, 2102}));
    EXPECT_EQ(web.m_arrDepInclude, std::vector<int32_t>({2111, 2112}));
    EXPECT_EQ(web.m_arrDepOrigin, std::vector<int32_t>({2121, 2122}));

    // Written back with its stored path, the record gives the same bytes.
    loaded->m_strPackageFile = "C:\\Golden\\stored.pcp";
    CArchive ar;
    loaded->Serialize(ar);
    EXPECT_EQ(ar.buffer(), readFile(golden));
}

}  // namespace
}  // namespace pcn
