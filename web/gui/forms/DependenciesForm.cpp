#include "web/gui/forms/DependenciesForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormSupport.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "web/gui/WebSheetState.h"
#include "web/gui/forms/DependencyList.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::gui {
namespace {

constexpr int kControlPickerMode = 2;  // the control picker of the first page
constexpr int kWin32 = 1;

}  // namespace

DependenciesForm::DependenciesForm(WebSheetState& state, QWidget* parent) : QWidget(parent), state_(state) {
    caption = namedWidget(new QLabel, "dependenciesCaption");
    list = namedWidget(new QTreeWidget, "dependencyList");
    SetUpDependencyList(list, tr("Dependency File List"));
    includeInPackages = namedWidget(new QCheckBox(tr("Include in Packages")), "includeInPackages");
    includeInPackages->setEnabled(false);
    addButton = namedWidget(new QPushButton(tr("&Add...")), "addDependency");
    addButton->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption, 0, 0, 1, 2);
    layout->addWidget(list, 1, 0, 1, 2);
    layout->addWidget(includeInPackages, 2, 0);
    layout->addWidget(addButton, 2, 1);
    layout->setRowStretch(1, 1);

    connect(list, &QTreeWidget::itemSelectionChanged, this, &DependenciesForm::selectionChanged);
    connect(includeInPackages, &QCheckBox::clicked, this, &DependenciesForm::includeClicked);
    connect(addButton, &QPushButton::clicked, this, &DependenciesForm::addDependency);
}

void DependenciesForm::initialise() {
    caption->setText(tr("Libraries loaded on behalf of ") + QString::fromStdString(state_.package.m_pWeb->m_strFileName));
}

void DependenciesForm::fill() {
    CCabObj& package = state_.package;
    list->clear();
    const std::vector<std::string> reasons = web::UnresolvedDependencyReasons(package);
    for (int i = 0; i < package.GetDependencyCount(); ++i) {
        // An OS chosen on the next page survives coming back here.
        if (!state_.hasOsChoice(i)) package.SetDependencyOs(i, kWin32);
        AddDependencyRow(list, package, i, reasons[i]);
    }
    SelectFirstRow(list);
    selectionChanged();
}

void DependenciesForm::selectionChanged() {
    const int entry = ShownEntry(list);
    includeInPackages->setEnabled(entry >= 0);
    if (entry >= 0) includeInPackages->setChecked(state_.package.GetDependencyInclude(entry) != 0);
}

void DependenciesForm::includeClicked() {
    const int32_t include = includeInPackages->isChecked() ? 1 : 0;
    for (int entry : SelectedEntries(list)) state_.package.SetDependencyInclude(entry, include);
    emit changed();
}

void DependenciesForm::addDependency() {
    QString path = QString::fromStdString(state_.package.m_pWeb->m_strSourceFolder);
    if (!state_.context.pickers.fileToSign(this, path, kControlPickerMode) || path.isEmpty()) return;
    CCabObj& package = state_.package;
    const int entry = package.AddDependency(path.toStdString());
    package.SetDependencyOrigin(entry, web::kOriginLoaded);
    package.SetDependencyInclude(entry, 1);
    AddDependencyRow(list, package, entry);
    emit changed();
}

}  // namespace pcn::gui
