#include "editing/gui/forms/TypeForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/CCabObj.h"
#include "model/CompressionChoice.h"
#include "platform/Numbers.h"

namespace pcn::gui {

namespace {

template <typename Button>
Button* makeButton(const QString& text, const char* name) {
    auto* button = new Button(text);
    button->setObjectName(name);
    return button;
}

void setFlag(QAbstractButton* button, int32_t flag) { button->setChecked(flag != 0); }
int32_t flagOf(const QAbstractButton* button) { return button->isChecked() ? 1 : 0; }

}  // namespace

TypeForm::TypeForm(QWidget* parent) : QWidget(parent) {
    cabFile = makeButton<QRadioButton>(tr("&Cab File"), "cabFile");
    cabSelfExtracting = makeButton<QRadioButton>(tr("Cab Self &Extracting"), "cabSelfExtracting");
    selfExtractingWizard = makeButton<QRadioButton>(tr("&Self Extracting Wizard"), "selfExtractingWizard");
    singleFile = makeButton<QCheckBox>(tr("Sin&gle File"), "singleFile");
    maximumSize = new QComboBox;
    maximumSize->setObjectName("maximumSize");
    maximumSize->setEditable(true);
    maximumSize->setInsertPolicy(QComboBox::NoInsert);
    // A typed "1" must stay 1, not be completed into the first preset.
    maximumSize->setCompleter(nullptr);
    for (const char* preset : kCabinetSizePresets) maximumSize->addItem(preset);
    useCompression = makeButton<QCheckBox>(tr("Use Co&mpression"), "useCompression");
    compressionMethod = new QComboBox;
    compressionMethod->setObjectName("compressionMethod");
    compressionMethod->addItem(tr("MSZIP"), 0);
    for (unsigned bits = kLzxSmallestWindow; bits <= kLzxLargestWindow; ++bits) {
        const unsigned kb = (1u << bits) / 1024;
        compressionMethod->addItem(kb < 1024 ? tr("LZX, %1 KB window").arg(kb) : tr("LZX, %1 MB window").arg(kb / 1024),
                                   bits);
    }
    addSignature = makeButton<QCheckBox>(tr("Add &Digital Signature"), "addSignature");
    scanGuid = makeButton<QCheckBox>(tr("Scan for G&UID(s)"), "scanGuid");
    createInf = makeButton<QCheckBox>(tr("Create Cabinet &INF File"), "createInf");
    includeInf = makeButton<QCheckBox>(tr("Include INF File in Ca&binet"), "includeInf");
    includeMiniSetup = makeButton<QCheckBox>(tr("Include Mini Se&tup"), "includeMiniSetup");

    auto* kind = new QGroupBox(tr("Package Type"));
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(cabFile);
    kindLayout->addWidget(cabSelfExtracting);
    kindLayout->addWidget(selfExtractingWizard);

    auto* size = new QGroupBox(tr("Cabinet Size"));
    auto* sizeLayout = new QGridLayout(size);
    auto* sizeLabel = new QLabel(tr("Maximum Size per Cabinet:"));
    sizeLabel->setBuddy(maximumSize);
    sizeLayout->addWidget(singleFile, 0, 0, 1, 2);
    sizeLayout->addWidget(sizeLabel, 1, 0);
    sizeLayout->addWidget(maximumSize, 1, 1);

    auto* options = new QGroupBox(tr("Options"));
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(useCompression, 0, 0);
    optionsLayout->addWidget(addSignature, 1, 0);
    optionsLayout->addWidget(scanGuid, 2, 0);
    optionsLayout->addWidget(createInf, 0, 1);
    optionsLayout->addWidget(includeInf, 1, 1);
    optionsLayout->addWidget(includeMiniSetup, 2, 1);
    auto* methodLabel = new QLabel(tr("Compression &method:"));
    methodLabel->setBuddy(compressionMethod);
    auto* methodRow = new QHBoxLayout;
    methodRow->addWidget(methodLabel);
    methodRow->addWidget(compressionMethod);
    methodRow->addStretch();
    optionsLayout->addLayout(methodRow, 3, 0, 1, 2);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(kind, 0, 0);
    layout->addWidget(size, 0, 1);
    layout->addWidget(options, 1, 0, 1, 2);

    // Which kind clicks re-run the rules is the page's choice: the property
    // sheet's Type tab leaves them alone for Cab File and Cab Self Extracting.
    connect(createInf, &QAbstractButton::clicked, this, &TypeForm::applyEnablingRules);
    connect(singleFile, &QAbstractButton::clicked, this, &TypeForm::enableSizeBySingleFile);
    connect(useCompression, &QAbstractButton::toggled, this, &TypeForm::enableMethodByCompression);
}

void TypeForm::load(const CCabObj& p) {
    setFlag(cabFile, p.m_bCab);
    setFlag(cabSelfExtracting, p.m_bCabSelf);
    setFlag(selfExtractingWizard, p.m_bCabWiz);
    setFlag(singleFile, p.m_bCapSingle);
    setFlag(useCompression, p.m_bCompression);
    const CompressionMethod method = compressionMethodOf(p);
    compressionMethod->setCurrentIndex(compressionMethod->findData(method.lzx ? method.windowBits : 0u));
    enableMethodByCompression();
    setFlag(addSignature, p.m_bSignature);
    setFlag(scanGuid, p.m_bGuid);
    setFlag(createInf, p.m_bCreateInf);
    setFlag(includeInf, p.m_bIncludeInf);
    setFlag(includeMiniSetup, p.m_bMiniSetup);
    showMaximumSize(p.m_nCabSize);
    applyEnablingRules();
}

void TypeForm::showMaximumSize(int32_t size) {
    const QString text = QString::fromStdString(groupDigits(size < 0 ? 0 : uint64_t(size)));
    if (maximumSize->findText(text) < 0) maximumSize->addItem(text);
    maximumSize->setCurrentIndex(maximumSize->findText(text));
}

int32_t TypeForm::maximumSizeValue() const { return groupedNumberValue(maximumSize->currentText().toStdString()); }

void TypeForm::store(CCabObj& p) const {
    p.m_bCab = flagOf(cabFile);
    p.m_bCabSelf = flagOf(cabSelfExtracting);
    p.m_bCabWiz = flagOf(selfExtractingWizard);
    p.m_bCapSingle = flagOf(singleFile);
    p.m_bCompression = flagOf(useCompression);
    const unsigned window = compressionMethod->currentData().toUInt();
    setCompressionMethod(p, {window != 0, window != 0 ? window : kLzxLargestWindow});
    p.m_bSignature = flagOf(addSignature);
    p.m_bGuid = flagOf(scanGuid);
    p.m_bCreateInf = flagOf(createInf);
    p.m_bIncludeInf = flagOf(includeInf);
    p.m_bMiniSetup = selfExtractingWizard->isChecked() ? flagOf(includeMiniSetup) : 0;
    p.m_nCabSize = maximumSizeValue();
}

void TypeForm::applyEnablingRules() {
    const bool cabinet = cabFile->isChecked();
    const bool wizard = selfExtractingWizard->isChecked();
    includeMiniSetup->setEnabled(wizard);
    singleFile->setEnabled(!wizard);
    maximumSize->setEnabled(!wizard && !singleFile->isChecked());
    // Only a plain cabinet is scanned for GUIDs or described by an INF file.
    for (QCheckBox* box : {scanGuid, createInf}) {
        if (!cabinet) box->setChecked(false);
        box->setEnabled(cabinet);
    }
    includeInf->setEnabled(cabinet && createInf->isChecked());
}

void TypeForm::enableSizeBySingleFile() { maximumSize->setEnabled(!singleFile->isChecked()); }

void TypeForm::enableMethodByCompression() { compressionMethod->setEnabled(useCompression->isChecked()); }

}  // namespace pcn::gui
