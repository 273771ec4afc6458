#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>

#include "app/core/CPCNDoc.h"
#include "app/gui/CInfoView.h"
#include "app/gui/CMainFrame.h"
#include "app/gui/CPCNView.h"
#include "app/gui/tests/GuiTestSupport.h"
#include "platform/Paths.h"
#include "platform/gui/DialogFit.h"

namespace pcn::test {

using MainFrameTest = GuiTest;
using gui::CMainFrame;

TEST_F(MainFrameTest, MenusCarryTheCommandsTextsAndHotKeys) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Project", "&Signature", "&Component", "&View", "&Help"}));
    EXPECT_EQ(frame.action(gui::ID_FILE_OPEN)->text(), "&Open Project...\tCtrl+O");
    EXPECT_EQ(frame.action(gui::ID_FILE_NEW_WEB_PACKAGE)->text(), "New &Web Package...");
    EXPECT_EQ(frame.action(gui::ID_FILE_SEND_MAIL)->text(), "S&end Project Files (Mail)...");
    EXPECT_EQ(frame.action(gui::ID_APP_ABOUT)->text(), "&About Parcelon...");
    EXPECT_EQ(frame.action(gui::ID_COMPONENT_UNREGISTER)->text(), "&Unregister...");

    auto shortcuts = [&](int id) { return frame.action(id)->shortcuts(); };
    EXPECT_TRUE(shortcuts(gui::ID_EDIT_CUT).contains(QKeySequence(Qt::Key_Delete)));
    EXPECT_TRUE(shortcuts(gui::ID_EDIT_CUT).contains(QKeySequence(Qt::SHIFT | Qt::Key_Delete)));
    EXPECT_TRUE(shortcuts(gui::ID_EDIT_UNDO).contains(QKeySequence(Qt::ALT | Qt::Key_Backspace)));
    EXPECT_TRUE(shortcuts(gui::ID_EDIT_PASTE).contains(QKeySequence(Qt::SHIFT | Qt::Key_Insert)));
    EXPECT_TRUE(shortcuts(gui::ID_FILE_NEW_PACKAGE).contains(QKeySequence(Qt::Key_Insert)));
    EXPECT_TRUE(shortcuts(gui::ID_EDIT_COPY).contains(QKeySequence(Qt::CTRL | Qt::Key_Insert)));
    EXPECT_TRUE(shortcuts(gui::ID_HELP).contains(QKeySequence(Qt::Key_F1)));
    EXPECT_TRUE(shortcuts(gui::ID_CONTEXT_HELP).contains(QKeySequence(Qt::SHIFT | Qt::Key_F1)));

    EXPECT_EQ(frame.action(gui::ID_SIGN_FILE)->text(), "Sign File...");
    EXPECT_EQ(frame.action(gui::ID_CHECK_TRUST)->text(), "Check Trust...");
    EXPECT_TRUE(frame.action(gui::ID_SIGN_FILE)->isEnabled());
    EXPECT_TRUE(frame.action(gui::ID_CHECK_TRUST)->isEnabled());
    EXPECT_TRUE(frame.action(gui::ID_FILE_OPEN_PACKAGE)->isEnabled());
    EXPECT_TRUE(frame.action(gui::ID_APP_ABOUT)->isEnabled());
    EXPECT_TRUE(frame.action(gui::ID_VIEW_OPTIONS)->isEnabled());
}

