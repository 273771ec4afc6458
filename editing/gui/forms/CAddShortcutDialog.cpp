#include "editing/gui/forms/CAddShortcutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "building/ConfigFile.h"
#include "distribution/UserInterface.h"
#include "editing/core/Shortcuts.h"
#include "editing/gui/forms/FormProblem.h"
#include "editing/gui/forms/FormSupport.h"
#include "model/CCabObj.h"
#include "platform/gui/WholeNames.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CAddShortcutDialog::CAddShortcutDialog(const CCabObj& package, UserInterface& ui, QWidget* parent)
    : QDialog(parent), package_(package), ui_(ui) {
    setWindowTitle(tr("Add Shortcut"));
    setObjectName("CAddShortcutDialog");
    setHelpTopic(this, "package_wizard.htm#mini-setup");
    auto* label = new QLabel(tr("Shortcut Description:"), this);
    descriptionEdit_ = namedWidget(new QLineEdit(this), "shortcutDescription");
    label->setBuddy(descriptionEdit_);
    files_ = namedWidget(new QListWidget(this), "shortcutFiles");
    files_->setFrameShadow(QFrame::Sunken);
    files_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    showWholeNames(files_);
    for (int i = 0; i < package.GetFileCount(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(package.GetFilePath(i)), files_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddShortcutDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddShortcutDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(descriptionEdit_);
    layout->addWidget(files_, 1);
    layout->addWidget(buttons);
    resize(420, 320);
}

void CAddShortcutDialog::accept() {
    if (descriptionEdit_->text().isEmpty()) {
        ui_.message("Shortcut Description is required.", kMessageCaption, Icon::Warning, Buttons::Ok, Answer::Ok);
        descriptionEdit_->setFocus();
        return;
    }
    if (HoldsLineBreak(descriptionEdit_->text().toStdString())) {
        ui_.message(kLineBreakRefused, kMessageCaption, Icon::Warning, Buttons::Ok, Answer::Ok);
        descriptionEdit_->setFocus();
        return;
    }
    QStringList checked;
    for (int i = 0; i < files_->count(); ++i)
        if (files_->item(i)->checkState() == Qt::Checked) checked << files_->item(i)->text();
    if (checked.size() > 1) {
        ui_.message("More than one file has been selected.\n\nA shortcut can only be associated with one file.",
                    kMessageCaption, Icon::Warning, Buttons::Ok, Answer::Ok);
        return;
    }
    description_ = descriptionEdit_->text();
    shortcutFile_ = checked.isEmpty()
                        ? QString()
                        : QString::fromStdString(ShortcutFileFor(checked.front().toStdString(),
                                                                 package_.m_strSourceFolder));
    QDialog::accept();
}

}  // namespace pcn::gui
