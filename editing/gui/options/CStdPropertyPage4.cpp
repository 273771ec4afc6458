#include "editing/gui/options/CStdPropertyPage4.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/options/CStdProperties.h"
#include "model/CompressionChoice.h"

namespace pcn::gui {

namespace {

// Levels 1 to 9, the item index being the level minus one.
QComboBox* levelList(const char* name, const QStringList& texts) {
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->addItems(texts);
    return list;
}

}  // namespace

CStdPropertyPage4::CStdPropertyPage4(CStdProperties& sheet)
    : CPropertyPage(sheet, "Compression"), context_(sheet.context()) {
    setObjectName("CStdPropertyPage4");
    mszipLevel = levelList("mszipLevel", {"1 (fastest)", "2", "3 (fast)", "4", "5 (default)", "6", "7", "8",
                                          "9 (smallest)"});
    lzxLevel = levelList("lzxLevel", {"1 (fastest)", "2", "3 (fast)", "4 (near-optimal)", "5 (default)", "6", "7",
                                      "8", "9 (smallest)"});
    auto* group = new QGroupBox("Compression Levels", this);
    auto* form = new QFormLayout(group);
    form->addRow("&MSZIP level:", mszipLevel);
    form->addRow("&LZX level:", lzxLevel);
    auto* note = new QLabel(
        "Levels apply to every package that uses compression. Each package chooses MSZIP or LZX and the LZX "
        "window on its Type page. LZX levels 1 to 3 parse lazily; 4 to 9 search for the smallest coding.",
        this);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addStretch();
    for (QComboBox* list : {mszipLevel, lzxLevel})
        connect(list, &QComboBox::activated, this, [this] { SetModified(); });
}

void CStdPropertyPage4::OnInitDialog() {
    const CompressionLevels levels = readCompressionLevels(context_.settings);
    mszipLevel->setCurrentIndex(levels.mszip - 1);
    lzxLevel->setCurrentIndex(levels.lzx - 1);
}

bool CStdPropertyPage4::OnApply() {
    const CompressionLevels levels{mszipLevel->currentIndex() + 1, lzxLevel->currentIndex() + 1};
    return ReportUnsavedOptions(context_, writeCompressionLevels(context_.settings, levels));
}

}  // namespace pcn::gui
