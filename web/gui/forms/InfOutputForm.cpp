#include "web/gui/forms/InfOutputForm.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "model/CCabObj.h"
#include "web/SiteAddress.h"
#include "web/WebInf.h"
#include "web/gui/WebSheetState.h"

namespace pcn::gui {

InfOutputForm::InfOutputForm(WebSheetState& state, QWidget* parent) : QWidget(parent), state_(state) {
    text = namedWidget(new QPlainTextEdit, "infText");
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    viewHtm = namedWidget(new QCheckBox(tr("View Htm Template")), "viewHtmTemplate");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text, 1);
    layout->addWidget(viewHtm);
    connect(viewHtm, &QCheckBox::clicked, this, &InfOutputForm::showText);
}

void InfOutputForm::build() {
    const CCabObj& package = state_.package;
    const std::string site = SiteBaseAddress(state_.context.settings);
    inf_ = BuildWebInf(package, site);
    const bool htm = package.m_pWeb->m_bHtmTemplate != 0;
    html_ = htm ? BuildWebHtml(package, site) : std::string();
    if (!htm) viewHtm->setChecked(false);
    viewHtm->setEnabled(htm);
    shown_ = true;
    showText();
}

void InfOutputForm::showText() {
    const std::string& shown = viewHtm->isChecked() ? html_ : inf_;
    text->setPlainText(QString::fromStdString(shown));
    text->moveCursor(QTextCursor::End);
}

bool InfOutputForm::write(UserInterface& ui) const {
    if (!shown_) return true;
    return WriteWebPackage(state_.package, inf_, html_, ui);
}

}  // namespace pcn::gui
