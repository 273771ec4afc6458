#include "editing/gui/forms/FormProblem.h"

#include <QComboBox>
#include <QLineEdit>

#include "building/ConfigFile.h"
#include "editing/gui/EditingContext.h"

namespace pcn::gui {

FormProblem UnreadableSourceFolder(const QString& folder, QWidget* focus) {
    return FormProblem{QObject::tr("Unable to read the source folder:\n\n%1").arg(folder), focus};
}

FormCheck RefuseLineBreaks(std::initializer_list<QWidget*> fields) {
    for (QWidget* field : fields) {
        QString text;
        if (auto* edit = qobject_cast<QLineEdit*>(field)) text = edit->text();
        else if (auto* box = qobject_cast<QComboBox*>(field)) text = box->currentText();
        if (HoldsLineBreak(text.toStdString())) return FormProblem{QString::fromUtf8(kLineBreakRefused), field};
    }
    return std::nullopt;
}

bool ShowProblem(EditingContext& context, const FormCheck& problem) {
    if (!problem) return false;
    context.ui.message(problem->message.toStdString(), kMessageCaption, problem->icon, Buttons::Ok, Answer::Ok);
    if (problem->focus) problem->focus->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace pcn::gui
