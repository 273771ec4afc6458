#pragma once
// A field check that failed: the message the user sees and the control that
// receives the focus, so the wizard page and the property page refuse the
// same input the same way.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <optional>

#include "distribution/UserInterface.h"

namespace pcn::gui {

struct EditingContext;

// Caption of the editors' plain message boxes: the application's title.
inline constexpr const char* kMessageCaption = "Tarnwick Parcelon";

struct FormProblem {
    QString message;
    QPointer<QWidget> focus;
    Icon icon = Icon::Warning;
};

using FormCheck = std::optional<FormProblem>;

// The source folder could not be listed: no file table comes from it.
FormProblem UnreadableSourceFolder(const QString& folder, QWidget* focus = nullptr);

// The first field whose text holds a line break: the values these fields
// give become single lines of the setup's configuration file. Takes line
// edits and (editable) combo boxes.
FormCheck RefuseLineBreaks(std::initializer_list<QWidget*> fields);

// Shows the message (OK button) and moves the focus to the field at fault.
// True when there was a problem to show.
bool ShowProblem(EditingContext& context, const FormCheck& problem);

}  // namespace pcn::gui
