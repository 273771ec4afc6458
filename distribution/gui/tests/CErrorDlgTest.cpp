#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "distribution/gui/CErrorDlg.h"

namespace pcn {
namespace {

QPushButton* toggleOf(CErrorDlg& dlg) { return dlg.findChild<QPushButton*>("detailsToggle"); }
QPlainTextEdit* detailsOf(CErrorDlg& dlg) { return dlg.findChild<QPlainTextEdit*>("details"); }

}  // namespace

TEST(CErrorDlg, OpensCollapsedWithTextsAndCaption) {
    CErrorDlg dlg(nullptr, "Error 2\n\nNo such file or directory", "Cabinet add file failed");
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Error");
    EXPECT_EQ(dlg.findChild<QLabel*>("mainText")->text(), "Error 2\n\nNo such file or directory");
    EXPECT_EQ(detailsOf(dlg)->toPlainText(), "Cabinet add file failed");
    EXPECT_FALSE(dlg.findChild<QLabel*>("icon")->pixmap().isNull());
    EXPECT_EQ(dlg.findChild<QPushButton*>("closeButton")->text(), "Close");
    EXPECT_FALSE(dlg.isExpanded());
    EXPECT_FALSE(detailsOf(dlg)->isVisible());
    EXPECT_EQ(toggleOf(dlg)->text(), "&Details >>");
    EXPECT_TRUE(toggleOf(dlg)->isEnabled());
}

TEST(CErrorDlg, ToggleSwitchesBetweenCollapsedAndFullSize) {
    CErrorDlg dlg(nullptr, "Unable to load", "Permission denied");
    dlg.show();
    const int collapsedHeight = dlg.height();
    QTest::mouseClick(toggleOf(dlg), Qt::LeftButton);
    EXPECT_TRUE(dlg.isExpanded());
    EXPECT_TRUE(detailsOf(dlg)->isVisible());
    EXPECT_EQ(toggleOf(dlg)->text(), "<< &Details");
    EXPECT_GT(dlg.height(), collapsedHeight);
    EXPECT_GE(dlg.size().width(), dlg.dialogUnitsToPixels(237, 127).width());
    QTest::mouseClick(toggleOf(dlg), Qt::LeftButton);
    EXPECT_FALSE(dlg.isExpanded());
    EXPECT_FALSE(detailsOf(dlg)->isVisible());
    EXPECT_EQ(toggleOf(dlg)->text(), "&Details >>");
    EXPECT_EQ(dlg.height(), collapsedHeight);
}

TEST(CErrorDlg, EmptyDetailsCannotBeExpanded) {
    CErrorDlg dlg(nullptr, "Unable to connect to printer?.", "");
    dlg.show();
    EXPECT_FALSE(toggleOf(dlg)->isEnabled());
    dlg.setExpanded(true);
    EXPECT_FALSE(dlg.isExpanded());
    EXPECT_FALSE(detailsOf(dlg)->isVisible());
}

TEST(CErrorDlg, SiblingCheckSizeIsLarger) {
    CErrorDlg general(nullptr, "a", "b");
    CErrorDlg larger(nullptr, "a", "b", CErrorDlg::Size::SiblingCheck);
    general.setExpanded(true);
    larger.setExpanded(true);
    EXPECT_GT(larger.width() * larger.height(), general.width() * general.height());
}

TEST(CErrorDlg, CentresOnItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 100, 900, 700);
    owner.show();
    CErrorDlg dlg(&owner, "a", "b");
    dlg.show();
    const QPoint centre = dlg.frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - owner.frameGeometry().center().x()), 2);
    EXPECT_LE(std::abs(centre.y() - owner.frameGeometry().center().y()), 2);
}

TEST(CErrorDlg, CloseEndsTheDialog) {
    CErrorDlg dlg(nullptr, "a", "");
    dlg.show();
    QTest::mouseClick(dlg.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
}

// A long unbroken path wraps: the dialog stays within two thirds of the
// screen, the whole text is shown and nothing lies below the buttons and text.
TEST(CErrorDlg, LongPathsWrapAndTheCollapsedDialogHasNoEmptyBand) {
    const QString path = "/home/user/" + QString("very-long-folder-name/").repeated(13) + "Tools.CAB";
    ASSERT_GE(path.size(), 300);
    CErrorDlg dlg(nullptr, "Unable to open file:\n" + path, "Error 36\r\n\r\nFile name too long");
    dlg.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(dlg.frameGeometry().width(), screen.width() * 2 / 3);
    auto* text = dlg.findChild<QLabel*>("mainText");
    EXPECT_EQ(text->text().remove(QChar(0x200B)), "Unable to open file:\n" + path);
    EXPECT_GE(text->height(), text->heightForWidth(text->width()));
    auto* close = dlg.findChild<QPushButton*>("closeButton");
    EXPECT_TRUE(dlg.rect().contains(close->geometry()));
    EXPECT_TRUE(dlg.rect().contains(toggleOf(dlg)->geometry()));
    const int contentBottom = std::max(text->geometry().bottom(), toggleOf(dlg)->geometry().bottom());
    const int margin = dlg.layout()->contentsMargins().bottom();
    EXPECT_LE(dlg.height() - 1 - contentBottom, margin + 2);

    QTest::mouseClick(toggleOf(dlg), Qt::LeftButton);
    EXPECT_GE(detailsOf(dlg)->height(), 40);
    EXPECT_TRUE(dlg.rect().contains(detailsOf(dlg)->geometry()));
}

TEST(CErrorDlg, CarriageReturnLineEndsAreShownAsLines) {
    EXPECT_EQ(toDisplayText("Error 5\r\n\r\nAccess"), "Error 5\n\nAccess");
    EXPECT_EQ(toDisplayText("a\rb"), "a\nb");
}

}  // namespace pcn
