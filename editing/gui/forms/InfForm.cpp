#include "editing/gui/forms/InfForm.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editing/gui/forms/FormSupport.h"

namespace pcn::gui {

InfForm::InfForm(QWidget* parent) : QWidget(parent) {
    auto* group = new QGroupBox(tr("Cabinet Information File"), this);
    auto* note = new QLabel(tr("You may make changes to the INF file as needed."), group);
    editor_ = namedWidget(new QPlainTextEdit(group), "infText");
    editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    rebuild_ = namedWidget(new QPushButton(tr("Rebuild Inf"), group), "rebuildInf");
    rebuild_->hide();
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(note);
    groupLayout->addWidget(editor_, 1);
    groupLayout->addWidget(rebuild_, 0, Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    connect(editor_, &QPlainTextEdit::textChanged, this, &InfForm::modified);
}

void InfForm::setInfText(std::string_view text) {
    QString shown = QString::fromStdString(std::string(text));
    shown.replace("\r\n", "\n");
    const QSignalBlocker block(editor_);
    editor_->setPlainText(shown);
}

std::string InfForm::infText() const {
    QString text = editor_->toPlainText();
    text.replace("\r\n", "\n");
    text.replace("\n", "\r\n");
    return text.toStdString();
}

}  // namespace pcn::gui
