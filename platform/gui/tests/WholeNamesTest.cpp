#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QTest>
#include <QTreeWidget>

#include "platform/gui/WholeNames.h"

namespace pcn::gui {
namespace {

// Hovers the row as the user would and returns the tooltip shown, if any.
QString tooltipOver(QTreeWidget& list, QTreeWidgetItem* item) {
    QToolTip::hideText();
    QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000);
    const QPoint at = list.visualItemRect(item).center();
    QHelpEvent hover(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &hover);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(WholeNamesTest, ALongPathIsCutInTheMiddleAndShownWholeOnHover) {
    QTreeWidget list;
    list.setHeaderLabels({"Package File List"});
    list.header()->setStretchLastSection(true);
    showWholeNames(&list);
    list.resize(220, 160);
    const QString longPath = "/home/user/projects/acme-software/release/2026/installer/bin/AcmeGaugeControl.ocx";
    auto* cut = new QTreeWidgetItem(&list, {longPath});
    auto* shortName = new QTreeWidgetItem(&list, {"a.inf"});
    auto* ownTip = new QTreeWidgetItem(&list, {longPath + "x"});
    ownTip->setToolTip(0, "kept");
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    // Both ends of the path stay in view: where it starts and the file's name.
    EXPECT_EQ(list.textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(tooltipOver(list, cut), longPath);
    EXPECT_EQ(tooltipOver(list, shortName), QString());
    EXPECT_EQ(tooltipOver(list, ownTip), "kept");

    // Wide enough for the whole name: nothing to add.
    list.resize(1400, 160);
    QApplication::processEvents();
    EXPECT_EQ(tooltipOver(list, cut), QString());
}

}  // namespace
}  // namespace pcn::gui
