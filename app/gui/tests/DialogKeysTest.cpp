// Where typing goes and what Enter does, in every wizard page, sheet tab and
// dialog, as a user meets them: the focus is in the page's first field and
// Enter presses the forward button (Next, Finish, OK), never Cancel.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWizard>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/core/CPCNDoc.h"
#include "app/gui/CAboutDlg.h"
#include "app/gui/CExportDlg.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/Commands.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "distribution/gui/mail/CMailSelectDlg.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/Editors.h"
#include "editing/gui/options/CStdProperties.h"
#include "editing/gui/sheet/CCabPropertySheet.h"
#include "editing/gui/sheet/CabPropertyPages.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/PackageFile.h"
#include "platform/gui/DialogKeys.h"
#include "signing/gui/CCheckTrustSheet.h"
#include "signing/gui/CSignCodePropertySheet.h"
#include "ftp/FtpLibrary.h"
#include "web/gui/CHtmlTemplateDlg.h"
#include "web/gui/sheet/CWebPropSheet.h"
#include "web/gui/wizard/CWebWizSheet.h"

namespace pcn::test {
namespace {

namespace fs = std::filesystem;
using gui::CCabWizSheet;

constexpr int kTimeoutMs = 60000;

// What a user sees on a page before typing: which control has the focus and
// which button Enter presses.
struct Keys {
    QString focus;
    QString enterPresses;
    bool operator==(const Keys&) const = default;
};

void PrintTo(const Keys& keys, std::ostream* out) {
    *out << "{focus " << keys.focus.toStdString() << ", Enter " << keys.enterPresses.toStdString() << "}";
}

QPushButton* defaultButton(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isDefault() && !button->isHidden()) return button;
    return nullptr;
}

QString nameOf(const QWidget* widget) {
    if (!widget) return "(none)";
    if (auto* button = qobject_cast<const QPushButton*>(widget)) return button->text().remove('&');
    return widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName();
}

Keys keysOf(QDialog& dialog) {
    QApplication::processEvents();  // a page move settles after the dialog's own work
    return Keys{nameOf(dialog.focusWidget()), nameOf(defaultButton(dialog))};
}

// Every button along the dialog's edge but the default one leaves Enter alone.
void expectOnlyForwardTakesEnter(QDialog& dialog) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QString text = button->text().remove('&');
        if (text == "Cancel" || text.contains("Back") || text == "Help")
            EXPECT_FALSE(button->isDefault() || button->autoDefault()) << text.toStdString();
    }
}

void pressEnter(QDialog& dialog) {
    QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Return);
}

class DialogKeysTest : public GuiTest {
protected:
    DialogKeysTest() : context{settings(), ui_, pickers} {}

    std::string source() const { return root_ + "src/"; }

    ScriptedPickers pickers;
    gui::EditingContext context;
};

