#include "web/gui/forms/WebGeneralForm.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"

namespace pcn::gui {
namespace {

// The control picker of the signing sheet opens with this filter (the
// libraries) and its key-container title.
constexpr int kControlPickerMode = 2;

// Check boxes side by side.
QHBoxLayout* sideBySide(QWidget* first, QWidget* second) {
    auto* row = new QHBoxLayout;
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return row;
}

QString withSeparator(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QDir::separator())) folder += QDir::separator();
    return folder;
}

}  // namespace

WebGeneralForm::WebGeneralForm(Pickers& pickers, QWidget* parent) : QWidget(parent), pickers_(pickers) {
    productName = namedWidget(new QLineEdit, "productName");
    componentPath = namedWidget(new QLineEdit, "componentPath");
    browseComponent = namedWidget(new QPushButton(tr("&Browse")), "browseComponent");
    scan = namedWidget(new QCheckBox(tr("Scan for dependencies")), "scan");
    scanDynamic = namedWidget(new QCheckBox(tr("Scan for dynamic dependencies")), "scanDynamic");
    targetFolder = namedWidget(new QLineEdit, "targetFolder");
    browseTarget = namedWidget(new QPushButton(tr("Browse...")), "browseTarget");
    htmTemplate = namedWidget(new QCheckBox(tr("Create Htm Template")), "htmTemplate");
    includeLpk = namedWidget(new QCheckBox(tr("Include LPK Object")), "includeLpk");
    status = namedWidget(new QLabel, "scanStatus");
    progress = namedWidget(new QProgressBar, "scanProgress");
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    for (QPushButton* b : {browseComponent, browseTarget}) b->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto label = [](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        return l;
    };
    layout->addWidget(label(tr("&Product Name:"), productName), 0, 0, 1, 2);
    layout->addWidget(productName, 1, 0, 1, 2);
    layout->addWidget(label(tr("File or Control to deploy"), componentPath), 2, 0, 1, 2);
    layout->addWidget(componentPath, 3, 0);
    layout->addWidget(browseComponent, 3, 1);
    layout->addLayout(sideBySide(scan, scanDynamic), 4, 0, 1, 2);
    layout->addWidget(label(tr("Select target file folder:"), targetFolder), 5, 0, 1, 2);
    layout->addWidget(targetFolder, 6, 0);
    layout->addWidget(browseTarget, 6, 1);
    layout->addLayout(sideBySide(htmTemplate, includeLpk), 7, 0, 1, 2);
    layout->addWidget(status, 8, 0, 1, 2);
    layout->addWidget(progress, 9, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(browseComponent, &QPushButton::clicked, this, &WebGeneralForm::browseForComponent);
    connect(browseTarget, &QPushButton::clicked, this, &WebGeneralForm::browseForTarget);
    connect(scan, &QCheckBox::clicked, this, [this] {
        applyScanRule();
        emit scanOptionClicked();
    });
    connect(scanDynamic, &QCheckBox::clicked, this, &WebGeneralForm::scanOptionClicked);
    connect(htmTemplate, &QCheckBox::clicked, this, &WebGeneralForm::applyHtmRule);
}

void WebGeneralForm::applyScanRule() {
    if (!scan->isChecked()) scanDynamic->setChecked(false);
    scanDynamic->setEnabled(scan->isChecked());
}

void WebGeneralForm::applyHtmRule() { includeLpk->setEnabled(htmTemplate->isChecked()); }

void WebGeneralForm::browseForComponent() {
    QString path = componentPath->text();
    if (!pickers_.fileToSign(this, path, kControlPickerMode)) return;
    componentPath->setText(QDir::toNativeSeparators(path));
    emit componentBrowsed();
}

void WebGeneralForm::browseForTarget() {
    QString folder = targetFolder->text();
    if (!pickers_.folder(this, folder)) return;
    targetFolder->setText(withSeparator(QDir::toNativeSeparators(folder)));
    emit targetBrowsed();
}

}  // namespace pcn::gui