// The web package wizard and the Component menu: each command is there and
// opens its window (the Component commands first ask for a component).
TEST_F(MainFrameTest, WebAndComponentCommandsAreEnabledAndOpenTheirDialogs) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    frame.updateCommandUi();
    for (int id : {gui::ID_FILE_NEW_WEB_PACKAGE, gui::ID_COMPONENT_HTML_TEMPLATE, gui::ID_COMPONENT_CREATE_LPK,
                   gui::ID_COMPONENT_REGISTER, gui::ID_COMPONENT_UNREGISTER})
        EXPECT_TRUE(frame.action(id)->isEnabled()) << id;

    // Opens the command's modal window, notes its class and closes it.
    auto opens = [&](int id) {
        QString opened;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            opened = modal->metaObject()->className();
            modal->close();
        });
        frame.action(id)->trigger();
        return opened;
    };
    EXPECT_EQ(opens(gui::ID_FILE_NEW_WEB_PACKAGE), "pcn::gui::CWebWizSheet");
    EXPECT_TRUE(app().doc().m_listPackages.empty());  // cancelled: nothing added

    const QString component = QString::fromStdString(std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/control32.ocx");
    pickers_.queue(component);
    EXPECT_EQ(opens(gui::ID_COMPONENT_HTML_TEMPLATE), "pcn::gui::CHtmlTemplateDlg");

    pickers_.calls.clear();
    frame.action(gui::ID_COMPONENT_REGISTER)->trigger();
    frame.action(gui::ID_COMPONENT_UNREGISTER)->trigger();
    ASSERT_EQ(pickers_.calls.size(), 2u);
    EXPECT_EQ(pickers_.calls[0].kind, "component");
    EXPECT_EQ(pickers_.calls[0].number, 0);
    EXPECT_EQ(pickers_.calls[1].number, 1);

    // No licence tool ships with the program: the message names where it was looked for.
    frame.action(gui::ID_COMPONENT_CREATE_LPK)->trigger();
    ASSERT_FALSE(ui_.shown().empty());
    EXPECT_EQ(ui_.shown().back().text, "Unable to locate " + programFolder() + "lpk_tool.exe");
}

TEST_F(MainFrameTest, ToolbarButtonsInOrder) {
    ASSERT_EQ(start(), -1);
    QStringList names;
    for (QAction* a : app().frame()->toolBar()->actions()) names << (a->isSeparator() ? "0" : a->objectName());
    EXPECT_EQ(names.join(' '),
              "actionNewProject actionNewPackage actionNewWebPackage 0 actionSendFtp actionSendMail 0 "
              "actionRebuild actionProperties 0 actionSignFile actionCheckTrust 0 actionSavePackage "
              "actionSaveProject 0 actionCut actionCopy actionPaste 0 actionPrint actionPrintPreview 0 "
              "actionAbout actionContextHelp");
    EXPECT_EQ(app().frame()->toolBar()->windowTitle(), "Standard Tool Bar");
    for (QAction* a : app().frame()->toolBar()->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
    }
}

TEST_F(MainFrameTest, StatusBarPanesWithDateAndTime) {
    ASSERT_EQ(start(), -1);
    gui::CProgressStatusBar* bar = app().frame()->progressStatusBar();
    EXPECT_EQ(bar->paneCount(), 6);
    EXPECT_EQ(bar->message(), "Ready");
    auto* timer = bar->findChild<QTimer*>("dateTimeTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_FALSE(bar->findChild<QLabel*>("datePane")->text().isEmpty());
    EXPECT_FALSE(bar->findChild<QLabel*>("timePane")->text().isEmpty());
}

TEST_F(MainFrameTest, StatusBarWithoutDateAndTime) {
    settings().writeInt("Settings\\General", "Display Date and Time", 0);
    ASSERT_EQ(start(), -1);
    gui::CProgressStatusBar* bar = app().frame()->progressStatusBar();
    EXPECT_EQ(bar->paneCount(), 4);
    EXPECT_EQ(bar->findChild<QTimer*>("dateTimeTimer"), nullptr);
    EXPECT_EQ(bar->findChild<QLabel*>("datePane"), nullptr);
    EXPECT_NE(bar->findChild<QLabel*>("capPane"), nullptr);
}

TEST_F(MainFrameTest, MenuHelpShowsTheItemsPromptOverTheWholeBar) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    gui::CProgressStatusBar* bar = frame.progressStatusBar();
    QMenu* edit = frame.menuByTitle("&Edit");
    emit edit->aboutToShow();
    EXPECT_FALSE(bar->findChild<QLabel*>("capPane")->isVisible());
    frame.action(gui::ID_EDIT_COPY)->showStatusText(&frame);
    // Greyed without a selection, Copy says why.
    EXPECT_EQ(bar->message(), "Select a package in the list first");
    emit edit->aboutToHide();
    QApplication::processEvents();
    EXPECT_TRUE(bar->findChild<QLabel*>("capPane")->isVisible());
    EXPECT_EQ(bar->message(), "Ready");
}

