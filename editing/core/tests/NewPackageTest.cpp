#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editing/core/NewPackage.h"
#include "model/CCabObj.h"

namespace pcn {
namespace fs = std::filesystem;

class NewPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("pcn-new-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "src");
        std::ofstream(root / "src" / "setup.exe") << "MZ";
        o.company = "Tarnwick";
        o.product = "Tools";
        o.version = "1,0,0,1";
        o.sourceFolder = (root / "src").string();
        o.targetFolder = (root / "out").string();
        o.packageFile = (root / "Tools.pcp").string();
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
    NewPackageOptions o;
};

TEST_F(NewPackageTest, WizardDefaults) {
    o.kind = kKindSelfExtractingWizard;
    NewPackageResult r = MakeNewPackage(o);
    ASSERT_TRUE(r.package) << r.message;
    const CCabObj& p = *r.package;
    EXPECT_EQ(p.m_strDescription, "Tools Package.");
    EXPECT_EQ(p.m_strComment, "Tools Package [1,0,0,1]");
    EXPECT_EQ(p.m_strInstallDir, "%PROGRAMFILES%\\Tools");
    EXPECT_EQ(p.m_nKind, kKindSelfExtractingWizard);
    EXPECT_EQ(p.m_bCreateInf, 0);
    EXPECT_EQ(p.m_bCapSingle, 1);
    EXPECT_EQ(p.m_strProjectName, "Tools");
    EXPECT_EQ(p.m_strTargetFolder, (root / "out" / "Tools").string() + "/");
    EXPECT_EQ(p.GetFileCount(), 1);
    EXPECT_EQ(p.m_nSourceSize, 2);
    // Signing needs credentials and key.
    EXPECT_EQ(p.m_bSignature, 0);
    EXPECT_EQ(FirstOutputFile(p), p.m_strTargetFolder + "ToolsW.EXE");
}

TEST_F(NewPackageTest, ChecksInTheWizardsOrder) {
    NewPackageOptions bad = o;
    bad.product = std::string(200, 'p');
    bad.version = std::string(61, 'v');
    EXPECT_EQ(MakeNewPackage(bad).message,
              "The combined string length of Product Name and Product Version can not exceed 260 characters.");
    bad.version = std::string(60, 'v');
    EXPECT_TRUE(MakeNewPackage(bad).package);

    bad = o;
    bad.company.clear();
    bad.product.clear();
    EXPECT_EQ(MakeNewPackage(bad).message, "Company is a required entry.");
    bad.company = "c";
    EXPECT_EQ(MakeNewPackage(bad).message, "Product name is a required entry.");
    bad = o;
    bad.sourceFolder.clear();
    EXPECT_EQ(MakeNewPackage(bad).message, "Source Directory required.");
    bad = o;
    bad.projectName = "./:\\";
    EXPECT_EQ(MakeNewPackage(bad).message, "Project Name required.");
}

TEST_F(NewPackageTest, ExistingOutputIsAConflictAndNamesAreCleaned) {
    o.projectName = "a.b:c";
    NewPackageResult r = MakeNewPackage(o);
    ASSERT_TRUE(r.package);
    EXPECT_EQ(r.package->m_strProjectName, "abc");
    fs::create_directories(root / "out" / "abc");
    std::ofstream(root / "out" / "abc" / "abc.CAB") << "x";
    EXPECT_EQ(MakeNewPackage(o).message,
              "A project with the same name already exists.\n\nPlease select another project name\n"
              "or remove the conflicting project.");
}

TEST_F(NewPackageTest, SigningAndSpanning) {
    o.credentials = "/k/cert.spc";
    o.key = "/k/key.pvk";
    o.spanSize = 720000;
    NewPackageResult r = MakeNewPackage(o);
    EXPECT_EQ(r.package->m_bMD5, 2);  // SHA-256 unless asked otherwise
    o.digest = 0;
    r = MakeNewPackage(o);
    ASSERT_TRUE(r.package);
    EXPECT_EQ(r.package->m_bSignature, 1);
    EXPECT_EQ(r.package->m_bMD5, 0);
    EXPECT_EQ(r.package->m_bCapSingle, 0);
    EXPECT_EQ(r.package->m_nCabSize, 720000);
    o.signature = false;
    EXPECT_EQ(MakeNewPackage(o).package->m_bSignature, 0);
}

// Names that no file system holds are refused before anything is written:
// a folder of the output path, an output name, the whole path.
TEST_F(NewPackageTest, NamesTheFileSystemCannotHoldAreRefused) {
    const std::string pkg = (root / "Tools.pcp").string();
    const std::string out = (root / "out" / "Tools").string() + "/";
    EXPECT_FALSE(FindNameTooLong(pkg, "Tools", out));

    const std::string longFolder = (root / std::string(256, 'f') / "Tools").string() + "/";
    auto tooLong = FindNameTooLong(pkg, "Tools", longFolder);
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->path, (root / std::string(256, 'f')).string());
    EXPECT_FALSE(tooLong->wholePath);
    EXPECT_EQ(tooLong->limit, 255);

    tooLong = FindNameTooLong(pkg, std::string(248, 'p'), out);
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->path, out + std::string(248, 'p') + "9999.CAB");

    std::string deep = root.string();
    while (deep.size() < 4100) deep += "/" + std::string(200, 'd');
    tooLong = FindNameTooLong(pkg, "Tools", deep + "/");
    ASSERT_TRUE(tooLong);
    EXPECT_TRUE(tooLong->wholePath);
    EXPECT_EQ(NameTooLongMessage(*tooLong).rfind("The package would make a file whose path is longer than the file "
                                                 "system allows (4095 bytes):\n\n", 0),
              0u);

    o.product = std::string(253, 'p');
    o.packageFile.clear();
    const NewPackageResult r = MakeNewPackage(o);
    EXPECT_FALSE(r.package);
    EXPECT_EQ(r.field, "--product");
}

}  // namespace pcn