// Ctrl+N and straight on: the company name goes where typing goes, and Enter
// walks a self-extracting wizard package through every page to its build.
TEST_F(DialogKeysTest, TheNewPackageWizardTakesTypingAtOnceAndEnterWalksEveryPage) {
    fs::create_directories(source());
    std::ofstream(source() + "readme.txt") << "readme";
    ASSERT_EQ(start(), -1);
    gui::InstallCabinetEditors(app().listView()->editors(), context, app().frame());
    app().frame()->updateCommandUi();

    std::vector<std::pair<int, Keys>> seen;
    whenModal<CCabWizSheet>([&](CCabWizSheet& sheet) {
        auto note = [&] {
            seen.emplace_back(sheet.currentId(), keysOf(sheet));
            expectOnlyForwardTakesEnter(sheet);
        };
        note();
        QTest::keyClicks(sheet.focusWidget(), "Acme Software");
        sheet.findChild<QLineEdit*>("productName")->setText("Acme Setup");
        sheet.findChild<QLineEdit*>("packageDescription")->setText("The Acme tools");
        pressEnter(sheet);
        for (int pages = 0; pages < 12 && sheet.currentId() != CCabWizSheet::kBuildPage; ++pages) {
            note();
            if (sheet.currentId() == CCabWizSheet::kFolderPage) {
                auto* folder = qobject_cast<QLineEdit*>(sheet.focusWidget());
                ASSERT_NE(folder, nullptr);
                folder->selectAll();
                QTest::keyClicks(folder, QString::fromStdString(source()));
            }
            const int before = sheet.currentId();
            pressEnter(sheet);
            if (sheet.currentId() == before) {
                ADD_FAILURE() << "Enter left page " << before << " where it was";
                return;
            }
        }
        auto* build = qobject_cast<gui::CCabWizPageBuild*>(sheet.currentPage());
        ASSERT_NE(build, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sheet.finishButton()->isEnabled(); }, kTimeoutMs));
        note();
        pressEnter(sheet);
    });
    app().frame()->runCommand(gui::ID_FILE_NEW_PACKAGE);

    // The Inf page's only field is the INF text, where Enter breaks a line:
    // the focus waits on Next there.
    EXPECT_EQ(seen, (std::vector<std::pair<int, Keys>>{{CCabWizSheet::kInformationPage, {"companyName", "Next >"}},
                                                       {CCabWizSheet::kTypePage, {"cabFile", "Next >"}},
                                                       {CCabWizSheet::kFolderPage, {"sourceFolder", "Next >"}},
                                                       {CCabWizSheet::kFilesPage, {"fileList", "Next >"}},
                                                       {CCabWizSheet::kSignaturePage, {"credentials", "Next >"}},
                                                       {CCabWizSheet::kInfPage, {"Next >", "Next >"}},
                                                       {CCabWizSheet::kSummaryPage, {"Finish", "Finish"}},
                                                       {CCabWizSheet::kBuildPage, {"Close", "Close"}}}));
    ASSERT_EQ(app().doc().m_listPackages.size(), 1u);
    EXPECT_EQ(app().doc().m_listPackages.back()->m_strCompany, "Acme Software");
}

// Each sheet tab, wizard page and dialog, opened as its command opens it.
class DialogsReadyForTyping : public DialogKeysTest {
protected:
    DialogsReadyForTyping() { gui::DialogKeys::install(); }
    ~DialogsReadyForTyping() override { gui::DialogKeys::uninstall(); }

    // Shows the dialog (or, with a tab index, that tab of a sheet) and tells what the user meets.
    Keys opened(QDialog& dialog) {
        dialog.show();
        expectOnlyForwardTakesEnter(dialog);
        return keysOf(dialog);
    }
    template <class Sheet>
    std::vector<Keys> everyTab(Sheet& sheet) {
        std::vector<Keys> tabs{opened(sheet)};
        for (int i = 1; i < sheet.pageCount(); ++i) {
            sheet.tabs()->setCurrentIndex(i);
            if (sheet.tabs()->currentIndex() != i) break;  // a tab that needs more before it is left
            tabs.push_back(keysOf(sheet));
            expectOnlyForwardTakesEnter(sheet);
        }
        return tabs;
    }
    void describe(CCabObj& p) {
        p.m_strCompany = "Acme";
        p.m_strProduct = "Tools";
        p.m_strProjectName = "Tools";
        p.m_strDescription = "Tools Package";
        p.m_strVersion = "1.0";
        p.m_strSourceFolder = root_ + "src/";
        p.m_strTargetFolder = root_ + "out/";
    }
};

TEST_F(DialogsReadyForTyping, SheetTabs) {
    gui::CStdProperties options(context);
    EXPECT_EQ(everyTab(options), (std::vector<Keys>{{"reloadWorkspace", "OK"},
                                                    {"selfExtractor", "OK"},
                                                    {"timeStampRfc3161", "OK"},
                                                    {"customAnimation", "OK"},
                                                    {"mszipLevel", "OK"}}));
    CCabObj copy;
    describe(copy);
    gui::CCabPropertySheet properties(copy, context);
    gui::AddCabPropertyPages(properties);
    const std::vector<Keys> tabs = everyTab(properties);
    ASSERT_GE(tabs.size(), 4u);
    EXPECT_EQ(std::vector<Keys>(tabs.begin(), tabs.begin() + 4),
              (std::vector<Keys>{
                  {"companyName", "OK"}, {"cabFile", "OK"}, {"sourceFolder", "OK"}, {"fileList", "OK"}}));
}