TEST_F(MainFrameTest, ProgressMeterProtocol) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    gui::CProgressStatusBar* bar = frame.progressStatusBar();
    QProgressBar* meter = bar->progressMeter();
    EXPECT_EQ(meter->objectName(), "progressMeter");

    // An end without a start repaints and keeps the meter hidden.
    frame.setProgress(101);
    EXPECT_FALSE(meter->isVisible());
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_FALSE(bar->inProgress());
    EXPECT_EQ(meter->value(), 0);

    QApplication::processEvents();
    frame.setProgress(0);
    EXPECT_TRUE(bar->inProgress());
    EXPECT_TRUE(meter->isVisible());
    EXPECT_FALSE(bar->isEnabled());
    const QRect pane = bar->findChild<QLabel*>("messagePane")->geometry();
    EXPECT_EQ(meter->geometry(), pane.adjusted(2, 2, -2, -2));
    frame.setProgress(40);
    EXPECT_EQ(meter->value(), 40);
    frame.setProgress(100);
    EXPECT_EQ(meter->value(), 100);
    frame.setProgress(101);
    EXPECT_FALSE(meter->isVisible());
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(meter->value(), 0);
    EXPECT_EQ(meter->geometry().size(), QSize(0, 0));
}

TEST_F(MainFrameTest, ProjectSaveDrivesTheMeterFromTheDocument) {
    const std::string project =
        writeProject("Work.pcn", {writePackage(kKindCabinet, "Alpha"), writePackage(kKindCabinet, "Beta")});
    settings().writeString("Recent File List", "File1", project);
    ASSERT_EQ(start(), -1);
    std::vector<int> seen;
    QProgressBar* meter = app().frame()->progressStatusBar()->progressMeter();
    QObject::connect(meter, &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
    ASSERT_TRUE(app().saveProject());
    ASSERT_FALSE(seen.empty());
    EXPECT_FALSE(meter->isVisible());
    EXPECT_FALSE(app().frame()->progressStatusBar()->inProgress());
}

TEST_F(MainFrameTest, PlacementSplitterAndToolbarAreStoredAndRestored) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    frame.setGeometry(40, 50, 700, 500);
    frame.splitter()->setSizes({260, 440});
    frame.toolBar()->hide();
    frame.close();
    EXPECT_FALSE(frame.isVisible());
    const std::string stored = settings().readString("Settings", "Window Position", "*");
    auto placement = gui::parseWindowPlacement(stored);
    ASSERT_TRUE(placement.has_value()) << stored;
    EXPECT_EQ(placement->showCmd, gui::kShowNormal);
    EXPECT_EQ(placement->width(), 700);
    EXPECT_EQ(placement->height(), 500);
    EXPECT_EQ(settings().readInt("Settings", "Window Maximize", -1), 1);
    EXPECT_EQ(settings().readInt("Settings\\List", "Splitter", -1), 260);
    // The list view writes its column width when it goes.
    app_.reset();
    EXPECT_GT(settings().readInt("Settings\\List", "Column 1", -1), 0);

    // A maximised placement comes back as a normal window of the stored size.
    gui::WindowPlacement maximised = *placement;
    maximised.showCmd = gui::kShowMaximized;
    settings().writeString("Settings", "Window Position", gui::formatWindowPlacement(maximised));
    ASSERT_EQ(start(), -1);
    EXPECT_FALSE(app().frame()->isMaximized());
    EXPECT_EQ(app().frame()->geometry().size(), QSize(700, 500));
    EXPECT_EQ(app().frame()->splitter()->sizes().front(), 260);
    EXPECT_FALSE(app().frame()->toolBar()->isVisible());
}

TEST_F(MainFrameTest, WithoutStoredPlacementTheDefaultStaysAndTheListTakesAThird) {
    settings().writeString("Settings", "Window Position", "*");
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    // 960x640 where the screen has room, less on a smaller one.
    const QRect area = gui::availableArea(&frame);
    EXPECT_EQ(frame.size(), QSize(960, 640).boundedTo(area.size() - QSize(16, 48)));
    const QList<int> sizes = frame.splitter()->sizes();
    EXPECT_NEAR(sizes[0], frame.splitter()->width() / 3, 2);
}

