// Help in a window of our own: the contents page, links between pages, Back,
// and F1 on a page of the package wizard, with no browser involved.
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QWizard>

#include "app/gui/CHelpWindow.h"
#include "app/core/CPCNDoc.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CPCNView.h"
#include "app/gui/Commands.h"
#include "app/gui/HelpTopic.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "editing/gui/Editors.h"

namespace pcn::test {
namespace {

using gui::CHelpWindow;

// Clicks the first link to `target` the way a user would; false when the page has none.
bool clickLink(QTextBrowser* browser, const QString& target) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != target) continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + 1);
            const QPoint at = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return true;
        }
    }
    return false;
}

// The page and, when F1 asked for a part of it, the part ("page.htm#part").
QString shownPage(const CHelpWindow* window) {
    const QUrl source = window->browser()->source();
    return source.fileName() + (source.hasFragment() ? "#" + source.fragment() : QString());
}

// Nothing may go to the desktop's browser.
class NoDesktop : public QObject {
    Q_OBJECT
public:
    NoDesktop() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~NoDesktop() override { QDesktopServices::unsetUrlHandler("file"); }
    int opened = 0;
public slots:
    void open(const QUrl&) { ++opened; }
};

using HelpWindowTest = GuiTest;

TEST_F(HelpWindowTest, HelpTopicsShowsTheContentsInOurWindowAndFollowsLinks) {
    NoDesktop desktop;
    ASSERT_EQ(start(), -1);
    app().frame()->runCommand(gui::ID_HELP_FINDER);
    CHelpWindow* help = CHelpWindow::current();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(shownPage(help), "default.htm");
    EXPECT_EQ(help->windowTitle(), "Tarnwick Parcelon Help");

    ASSERT_TRUE(clickLink(help->browser(), "keys.htm"));
    EXPECT_EQ(shownPage(help), "keys.htm");
    EXPECT_TRUE(help->browser()->toPlainText().contains("F1"));
    help->findChild<QToolButton*>("backButton")->click();
    EXPECT_EQ(shownPage(help), "default.htm");
    help->findChild<QToolButton*>("forwardButton")->click();
    EXPECT_EQ(shownPage(help), "keys.htm");
    help->findChild<QToolButton*>("contentsButton")->click();
    EXPECT_EQ(shownPage(help), "default.htm");

    EXPECT_FALSE(gui::showHelpTopic("no_such_page.htm"));
    EXPECT_EQ(desktop.opened, 0);
    help->close();
}

TEST_F(HelpWindowTest, F1OnAWizardPageShowsTheWizardsPageAboveTheWizard) {
    NoDesktop desktop;
    ASSERT_EQ(start(), -1);
    gui::InstallCabinetEditors(app().listView()->editors(), app().editingContext(), app().frame());
    QString first, followed;
    bool helpOwnedByWizard = false;
    QTimer::singleShot(0, [&] {
        auto* wizard = qobject_cast<QWizard*>(QApplication::activeModalWidget());
        ASSERT_NE(wizard, nullptr);
        QApplication::setActiveWindow(wizard);
        auto* product = wizard->findChild<QLineEdit*>("productName");
        product->setFocus();
        QTest::keyClick(product, Qt::Key_F1);
        if (CHelpWindow* help = CHelpWindow::current()) {
            helpOwnedByWizard = help->parentWidget() == wizard;
            first = shownPage(help);
            if (clickLink(help->browser(), "file_new_package.htm")) followed = shownPage(help);
            help->close();
        }
        wizard->reject();
    });
    app().frame()->runCommand(gui::ID_FILE_NEW_PACKAGE);
    EXPECT_TRUE(helpOwnedByWizard);
    EXPECT_EQ(first, "package_wizard.htm#information");
    EXPECT_EQ(followed, "file_new_package.htm");
    EXPECT_EQ(desktop.opened, 0);
}

// F1 in the web package wizard, the web package's property sheet and the
// Component Html Template dialog shows each one's own page.
TEST_F(HelpWindowTest, F1InTheWebWindowsShowsTheirPages) {
    NoDesktop desktop;
    const std::string web = writePackage(kKindWebInf, "Delta");
    settings().writeString("Recent File List", "File1", writeProject("Web.pcn", {web}));
    ASSERT_EQ(start(), -1);
    auto helpOn = [&](int command, const char* field) {
        QString shown;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            QApplication::setActiveWindow(modal);
            QWidget* focus = field ? modal->findChild<QWidget*>(field) : modal;
            ASSERT_NE(focus, nullptr) << field;
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_F1);
            if (CHelpWindow* help = CHelpWindow::current()) {
                shown = shownPage(help);
                help->close();
            }
            modal->close();
        });
        app().frame()->runCommand(command);
        return shown;
    };
    EXPECT_EQ(helpOn(gui::ID_FILE_NEW_WEB_PACKAGE, "componentPath"), "web_package_wizard.htm#general");
    app().listView()->selectPackage(app().doc().m_listPackages.front().get());
    EXPECT_EQ(helpOn(gui::ID_PROJECT_PROPERTIES, "productName"), "web_package_properties.htm#general-information");
    pickers_.queue(QString::fromStdString(std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/control32.ocx"));
    EXPECT_EQ(helpOn(gui::ID_COMPONENT_HTML_TEMPLATE, "templateText"), "component_html_template.htm");
    // Each tab of the options and each page of Check Trust has its own part;
    // the other dialogs their own page.
    EXPECT_EQ(helpOn(gui::ID_VIEW_OPTIONS, "reloadWorkspace"), "view_options.htm#general");
    EXPECT_EQ(helpOn(gui::ID_CHECK_TRUST, "file"), "signature_check_trust.htm#page1");
    EXPECT_EQ(helpOn(gui::ID_FILE_EXPORT, "destination"), "file_export.htm");
    EXPECT_EQ(helpOn(gui::ID_APP_ABOUT, nullptr), "help_about.htm");
    EXPECT_EQ(desktop.opened, 0);
}

}  // namespace
}  // namespace pcn::test

#include "HelpWindowTest.moc"
