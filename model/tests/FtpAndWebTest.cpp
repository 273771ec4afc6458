#include <gtest/gtest.h>

#include "model/Archive.h"
#include "model/CFTPObj.h"
#include "model/CWebObj.h"

namespace pcn {
namespace {

TEST(CFTPObj, NewSiteUsesPort21AndOverwrites) {
    CFTPObj site;
    EXPECT_EQ(site.m_nPort, 21);
    EXPECT_EQ(site.m_bOverwriteExisting, 1);
    EXPECT_TRUE(site.m_strDescription.empty() && site.m_strServer.empty());
}

TEST(CFTPObj, RoundTripKeepsEveryFieldButTheFileList) {
    CFTPObj site;
    site.m_strDescription = "Home";
    site.m_strServer = "ftp://ftp.example.org";
    site.m_strPassword = "p\xC3\xA4ss";
    site.m_nPort = 2121;
    site.m_strUserName = "anna";
    site.m_strDirectory = "/pub/out";
    site.m_bOverwriteExisting = 0;
    site.m_arrFiles = {"/tmp/a.cab"};

    CArchive out;
    site.Serialize(out);
    // description, server, password, port, user, directory, overwrite
    std::string expected = "\x04Home\x15" "ftp://ftp.example.org\x05p\xC3\xA4ss";
    expected += std::string("\x49\x08\0\0", 4) + "\x04" "anna\x08/pub/out" + std::string(4, '\0');
    EXPECT_EQ(out.buffer(), expected);

    CArchive in(out.buffer());
    CFTPObj loaded;
    loaded.Serialize(in);
    EXPECT_TRUE(in.atEnd());
    site.m_arrFiles.clear();
    EXPECT_EQ(loaded, site);
}

TEST(CWebObj, ComponentPathSplitsAtTheLastSeparator) {
    CWebObj web;
    web.SetComponentPath("C:\\Controls\\Sub\\grid.ocx");
    EXPECT_EQ(web.m_strFilePath, "C:\\Controls\\Sub\\grid.ocx");
    EXPECT_EQ(web.m_strFileName, "grid.ocx");
    EXPECT_EQ(web.m_strSourceFolder, "C:\\Controls\\Sub\\");
    web.SetComponentPath("/home/anna/grid.so");
    EXPECT_EQ(web.m_strFileName, "grid.so");
    EXPECT_EQ(web.m_strSourceFolder, "/home/anna/");
    web.SetComponentPath("grid.ocx");
    EXPECT_EQ(web.m_strFileName, "grid.ocx");
    EXPECT_EQ(web.m_strSourceFolder, "");
    web.SetComponentPath("");
    EXPECT_EQ(web.m_strFileName, "");
    EXPECT_EQ(web.m_strSourceFolder, "");
}

TEST(CWebObj, EmptyWebDataIs39BytesAndUnevenListsAreRefused) {
    CWebObj web;
    CArchive out;
    web.Serialize(out);
    EXPECT_EQ(out.buffer(), std::string(39, '\0'));

    web.m_arrDeps = {"a.dll"};
    web.m_arrDepOs = {1};
    CArchive uneven;
    web.Serialize(uneven);
    CArchive in(uneven.buffer());
    CWebObj loaded;
    EXPECT_THROW(loaded.Serialize(in), ArchiveException);
}

}  // namespace
}  // namespace pcn
