#include "app/gui/tests/GuiTestSupport.h"

#include <QApplication>

#include <cstdlib>

#include "app/core/CPCNDoc.h"
#include "app/gui/CMainFrame.h"
#include "model/PackageFile.h"
#include "platform/AtomicFile.h"

namespace pcn::test {

void setKind(CCabObj& package, int32_t kind) {
    package.m_nKind = kind;
    package.m_bCab = kind == kKindCabinet;
    package.m_bCabSelf = kind == kKindSelfExtractingCabinet;
    package.m_bCabWiz = kind == kKindSelfExtractingWizard;
}

GuiTest::GuiTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pcn-gui-XXXXXX").string();
    root_ = std::string(::mkdtemp(pattern.data())) + "/";
    std::filesystem::create_directories(dataDir());
    ::setenv("PCN_DATA_DIR", dataDir().c_str(), 1);
    ::setenv("PCN_SETTINGS", (root_ + "PCN.conf").c_str(), 1);
    settings_ = std::make_unique<SettingsStore>(root_ + "PCN.conf");
    gui::CPCNView::clearClipboard();
}

GuiTest::~GuiTest() {
    app_.reset();
    QApplication::processEvents();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

int GuiTest::start(const QStringList& arguments) {
    app_ = std::make_unique<gui::CPCNApp>(*settings_, &ui_, &dialogs_, &pickers_);
    gui::CPCNApp::Options options;
    options.singleInstance = false;
    options.siblingFileCheck = false;
    return app_->initInstance(QStringList{"pcn"} + arguments, options);
}

std::string GuiTest::writePackage(int32_t kind, const std::string& product, bool rebuild, bool newPackage) {
    CCabObj package;
    setKind(package, kind);
    package.m_strProduct = product;
    package.m_strCompany = "Tarnwick";
    package.m_strProjectName = product;
    package.m_bRebuild = rebuild;
    package.m_bNewPackage = newPackage;
    package.m_strPackageFile = dataDir() + product + ".pcp";
    EXPECT_TRUE(SavePackage(package));
    return package.m_strPackageFile;
}

std::string GuiTest::writeProject(const std::string& name, const std::vector<std::string>& packages) {
    const std::string path = dataDir() + name;
    EXPECT_TRUE(writeFileAtomically(path, CPCNDoc::StoreProjectFile(packages)).ok);
    return path;
}

}  // namespace pcn::test
