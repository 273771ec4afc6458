#include "app/gui/PackageItem.h"

#include "app/gui/PcnImages.h"
#include "model/CCabObj.h"

namespace pcn::gui {

QString packageKindCaption(const CCabObj& package) {
    if (package.m_bNewPackage) return package.m_nKind == kKindWebInf ? " (Web Inf Package)" : " (New Project)";
    switch (package.m_nKind) {
        case kKindCabinet: return " (Cabinet)";
        case kKindSelfExtractingCabinet: return " (Self Extracting Cabinet)";
        case kKindSelfExtractingWizard: return " (Self Extracting Wizard)";
        case kKindWebInf: return " (Web Inf Package)";
        default: return {};
    }
}

QString packageItemText(const CCabObj& package) {
    return QString::fromStdString(package.m_strProduct) + packageKindCaption(package);
}

int packageImage(const CCabObj& package) {
    if (package.m_bRebuild) return package.m_nKind == kKindWebInf ? kImageWebPackage : kImageRebuild;
    switch (package.m_nKind) {
        case kKindSelfExtractingWizard: return kImageWizardPackage;
        case kKindWebInf: return kImageWebPackage;
        default: return kImageCabinet;
    }
}

}  // namespace pcn::gui
