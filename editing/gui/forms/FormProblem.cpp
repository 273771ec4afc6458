#include "editing/gui/forms/FormProblem.h"

#include "editing/gui/EditingContext.h"

namespace pcn::gui {

FormProblem UnreadableSourceFolder(const QString& folder, QWidget* focus) {
    return FormProblem{QObject::tr("Unable to read the source folder:\n\n%1").arg(folder), focus};
}

bool ShowProblem(EditingContext& context, const FormCheck& problem) {
    if (!problem) return false;
    context.ui.message(problem->message.toStdString(), kMessageCaption, problem->icon, Buttons::Ok, Answer::Ok);
    if (problem->focus) problem->focus->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace pcn::gui
