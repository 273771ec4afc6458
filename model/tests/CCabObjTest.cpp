#include "model/CCabObj.h"

#include <gtest/gtest.h>

#include "model/tests/RecordFiller.h"
#include "model/tests/TestFolder.h"

namespace pcn {
namespace {

TEST(CCabObj, ConstructionGivesTheDefaults) {
    test::TestFolder folder;
    CCabObj p;
    EXPECT_EQ(p.m_nKind, kKindCabinet);
    EXPECT_EQ(p.m_strTargetFolder, folder.path());
    EXPECT_EQ(p.m_bCab, 1);
    EXPECT_EQ(p.m_bCabSelf, 0);
    EXPECT_EQ(p.m_bCabWiz, 0);
    EXPECT_EQ(p.m_bCapSingle, 1);
    EXPECT_EQ(p.m_bCreateInf, 1);
    EXPECT_EQ(p.m_bIncludeInf, 0);
    EXPECT_EQ(p.m_nCabSize, 1440000);
    EXPECT_EQ(p.m_bSignature, 1);
    EXPECT_EQ(p.m_bCompression, 1);
    EXPECT_EQ(p.m_bUserDir, 1);
    EXPECT_EQ(p.m_bMD5, 1);
    EXPECT_EQ(p.m_bTimeStamp, 1);
    EXPECT_EQ(p.m_bRebuild, 1);
    EXPECT_EQ(p.m_timeBuilt, 0);
    EXPECT_EQ(p.m_bNewPackage, 0);
    EXPECT_EQ(p.m_nShortcutFolder, 0);
    EXPECT_EQ(p.m_pFtpSite, nullptr);
    ASSERT_TRUE(p.m_pFiles && p.m_pWeb);
    EXPECT_EQ(p.GetFileCount(), 0);
    EXPECT_EQ(p.GetDependencyCount(), 0);
}

TEST(CCabObj, CopyTakesTheDefinitionButNotTheBuildResults) {
    test::TestFolder folder;
    CCabObj source;
    test::fillEveryMember(source);
    CFTPObj site;
    source.m_pFtpSite = &site;
    source.m_arrBuildFiles = {"/source/a.dll"};

    CCabObj copy;
    copy.m_strBuildFolder = "/own/build/";
    copy.m_arrOutputFiles = {"OWN.CAB"};
    copy.m_strFtpSite = "Own site";
    copy.AddFile("/own/file");
    copy.AddDependency("own.dll");
    copy.CopyFrom(source);

    // Build results and the last FTP site stay the destination's own.
    EXPECT_EQ(copy.m_strBuildFolder, "/own/build/");
    EXPECT_EQ(copy.m_arrOutputFiles, std::vector<std::string>{"OWN.CAB"});
    EXPECT_EQ(copy.m_strFtpSite, "Own site");
    EXPECT_EQ(copy.m_pFtpSite, nullptr);
    EXPECT_TRUE(copy.m_arrBuildFiles.empty());
    // The copy needs a rebuild and is neither built nor new.
    EXPECT_EQ(copy.m_bRebuild, 1);
    EXPECT_EQ(copy.m_timeBuilt, 0);
    EXPECT_EQ(copy.m_bNewPackage, 0);
    // Everything else, the package file path included, is the source's:
    // patching the excepted members over makes the two equal.
    copy.m_strBuildFolder = source.m_strBuildFolder;
    copy.m_arrOutputFiles = source.m_arrOutputFiles;
    copy.m_strFtpSite = source.m_strFtpSite;
    copy.m_bRebuild = source.m_bRebuild;
    copy.m_timeBuilt = source.m_timeBuilt;
    copy.m_bNewPackage = source.m_bNewPackage;
    EXPECT_TRUE(copy.StoredMembersEqual(source));
    EXPECT_EQ(copy.GetFileCount(), 2);
    EXPECT_EQ(copy.GetDependencyCount(), 2);
}

TEST(CCabObj, CopyKeepsTheOwnCabinetSizeWhenTheSourceHasNone) {
    CCabObj source;
    source.m_nCabSize = 0;
    CCabObj copy;
    copy.m_nCabSize = 5000;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.m_nCabSize, 5000);
    source.m_nCabSize = 7000;
    copy.CopyFrom(source);
    EXPECT_EQ(copy.m_nCabSize, 7000);
}

TEST(CCabObj, CopyingWebDataBackAndForthDoesNotGrowTheLists) {
    CCabObj web;
    web.m_nKind = kKindWebInf;
    for (const char* name : {"a.ocx", "b.dll", "c.dll", "d.dll", "e.dll"}) web.AddDependency(name);
    CCabObj copy;
    copy.CopyFrom(web);
    for (auto* list : {&copy.m_pWeb->m_arrDepOs, &copy.m_pWeb->m_arrDepCpu, &copy.m_pWeb->m_arrDepInclude,
                       &copy.m_pWeb->m_arrDepOrigin})
        EXPECT_EQ(list->size(), 5u);
    EXPECT_EQ(copy.m_pWeb->m_arrDeps, web.m_pWeb->m_arrDeps);
    web.CopyFrom(copy);
    EXPECT_EQ(web.GetDependencyCount(), 5);
    EXPECT_EQ(web.m_pWeb->m_arrDepOrigin.size(), 5u);
    EXPECT_EQ(web.m_nKind, kKindWebInf);
}

TEST(CCabObj, KindFollowsTheFirstSetFlag) {
    EXPECT_EQ(CCabObj::KindFromFlags(1, 1, 1), kKindCabinet);
    EXPECT_EQ(CCabObj::KindFromFlags(0, 1, 1), kKindSelfExtractingCabinet);
    EXPECT_EQ(CCabObj::KindFromFlags(0, 0, 1), kKindSelfExtractingWizard);
    EXPECT_EQ(CCabObj::KindFromFlags(0, 0, 0), kKindWebInf);
    CCabObj p;
    p.m_bCab = 0;
    p.m_bCabSelf = 1;
    p.SetKindFromFlags();
    EXPECT_EQ(p.m_nKind, kKindSelfExtractingCabinet);
}

TEST(CCabObj, FileTableStaysParallel) {
    CCabObj p;
    EXPECT_EQ(p.AddFile("/a"), 0);
    p.AddFile("/b");
    p.AddFile("/c");
    EXPECT_EQ(p.GetFileDest(0), "%DESTDIR%");
    EXPECT_EQ(p.GetFileRegister(0), "0");
    p.SetFileDest(1, "%SYSTEM%");
    p.SetFileRegister(1, true);
    p.SetFileDest(2, "%TEMP%\\x");
    p.RemoveFile(0);
    ASSERT_EQ(p.GetFileCount(), 2);
    EXPECT_EQ(p.GetFilePath(0), "/b");
    EXPECT_EQ(p.GetFileDest(0), "%SYSTEM%");
    EXPECT_TRUE(p.IsFileRegistered(0));
    EXPECT_EQ(p.GetFilePath(1), "/c");
    EXPECT_EQ(p.GetFileDest(1), "%TEMP%\\x");
    EXPECT_EQ(p.GetFileRegister(1), "0");
    p.SetFilePath(1, "/d");
    EXPECT_EQ(p.GetFilePath(1), "/d");
    // Out of range: nothing happens, nothing is read.
    p.RemoveFile(5);
    p.SetFilePath(-1, "/x");
    EXPECT_EQ(p.GetFilePath(7), "");
    EXPECT_EQ(p.GetFileCount(), 2);
    p.RemoveAllFiles();
    EXPECT_EQ(p.GetFileCount(), 0);
    EXPECT_TRUE(p.m_pFiles->m_arrDest.empty() && p.m_pFiles->m_arrRegister.empty());
}

TEST(CCabObj, InsertedDependencyGetsTheNewEntryFlags) {
    CCabObj p;
    p.AddDependency("a");
    p.AddDependency("b");
    p.AddDependency("c");
    for (int i = 0; i < 3; ++i) {
        p.SetDependencyOs(i, 2);
        p.SetDependencyCpu(i, 4);
        p.SetDependencyInclude(i, 1);
        p.SetDependencyOrigin(i, 3);
    }
    p.InsertDependency(1, "inserted");
    p.AddDependency("e");
    ASSERT_EQ(p.GetDependencyCount(), 5);
    for (auto* list : {&p.m_pWeb->m_arrDepOs, &p.m_pWeb->m_arrDepCpu, &p.m_pWeb->m_arrDepInclude,
                       &p.m_pWeb->m_arrDepOrigin})
        EXPECT_EQ(list->size(), 5u);
    EXPECT_EQ(p.GetDependencyName(1), "inserted");
    EXPECT_EQ(p.GetDependencyOs(1), 1);
    EXPECT_EQ(p.GetDependencyCpu(1), 1);
    EXPECT_EQ(p.GetDependencyInclude(1), 0);
    EXPECT_EQ(p.GetDependencyOrigin(1), 0);
    EXPECT_EQ(p.GetDependencyName(2), "b");
    EXPECT_EQ(p.GetDependencyOs(2), 2);
    EXPECT_EQ(p.GetDependencyOrigin(2), 3);
    p.ClearDependencies();
    EXPECT_EQ(p.GetDependencyCount(), 0);
    EXPECT_TRUE(p.m_pWeb->m_arrDepOrigin.empty());
}

}  // namespace
}  // namespace pcn
