#include "web/gui/forms/OsTypesForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editing/gui/forms/FormSupport.h"
#include "model/CCabObj.h"
#include "web/gui/WebSheetState.h"
#include "web/gui/forms/DependencyList.h"

namespace pcn::gui {
OsTypesForm::OsTypesForm(WebSheetState& state, QWidget* parent) : QWidget(parent), state_(state) {
    list = namedWidget(new QTreeWidget, "osList");
    SetUpDependencyList(list, tr("Dependency OS List"));
    win32 = namedWidget(new QCheckBox(tr("Win32")), "osWin32");
    mac = namedWidget(new QCheckBox(tr("Mac")), "osMac");
    x86 = namedWidget(new QCheckBox(tr("Intel® x86")), "cpuX86");
    ppc = namedWidget(new QCheckBox(tr("Motorola® ppc")), "cpuPpc");
    mips = namedWidget(new QCheckBox(tr("MIPS® mips")), "cpuMips");
    alpha = namedWidget(new QCheckBox(tr("DEC® Alpha")), "cpuAlpha");
    nonSpecific = namedWidget(new QCheckBox(tr("Non Specific")), "nonSpecific");
    osBoxes_ = {{win32, 1}, {mac, 2}};
    cpuBoxes_ = {{x86, 1}, {ppc, 2}, {mips, 4}, {alpha, 8}};

    auto* os = new QGroupBox(tr("OS"));
    auto* osLayout = new QVBoxLayout(os);
    osLayout->addWidget(win32);
    osLayout->addWidget(mac);
    auto* cpu = new QGroupBox(tr("Processor"));
    auto* cpuLayout = new QVBoxLayout(cpu);
    for (QCheckBox* box : {x86, ppc, mips, alpha}) cpuLayout->addWidget(box);
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(os);
    boxes->addWidget(cpu);
    boxes->addWidget(nonSpecific);
    boxes->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list, 1);
    layout->addLayout(boxes);

    for (auto [box, flag] : osBoxes_) connect(box, &QCheckBox::clicked, this, [this, b = box, f = flag] { osClicked(b, f); });
    for (auto [box, flag] : cpuBoxes_)
        connect(box, &QCheckBox::clicked, this, [this, b = box, f = flag] { cpuClicked(b, f); });
    connect(nonSpecific, &QCheckBox::clicked, this, &OsTypesForm::nonSpecificClicked);
    connect(list, &QTreeWidget::itemSelectionChanged, this, &OsTypesForm::showFlags);
}

void OsTypesForm::fill() {
    const CCabObj& package = state_.package;
    list->clear();
    for (int i = 0; i < package.GetDependencyCount(); ++i) {
        if (package.GetDependencyInclude(i)) AddDependencyRow(list, package, i);
    }
    SelectFirstRow(list);
    showFlags();
}

void OsTypesForm::showFlags() {
    const int entry = ShownEntry(list);
    const int32_t os = entry >= 0 ? state_.package.GetDependencyOs(entry) : 0;
    const int32_t cpu = entry >= 0 ? state_.package.GetDependencyCpu(entry) : 0;
    for (auto [box, flag] : osBoxes_) box->setChecked(os & flag);
    for (auto [box, flag] : cpuBoxes_) box->setChecked(cpu & flag);
    nonSpecific->setChecked(entry >= 0 && os == 0);
}

void OsTypesForm::osClicked(QCheckBox* box, int32_t flag) {
    for (int entry : SelectedEntries(list)) {
        const int32_t os = state_.package.GetDependencyOs(entry);
        state_.package.SetDependencyOs(entry, box->isChecked() ? flag : (os & ~flag));
        state_.markOsChoice(entry);
    }
    if (box->isChecked()) {
        nonSpecific->setChecked(false);
        for (auto [other, otherFlag] : osBoxes_)
            if (other != box) other->setChecked(false);
    }
    emit changed();
}

void OsTypesForm::cpuClicked(QCheckBox* box, int32_t flag) {
    for (int entry : SelectedEntries(list)) {
        const int32_t cpu = state_.package.GetDependencyCpu(entry);
        state_.package.SetDependencyCpu(entry, box->isChecked() ? flag : (cpu & ~flag));
    }
    if (box->isChecked()) {
        nonSpecific->setChecked(false);
        for (auto [other, otherFlag] : cpuBoxes_)
            if (other != box) other->setChecked(false);
    }
    emit changed();
}

void OsTypesForm::nonSpecificClicked() {
    if (nonSpecific->isChecked()) {
        for (int entry : SelectedEntries(list)) {
            state_.package.SetDependencyOs(entry, 0);
            state_.package.SetDependencyCpu(entry, 0);
            state_.markOsChoice(entry);
        }
        for (auto [box, flag] : osBoxes_) box->setChecked(false);
        for (auto [box, flag] : cpuBoxes_) box->setChecked(false);
    }
    emit changed();
}

}  // namespace pcn::gui
