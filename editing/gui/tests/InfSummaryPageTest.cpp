// The Inf and Summary pages: the INF text made afresh on each visit, the
// summary shown as rich text, Finish writing the summary document, and where
// Back leads for each kind.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

#include <filesystem>

#include "building/Summary.h"
#include "building/gui/BuildHostPanel.h"
#include "editing/gui/tests/WizardPageTestSupport.h"
#include "editing/gui/wizard/CCabWizPage9.h"
#include "editing/gui/wizard/CCabWizPageBuild.h"
#include "platform/AtomicFile.h"

namespace pcn::test {
namespace {

using gui::CCabWizSheet;

class InfSummaryPageTest : public WizardPageTest {
protected:
    InfSummaryPageTest() {
        package.m_strCompany = "Ann & Co";
        package.m_strProduct = "Tools";
        package.m_strProjectName = "Tools";
        package.m_bSignature = 0;
        package.m_strSourceFolder = (root() / "src").string() + "/";
        package.m_strTargetFolder = (root() / "out" / "Tools").string() + "/";
        package.AddFile(makeFile("src/readme.txt"));
    }
    std::string infText() const { return control<QPlainTextEdit>("infText")->toPlainText().toStdString(); }
};

TEST_F(InfSummaryPageTest, InfTextIsGeneratedAfreshOnEveryVisitAndTheEditIsStored) {
    openAt(CCabWizSheet::kInfPage);
    EXPECT_NE(infText().find("[readme.txt]\nfile=thiscab\nFileVersion=0,0,0,0"), std::string::npos) << infText();
    EXPECT_TRUE(sheet->nextButton()->isVisible());

    auto* editor = control<QPlainTextEdit>("infText");
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText("; edited");
    sheet->nextButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
    EXPECT_EQ(package.m_strInfText.rfind(";Tools\r\n\r\n[Version]\r\n", 0), 0u);
    EXPECT_NE(package.m_strInfText.find("FileVersion=0,0,0,0\r\n; edited"), std::string::npos);
    EXPECT_EQ(package.m_strInfText.find("\n\n"), std::string::npos);

    // Back from the Summary of a cabinet with an INF returns here; the edit
    // is gone and a file added meanwhile is listed.
    package.AddFile(makeFile("src/more.txt"));
    sheet->backButton()->click();
    ASSERT_EQ(sheet->currentId(), CCabWizSheet::kInfPage);
    EXPECT_EQ(infText().find("; edited"), std::string::npos);
    EXPECT_NE(infText().find("more.txt=more.txt"), std::string::npos);
}

TEST_F(InfSummaryPageTest, SummaryShowsTheRichTextAndFinishWritesTheDocumentAndStaysOpen) {
    package.m_strSourceFolder = "c:\\src\\";
    openAt(CCabWizSheet::kSummaryPage);
    auto* summary = control<QTextEdit>("summaryText");
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->isReadOnly());
    const QString text = summary->toPlainText();
    EXPECT_TRUE(text.startsWith("Package Summary")) << text.toStdString();
    EXPECT_TRUE(text.contains("Company: Ann & Co")) << text.toStdString();
    EXPECT_TRUE(text.contains("Source Directory: c:\\src\\\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Files Count: 1")) << text.toStdString();
    EXPECT_FALSE(text.contains("rtf1"));
    EXPECT_FALSE(summary->document()->isModified());
    EXPECT_TRUE(summary->textCursor().atEnd());
    EXPECT_TRUE(sheet->finishButton()->isVisible());
    EXPECT_TRUE(sheet->finishButton()->isEnabled());
    EXPECT_TRUE(sheet->backButton()->isEnabled());

    // Showing the page again gives the same text.
    sheet->goToPage(CCabWizSheet::kInfPage);
    sheet->goToPage(CCabWizSheet::kSummaryPage);
    EXPECT_EQ(summary->toPlainText(), text);

