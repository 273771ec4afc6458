#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

#include <filesystem>
#include <unistd.h>

#include "platform/SettingsStore.h"
#include "platform/gui/DialogFit.h"

namespace pcn::gui {
namespace {

// A dialog whose contents ask for the given size.
class SizedDialog : public QDialog {
public:
    SizedDialog(QSize wanted, QWidget* parent = nullptr) : QDialog(parent), wanted_(wanted) {
        setObjectName("SizedDialog");
    }
    QSize sizeHint() const override { return wanted_; }

private:
    QSize wanted_;
};

class DialogFitTest : public ::testing::Test {
protected:
    DialogFitTest() {
        file_ = std::filesystem::temp_directory_path() / ("pcn-fit-" + std::to_string(::getpid()) + ".conf");
        std::filesystem::remove(file_);
        store_ = std::make_unique<SettingsStore>(file_);
        DialogFitter::install(store_.get());
        owner_.setGeometry(60, 40, 700, 500);
        owner_.show();
    }
    ~DialogFitTest() override {
        DialogFitter::uninstall();
        store_.reset();
        std::filesystem::remove(file_);
        std::filesystem::remove(file_.string() + ".lock");
    }
    std::filesystem::path file_;
    std::unique_ptr<SettingsStore> store_;
    QWidget owner_;
};

}  // namespace

TEST(BreakableText, OnlyLongWordsGetPlacesToWrap) {
    EXPECT_EQ(breakableText("Unable to open file: short/path.txt"), "Unable to open file: short/path.txt");
    const QString path = "/srv/" + QString("folder/").repeated(10) + QString("x").repeated(90);
    const QString broken = breakableText("File " + path + " missing");
    EXPECT_EQ(QString(broken).remove(QChar(0x200B)), "File " + path + " missing");
    // After every separator, and inside the 90 letters that have none.
    EXPECT_EQ(broken.count(QChar(0x200B)), 12 + 2);
    for (const QString& piece : broken.split(QRegularExpression("[ \\x{200B}]"))) EXPECT_LE(piece.size(), 40);
}

TEST_F(DialogFitTest, OpensAtWhatItsContentsAskCentredOnItsOwner) {
    SizedDialog dialog(QSize(640, 420), &owner_);
    ASSERT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(owner_.frameGeometry()));
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(640, 420));
    EXPECT_LE((dialog.frameGeometry().center() - owner_.frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(DialogFitTest, NeverOpensLargerThanTheScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    SizedDialog dialog(screen * 2, &owner_);
    dialog.show();
    EXPECT_LE(dialog.width(), screen.width());
    EXPECT_LE(dialog.height(), screen.height());
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(dialog.frameGeometry()));
}

TEST_F(DialogFitTest, ASizeTheUserGaveIsKeptForTheNextOpening) {
    {
        SizedDialog dialog(QSize(400, 300), &owner_);
        dialog.show();
        dialog.resize(520, 380);
        dialog.hide();
    }
    EXPECT_EQ(store_->readString(kDialogSizesSection, "SizedDialog", ""), "520 380");
    SizedDialog again(QSize(400, 300), &owner_);
    again.show();
    EXPECT_EQ(again.size(), QSize(520, 380));

    // A dialog closed at the size it opened with leaves the remembered size alone.
    again.hide();
    SizedDialog other(QSize(400, 300), &owner_);
    other.setObjectName("Other");
    other.show();
    other.hide();
    EXPECT_FALSE(store_->contains(kDialogSizesSection, "Other"));
}

TEST_F(DialogFitTest, ARememberedSizeNeverCutsTheContents) {
    ASSERT_TRUE(store_->writeString(kDialogSizesSection, "Small", "50 40"));
    QDialog dialog(&owner_);
    dialog.setObjectName("Small");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel("A label that needs some room to be read whole");
    layout->addWidget(label);
    dialog.show();
    EXPECT_GE(dialog.width(), dialog.minimumSizeHint().width());
    EXPECT_GE(dialog.height(), dialog.minimumSizeHint().height());
}

TEST_F(DialogFitTest, AWizardKeepsOneSizeOnEveryPage) {
    QWizard wizard(&owner_);
    auto* small = new QWizardPage;
    new QLabel("Small", small);
    auto* large = new QWizardPage;
    auto* layout = new QVBoxLayout(large);
    auto* text = new QPlainTextEdit;
    text->setMinimumSize(720, 380);
    layout->addWidget(text);
    wizard.addPage(small);
    wizard.addPage(large);
    wizard.show();
    const QSize first = wizard.size();
    EXPECT_GE(first.width(), 720);
    wizard.next();
    QCoreApplication::processEvents();
    EXPECT_EQ(wizard.size(), first);
    EXPECT_GE(text->width(), 720);
}

}  // namespace pcn::gui
