#include "editing/gui/wizard/CCabWizPage2.h"

#include <QRadioButton>
#include <QVBoxLayout>

#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/RememberedValues.h"
#include "editing/gui/forms/TypeForm.h"
#include "editing/gui/wizard/CCabWizSheet.h"
#include "model/CCabObj.h"
#include "model/CompressionChoice.h"
#include "platform/Numbers.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

namespace {

// The remembered options, by their names in Settings\Package.
struct RememberedFlag {
    const char* name;
    int32_t CCabObj::*member;
};
constexpr RememberedFlag kRemembered[] = {
    {"Cab", &CCabObj::m_bCab},
    {"CabSelf", &CCabObj::m_bCabSelf},
    {"CabWiz", &CCabObj::m_bCabWiz},
    {"Compression", &CCabObj::m_bCompression},
    {"Signature", &CCabObj::m_bSignature},
    {"GUID", &CCabObj::m_bGuid},
    {"MiniSetup", &CCabObj::m_bMiniSetup},
    {"CapSingle", &CCabObj::m_bCapSingle},
    {"CreateInf", &CCabObj::m_bCreateInf},
    {"IncludeInf", &CCabObj::m_bIncludeInf},
};
constexpr const char* kCabSize = "CabSize";
// The LZX window of the last package made, 0 for MSZIP.
constexpr const char* kLzxWindow = "LZX Window";

}  // namespace

CCabWizPage2::CCabWizPage2(CCabWizSheet& sheet) : CCabWizPage(sheet, tr("Package Type")) {
    setObjectName("CCabWizPage2");
    form_ = new TypeForm(this);
    for (QRadioButton* kind : {form_->cabFile, form_->cabSelfExtracting, form_->selfExtractingWizard})
        connect(kind, &QAbstractButton::clicked, form_, &TypeForm::applyEnablingRules);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(form_);
    layout->addStretch();
}

void CCabWizPage2::OnInitDialog() {
    CCabObj& p = package();
    for (const RememberedFlag& flag : kRemembered) RecallInt(context().settings, kPackageSection, flag.name, p.*flag.member);
    p.m_nCabSize = groupedNumberValue(context().settings.readString(kPackageSection, kCabSize, "1440000"));
    const int window = context().settings.readInt(kPackageSection, kLzxWindow, 0);
    setCompressionMethod(p, {window != 0, unsigned(window)});
}

void CCabWizPage2::OnSetActive() {
    sheet().setWizardButtons(CCabWizSheet::kWizBack | CCabWizSheet::kWizNext);
    form_->load(package());
}

bool CCabWizPage2::OnWizardNext() {
    CCabObj& p = package();
    form_->store(p);
    SettingsStore& settings = context().settings;
    for (const RememberedFlag& flag : kRemembered) settings.writeInt(kPackageSection, flag.name, p.*flag.member);
    settings.writeString(kPackageSection, kCabSize, std::to_string(p.m_nCabSize));
    const CompressionMethod method = compressionMethodOf(p);
    settings.writeInt(kPackageSection, kLzxWindow, method.lzx ? int(method.windowBits) : 0);
    return true;
}

}  // namespace pcn::gui
