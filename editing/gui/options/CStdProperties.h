#pragma once
// The options sheet: the program-wide settings that other parts read from
// the settings store when they need them (start-up, status-bar clock, the
// extractor of self-extracting cabinets, the signing command templates, the
// build animation). Values are written only when the sheet applies them.

#include "editing/gui/PropertySheet.h"

namespace pcn::gui {

struct EditingContext;

inline constexpr const char* kOptionsCaption = "Options";

// Settings read and written by the options sheet.
namespace options {
inline constexpr const char* kGeneralSection = "Settings\\General";
inline constexpr const char* kReloadWorkspace = "Reload Workspace";
inline constexpr const char* kDisplayDateAndTime = "Display Date and Time";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kAnimation = "Animation";
inline constexpr const char* kBrowseSection = "Settings\\STD";
inline constexpr const char* kLastFile = "Last File";
inline constexpr const char* kLastIndex = "Last Index";
inline constexpr int kExeFilterIndex = 4;  // "Exe Files (*.Exe)" of the licence-file picker
}  // namespace options

class CStdProperties : public CPropertySheet {
    Q_OBJECT
public:
    CStdProperties(EditingContext& context, QWidget* parent = nullptr);

    EditingContext& context() const { return context_; }

private:
    EditingContext& context_;
};

// Tells the user when the settings store could not be written (written
// false) and returns written, so that a page's Apply can keep the sheet open.
bool ReportUnsavedOptions(EditingContext& context, bool written);

// Opens the options sheet modally; true when it ended with OK.
bool RunOptionsSheet(EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
