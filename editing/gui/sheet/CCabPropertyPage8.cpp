#include "editing/gui/sheet/CCabPropertyPage8.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "build/CabInfWriter.h"
#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn::gui {

namespace {

// The edit works with line feeds; the INF text and file use CR LF.
QString toEditText(const std::string& crLfText) {
    return QString::fromStdString(crLfText).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

std::string toCrLfText(const QString& editText) {
    QString text = editText;
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n")).toStdString();
}

}  // namespace

CCabPropertyPage8::CCabPropertyPage8(CCabPropertySheet& sheet) : CCabPropertyPage(sheet, tr("Inf File")) {
    setObjectName("CCabPropertyPage8");
}

void CCabPropertyPage8::OnInitDialog() {
    auto* group = new QGroupBox(tr("Cabinet Information File"), this);
    edit_ = new QPlainTextEdit(group);
    edit_->setObjectName("infText");
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rebuild_ = new QPushButton(tr("Rebuild Inf"), group);
    rebuild_->setObjectName("rebuildInf");
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(rebuild_);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(edit_);
    groupLayout->addLayout(buttonRow);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);

    connect(rebuild_, &QPushButton::clicked, this, &CCabPropertyPage8::OnRebuildInf);
    markModifiedOnChange({edit_});

    if (!package().m_bCreateInf) return;
    const bool existed = fileExists(CabInfFilePath(package()));
    const std::optional<std::string> text = LoadCabInfForPage(package(), context().ui);
    loaded_ = true;
    if (!text) return;
    showText(*text);
    // A missing file that the user chose to rebuild is a change to apply.
    SetModified(!existed && !text->empty());
}

void CCabPropertyPage8::showText(const std::string& crLfText) {
    const Loading loading(*this);
    edit_->setPlainText(toEditText(crLfText));
}

void CCabPropertyPage8::OnSetActive() {
    const bool createInf = package().m_bCreateInf != 0;
    edit_->setEnabled(createInf);
    rebuild_->setEnabled(createInf);
}

void CCabPropertyPage8::OnRebuildInf() {
    showText(GenerateCabInfText(package()));
    SetModified();
}

bool CCabPropertyPage8::OnApply() {
    // Without an INF file to keep (Create Cabinet INF File off when the tab
    // opened) the empty edit must not replace the file or the stored text.
    if (!loaded_ && !isModified()) return true;
    SaveCabInfFromPage(package(), toCrLfText(edit_->toPlainText()), context().ui);
    return true;
}

}  // namespace pcn::gui
