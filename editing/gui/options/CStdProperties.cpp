#include "editing/gui/options/CStdProperties.h"

#include <cstring>

#include "distribution/UserInterface.h"
#include "editing/gui/EditingContext.h"

#include "editing/gui/options/CStdPropertyPage0.h"
#include "editing/gui/options/CStdPropertyPage1.h"
#include "editing/gui/options/CStdPropertyPage2.h"
#include "editing/gui/options/CStdPropertyPage3.h"
#include "editing/gui/options/CStdPropertyPage4.h"
#include "platform/gui/HelpTopicName.h"

namespace pcn::gui {

CStdProperties::CStdProperties(EditingContext& context, QWidget* parent)
    : CPropertySheet(kOptionsCaption, parent), context_(context) {
    setObjectName("CStdProperties");
    setHelpTopic(this, "view_options.htm");
    addPage(new CStdPropertyPage0(*this));
    addPage(new CStdPropertyPage2(*this));
    addPage(new CStdPropertyPage3(*this));
    addPage(new CStdPropertyPage1(*this));
    addPage(new CStdPropertyPage4(*this));
}

bool ReportUnsavedOptions(EditingContext& context, bool written) {
    if (!written) {
        const int error = context.settings.lastError();
        context.ui.errorDetails("Unable to save the options.",
                                "Writing " + context.settings.file().string() + " failed: " +
                                    (error ? std::strerror(error) : "unknown error"));
    }
    return written;
}

bool RunOptionsSheet(EditingContext& context, QWidget* parent) {
    CStdProperties sheet(context, parent);
    return sheet.exec() == QDialog::Accepted;
}

}  // namespace pcn::gui
