#include "app/gui/Commands.h"

namespace pcn::gui {

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = {
        {ID_FILE_NEW, "actionNewProject", "&New Project...", "Create a new project", "newProject"},
        {ID_FILE_OPEN, "actionOpenProject", "&Open Project...\tCtrl+O", "Open an existing project", nullptr},
        {ID_FILE_NEW_PACKAGE, "actionNewPackage", "&New Package...\tCtrl+N",
         "Define a new cabinet, self-extracting or wizard package", "newPackage"},
        {ID_FILE_OPEN_PACKAGE, "actionOpenPackage", "&Open Package...", "Add an existing package file to the project",
         nullptr},
        {ID_FILE_SAVE, "actionSaveProject", "&Save Project\tCtrl+S", "Save the project and all its packages",
         "saveProject"},
        {ID_FILE_SAVE_AS, "actionSaveProjectAs", "Save Project &As...", "Save the project with a new name", nullptr},
        {ID_FILE_SAVE_PACKAGE, "actionSavePackage", "&Save Package", "Save the selected package to its file",
         "savePackage"},
        {ID_FILE_SAVE_PACKAGE_AS, "actionSavePackageAs", "Save Package &As...",
         "Save the selected package to a new file", nullptr},
        {ID_FILE_NEW_WEB_PACKAGE, "actionNewWebPackage", "New &Web Package...",
         "Define a new web INF package for a component", "newWebPackage"},
        {ID_FILE_PRINT, "actionPrint", "&Print...\tCtrl+P", "Print a report of the selected package", "print"},
        {ID_FILE_PRINT_PREVIEW, "actionPrintPreview", "Print Pre&view", "Show the package report as it will print",
         "printPreview"},
        {ID_FILE_PRINT_SETUP, "actionPrintSetup", "P&rint Setup...", "Change the printer and printing options",
         nullptr},
        {ID_FILE_EXPORT, "actionExport", "&Export", "Copy package files or the whole project to another folder",
         nullptr},
        {ID_APP_EXIT, "actionExit", "E&xit\tCtrl+Q", "Quit the program; prompts to save the project", nullptr},
        {ID_EDIT_UNDO, "actionUndo", "&Undo\tCtrl+Z", "Put the last cut package back into the project", nullptr},
        {ID_EDIT_CUT, "actionCut", "Cu&t\tCtrl+X", "Remove the selected package and put it on the Clipboard", "cut"},
        {ID_EDIT_COPY, "actionCopy", "&Copy\tCtrl+C", "Copy the selected package to the Clipboard", "copy"},
        {ID_EDIT_PASTE, "actionPaste", "&Paste\tCtrl+V", "Add the package on the Clipboard to the project", "paste"},
        {ID_EDIT_REMOVE, "actionRemove", "&Remove Package",
         "Remove the selected package from the project (Undo puts it back)", nullptr},
        {ID_PROJECT_REBUILD, "actionRebuild", "&Rebuild Package\tF5", "Build the output files of the selected package",
         "rebuild"},
        {ID_PROJECT_SEND_FTP, "actionSendFtp", "&Send Project Files (FTP)...",
         "Send the output files of the selected package to an FTP site", "sendFtp"},
        {ID_FILE_SEND_MAIL, "actionSendMail", "S&end Project Files (Mail)...",
         "Send the output files of the selected package by mail", "sendMail"},
        {ID_PROJECT_OPEN_OUTPUT, "actionOpenOutput", "Open &Output Folder",
         "Show the built files of the selected package in the file manager", nullptr},
        {ID_PROJECT_PROPERTIES, "actionProperties", "&Properties...", "Change the settings of the selected package",
         "properties"},
        {ID_PROJECT_CONTENTS, "actionContents", "Co&ntents...",
         "List the files of the built package from its cabinet and verify them", nullptr},
        {ID_SIGN_FILE, "actionSignFile", "Sign File...", "Sign a file with your software publishing certificate",
         "signFile"},
        {ID_CHECK_TRUST, "actionCheckTrust", "Check Trust...", "Check the digital signature of a signed file",
         "checkTrust"},
        {ID_COMPONENT_REGISTER, "actionRegister", "&Register...", "Register a component on this machine", nullptr},
        {ID_COMPONENT_UNREGISTER, "actionUnregister", "&Unregister...", "Unregister a component from this machine",
         nullptr},
        {ID_COMPONENT_CREATE_LPK, "actionCreateLpk", "Create LPK...", "Create a licence package for licensed controls",
         nullptr},
        {ID_COMPONENT_HTML_TEMPLATE, "actionHtmlTemplate", "Html Template...",
         "Write an HTML page that embeds a component", nullptr},
        {ID_VIEW_TOOLBAR, "actionToolbar", "&Toolbar", "Show or hide the toolbar", nullptr},
        {ID_VIEW_STATUS_BAR, "actionStatusBar", "&Status Bar", "Show or hide the status bar", nullptr},
        {ID_WINDOW_SPLIT, "actionSplit", "S&plit", "Move the divider between the package list and the tree", nullptr},
        {ID_VIEW_EXPAND_ALL, "actionExpandAll", "&Expand All", "Expand every heading of the package tree",
         "expandAll"},
        {ID_VIEW_COLLAPSE, "actionCollapse", "&Collapse", "Collapse every heading of the package tree", "collapse"},
        {ID_VIEW_OPTIONS, "actionOptions", "&Options...", "Change the program's options", nullptr},
        {ID_HELP_FINDER, "actionHelpTopics", "&Help Topics", "List the help topics", nullptr},
        {ID_HELP_TARNWICK, "actionTarnwick", "&Tarnwick Development", "Visit the Tarnwick Development web site",
         nullptr},
        {ID_APP_ABOUT, "actionAbout", "&About Parcelon...", "Show the program's name, version and copyright", "about"},
        {ID_HELP, "actionHelp", "Help", "Show help for the program", nullptr},
        {ID_CONTEXT_HELP, "actionContextHelp", "Help on the current item", "Show help for the program",
         "contextHelp"},
    };
    return table;
}

const CommandInfo* findCommand(int id) {
    for (const CommandInfo& info : commandTable())
        if (info.id == id) return &info;
    return nullptr;
}

}  // namespace pcn::gui