    auto* build = page<gui::CCabWizPageBuild>(CCabWizSheet::kBuildPage);
    ASSERT_TRUE(build);
    QSignalSpy buildEnded(build->panel(), &gui::BuildHostPanel::buildEnded);
    sheet->finishButton()->click();
    const std::filesystem::path document = root() / "out" / "Tools" / "Tools.doc";
    ASSERT_TRUE(std::filesystem::exists(document));
    std::string written;
    ASSERT_TRUE(readWholeFile(document, written));
    EXPECT_EQ(written, SummaryText(package));
    // The Build page takes over with a disabled Finish; the sheet stays open.
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kBuildPage);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->wizardButtons(), CCabWizSheet::kWizDisabledFinish);
    EXPECT_FALSE(sheet->finishButton()->isEnabled());
    EXPECT_TRUE(buildEnded.wait(60000) || !buildEnded.isEmpty());
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(InfSummaryPageTest, FinishWithATargetThatCannotBeCreatedReportsAndKeepsThePage) {
    const std::string blocker = makeFile("blocker");
    package.m_strTargetFolder = blocker + "/Tools/";
    openAt(CCabWizSheet::kSummaryPage);
    sheet->finishButton()->click();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Error Creating Directory\n\n" + blocker + "/Tools/\nError [20]");
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kSummaryPage);
    EXPECT_TRUE(sheet->finishButton()->isEnabled());
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(InfSummaryPageTest, BackTargetsOfSummaryAndInfByKind) {
    openAt(CCabWizSheet::kSummaryPage);
    gui::CCabWizPage* summary = sheet->currentCabPage();
    gui::CCabWizPage* inf = sheet->cabPage(CCabWizSheet::kInfPage);

    makeKind(kKindCabinet);
    package.m_bCreateInf = 1;
    package.m_bSignature = 1;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kInfPage);
    EXPECT_EQ(inf->backPageId(), CCabWizSheet::kSignaturePage);
    package.m_bSignature = 0;
    EXPECT_EQ(inf->backPageId(), CCabWizSheet::kFolderPage);
    package.m_bCreateInf = 0;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kFilesPage);
    package.m_bSignature = 1;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kSignaturePage);

    makeKind(kKindSelfExtractingCabinet);
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kSignaturePage);
    package.m_bSignature = 0;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kFilesPage);

    makeKind(kKindSelfExtractingWizard);
    package.m_bMiniSetup = 1;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kMiniSetupPage);
    package.m_bSignature = 1;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kSignaturePage);
    package.m_bSignature = 0;
    package.m_bMiniSetup = 0;
    EXPECT_EQ(summary->backPageId(), CCabWizSheet::kInstallationPage);

    // Back turns Finish into Next again.
    sheet->backButton()->click();
    EXPECT_EQ(sheet->currentId(), CCabWizSheet::kInstallationPage);
    EXPECT_TRUE(sheet->nextButton()->isVisible());
    EXPECT_FALSE(sheet->finishButton()->isVisible());
}

}  // namespace
}  // namespace pcn::test

namespace pcn::test {
namespace {

QTextCharFormat formatAt(QTextDocument* document, const QString& text) {
    QTextCursor found = document->find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    return found.charFormat();
}

TEST_F(InfSummaryPageTest, SummaryKeepsTheRichTextsFontsColoursAndWeights) {
    openAt(CCabWizSheet::kSummaryPage);
    QTextDocument* document = control<QTextEdit>("summaryText")->document();
    const QTextCharFormat title = formatAt(document, "Package Summary");
    EXPECT_EQ(title.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(title.fontPointSize(), 14.0);
    EXPECT_EQ(title.fontFamilies().toStringList(), QStringList{"Book Antiqua"});
    EXPECT_NE(title.fontWeight(), QFont::Bold);
    const QTextCharFormat label = formatAt(document, "Company:");
    EXPECT_EQ(label.fontWeight(), QFont::Bold);
    EXPECT_EQ(label.fontPointSize(), 10.0);
    EXPECT_NE(formatAt(document, "Ann & Co").fontWeight(), QFont::Bold);
    // The title's line break stays inside its paragraph.
    EXPECT_EQ(document->findBlock(0).text(), QString("Package Summary") + QChar(QChar::LineSeparator) +
                                                 QString(36, '_'));
}

}  // namespace
}  // namespace pcn::test