// A placement stored on a larger screen or at a smaller scale (a 1440x960
// window where 1024x768 at a scale of 1.5 offers 682x512) opens inside the
// screen, its title bar and its buttons in view.
TEST_F(MainFrameTest, APlacementLargerThanTheScreenIsKeptOnIt) {
    const QRect area = gui::availableArea(nullptr);
    gui::WindowPlacement big;
    big.left = area.left() - 60;
    big.top = area.top() - 40;
    big.right = big.left + area.width() * 2;
    big.bottom = big.top + area.height() * 2;
    settings().writeString("Settings", "Window Position", gui::formatWindowPlacement(big));
    ASSERT_EQ(start(), -1);
    const QRect placed = app().frame()->geometry();
    EXPECT_TRUE(area.contains(placed)) << placed.x() << "," << placed.y() << " " << placed.width() << "x"
                                       << placed.height();
    EXPECT_GE(placed.top(), area.top() + 16);  // room for the title bar above it
    EXPECT_GT(placed.width(), area.width() / 2);
    // Within a screen it came from, a placement is left as it was.
    EXPECT_EQ(gui::keptOnScreen(QRect(100, 120, 300, 200), QRect(0, 0, 1024, 768)), QRect(100, 120, 300, 200));
    EXPECT_EQ(gui::keptOnScreen(QRect(0, 0, 1440, 960), QRect(0, 0, 682, 512)), QRect(8, 40, 666, 464));
}

TEST_F(MainFrameTest, ListColumnFollowsTheViewWidth) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    frame.splitter()->setSizes({300, 500});
    QApplication::processEvents();
    gui::CPCNView* list = app().listView();
    EXPECT_EQ(list->header()->sectionSize(0), list->viewport()->width());
    frame.splitter()->setSizes({420, 380});
    QApplication::processEvents();
    EXPECT_EQ(list->header()->sectionSize(0), list->viewport()->width());
    EXPECT_EQ(list->headerItem()->text(0), "Package Description");
}

TEST_F(MainFrameTest, KeyboardSplitMovesTheBarAndEscapeRestoresIt) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    frame.splitter()->setSizes({300, 500});
    const int before = frame.splitter()->sizes().front();
    frame.runCommand(gui::ID_WINDOW_SPLIT);
    ASSERT_TRUE(frame.inKeyboardSplit());
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(app().listView(), &right);
    EXPECT_EQ(frame.splitter()->sizes().front(), before + 8);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(app().listView(), &escape);
    EXPECT_FALSE(frame.inKeyboardSplit());
    EXPECT_EQ(frame.splitter()->sizes().front(), before);
}

TEST_F(MainFrameTest, RecentFilesKeepFourMostRecentFirst) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    for (int i = 1; i <= 5; ++i) frame.addRecentFile(QString::fromStdString(dataDir()) + QString("p%1.pcn").arg(i));
    const QStringList recent = frame.recentFiles();
    ASSERT_EQ(recent.size(), 4);
    EXPECT_TRUE(recent.front().endsWith("p5.pcn"));
    EXPECT_TRUE(recent.back().endsWith("p2.pcn"));
    EXPECT_EQ(settings().readString("Recent File List", "File1", ""), dataDir() + "p5.pcn");
    EXPECT_EQ(settings().readString("Recent File List", "File4", ""), dataDir() + "p2.pcn");
    EXPECT_NE(frame.findChild<QAction*>("actionRecentFile4"), nullptr);
    EXPECT_TRUE(frame.findChild<QAction*>("actionRecentFile1")->text().startsWith("&1 "));
}

TEST_F(MainFrameTest, MissingRecentProjectIsDroppedFromTheList) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    const QString gone = QString::fromStdString(dataDir() + "Gone.pcn");
    frame.addRecentFile(gone);
    frame.findChild<QAction*>("actionRecentFile1")->trigger();
    EXPECT_FALSE(frame.recentFiles().contains(gone));
    EXPECT_FALSE(ui_.shown().empty());  // the document said why
}

TEST_F(MainFrameTest, F6MovesTheFocusBetweenThePanes) {
    ASSERT_EQ(start(), -1);
    CMainFrame& frame = *app().frame();
    app().listView()->setFocus();
    frame.focusNextPane(true);
    EXPECT_EQ(frame.focusWidget(), app().infoView());
    frame.focusNextPane(false);
    EXPECT_EQ(frame.focusWidget(), app().listView());
}

}  // namespace pcn::test