TEST_F(DialogsReadyForTyping, WizardsAndDialogs) {
    CCabObj web;
    describe(web);
    gui::CWebWizSheet webWizard(web, context);
    EXPECT_EQ(opened(webWizard), (Keys{"productName", "Next >"}));
    gui::CSignCodePropertySheet sign(context);
    EXPECT_EQ(opened(sign), (Keys{"file", "Next >"}));
    sign.findChild<QLineEdit*>("file")->setText(QString::fromStdString(root_ + "tool.exe"));
    pressEnter(sign);
    EXPECT_EQ(keysOf(sign), (Keys{"credentials", "Finish"}));
    gui::CCheckTrustSheet trust(context);
    EXPECT_EQ(opened(trust), (Keys{"file", "Next >"}));
    CCabObj mailed;
    describe(mailed);
    gui::CMailSelectDlg mail(mailed, context);
    EXPECT_EQ(opened(mail), (Keys{"fileList", "OK"}));
    // Nothing to type: the focus is on the button Enter presses.
    gui::CAboutDlg about;
    EXPECT_EQ(opened(about), (Keys{"OK", "OK"}));
}

// The send sheet walked with Enter from the empty site list to its file
// list, the web package's tabs, the Html Template and Export dialogs.
TEST_F(DialogsReadyForTyping, FtpPagesWebSheetTemplateAndExport) {
    CCabObj sent;
    describe(sent);
    sent.m_arrOutputFiles = {"Tools.CAB"};
    fs::create_directories(root_ + "out");
    std::ofstream(root_ + "out/Tools.CAB") << "MSCF";
    CPCNDoc document{&ui_};
    FtpLibrary library;
    ASSERT_TRUE(library.load(ui_));
    gui::CFTPPropertySheet ftp(sent, document, library, context);
    std::vector<Keys> pages{opened(ftp)};
    pressEnter(ftp);
    pages.push_back(keysOf(ftp));
    expectOnlyForwardTakesEnter(ftp);
    QTest::keyClicks(ftp.focusWidget(), "Acme downloads");
    ftp.currentPage()->findChild<QLineEdit*>("server")->setText("ftp://127.0.0.1:2121/pub/");
    pressEnter(ftp);
    pages.push_back(keysOf(ftp));
    expectOnlyForwardTakesEnter(ftp);
    EXPECT_EQ(pages, (std::vector<Keys>{{"createNewSite", "Next >"}, {"description", "Next >"}, {"fileList", "Finish"}}));
    ASSERT_EQ(document.m_listFtpSites.size(), 1u);
    EXPECT_EQ(document.m_listFtpSites.front()->m_strDescription, "Acme downloads");

    CCabObj web;
    describe(web);
    web.m_nKind = kKindWebInf;
    web.SetDependencyInclude(web.AddDependency("gauge.ocx"), 1);
    gui::CWebPropSheet webSheet(web, context);
    // Inf Output holds only the INF text (no page to view): the focus waits on OK.
    EXPECT_EQ(everyTab(webSheet), (std::vector<Keys>{
                                      {"productName", "OK"}, {"dependencyList", "OK"}, {"osList", "OK"}, {"OK", "OK"}}));

    gui::CHtmlTemplateDlg htmlTemplate(std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/control32.ocx",
                                       context);
    EXPECT_EQ(opened(htmlTemplate), (Keys{"includeLpk", "Close"}));

    CPCNDoc project{&ui_};
    gui::CExportDlg exportDialog(project, ui_, pickers);
    EXPECT_EQ(opened(exportDialog), (Keys{"destination", "OK"}));
}

}  // namespace
}  // namespace pcn::test
