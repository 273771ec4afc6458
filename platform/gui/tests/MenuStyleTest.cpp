#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include "platform/gui/MenuStyle.h"

namespace pcn::gui {
namespace {

TEST(MenuStyleTest, PointingAtAGreyedCommandShowsWhyInTheStatusBar) {
    QApplication::setStyle(new MenuStyle);
    QMainWindow window;
    window.statusBar()->showMessage("Ready");
    QMenu* menu = window.menuBar()->addMenu("&Project");
    QAction* properties = menu->addAction("&Properties...");
    QAction* contents = menu->addAction("Co&ntents...");
    contents->setEnabled(false);
    contents->setStatusTip("Build the package first: Contents reads its cabinet.");
    properties->setStatusTip("Edit the selected package.");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Opened from the menu bar, as the status bar hears only menus that were.
    window.menuBar()->setActiveAction(menu->menuAction());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->actionGeometry(properties).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.statusBar()->currentMessage() == properties->statusTip(); }, 2000));
    QTest::mouseMove(menu, menu->actionGeometry(contents).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.statusBar()->currentMessage() == contents->statusTip(); }, 2000))
        << window.statusBar()->currentMessage().toStdString();
    // The greyed command still does nothing.
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

}  // namespace
}  // namespace pcn::gui
