#pragma once
// The commands of the main window's menus, toolbar and accelerators: their
// numbers, texts, status-bar prompts and toolbar images.

#include <vector>

namespace pcn::gui {

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_NEW_PACKAGE = 32773,
    ID_FILE_OPEN_PACKAGE = 32802,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_SAVE_PACKAGE = 32800,
    ID_FILE_SAVE_PACKAGE_AS = 32801,
    ID_FILE_NEW_WEB_PACKAGE = 32803,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_EXPORT = 32804,
    ID_FILE_MRU_FILE1 = 57616,
    ID_APP_EXIT = 57665,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_CUT = 57635,
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REMOVE = 32807,
    ID_PROJECT_REBUILD = 32784,
    ID_PROJECT_SEND_FTP = 32779,
    ID_FILE_SEND_MAIL = 57612,
    ID_PROJECT_PROPERTIES = 32780,
    ID_PROJECT_OPEN_OUTPUT = 32808,
    ID_PROJECT_CONTENTS = 32810,
    ID_SIGN_FILE = 32794,
    ID_CHECK_TRUST = 32796,
    ID_COMPONENT_REGISTER = 32805,
    ID_COMPONENT_UNREGISTER = 32777,
    ID_COMPONENT_CREATE_LPK = 32778,
    ID_COMPONENT_HTML_TEMPLATE = 32806,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_SPLIT = 57653,
    ID_VIEW_EXPAND_ALL = 32775,
    ID_VIEW_COLLAPSE = 32776,
    ID_VIEW_OPTIONS = 32793,
    ID_HELP_FINDER = 57667,
    ID_HELP_TARNWICK = 32790,
    ID_APP_ABOUT = 57664,
    ID_HELP = 57669,
    ID_CONTEXT_HELP = 57670,
};

inline constexpr int kRecentFileCount = 4;

struct CommandInfo {
    int id;
    const char* objectName;  // "action" + name, for tests and for wiring
    const char* text;        // menu text, hot key after "\t"
    const char* prompt;      // status-bar help
    const char* icon;        // commandIcon() name, or nullptr
};

const std::vector<CommandInfo>& commandTable();
const CommandInfo* findCommand(int id);

}  // namespace pcn::gui
