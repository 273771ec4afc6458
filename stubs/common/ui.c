#include "ui.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wchar.h>

#include "resource.h"

static BOOL isSwitch(const WCHAR *arg, WCHAR letter) {
    return (arg[0] == L'/' || arg[0] == L'-') && towupper(arg[1]) == letter;
}

static void takeSwitchValue(const WCHAR *arg, WCHAR *out, size_t cap) {
    const WCHAR *value = arg + 2;
    if (*value == L':') ++value;
    WideCopy(out, cap, value);
}

void ParseStubArgs(StubArgs *args, BOOL plainArgumentAllowed) {
    memset(args, 0, sizeof *args);
    int count = 0;
    WCHAR **argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return;
    for (int i = 1; i < count; ++i) {
        const WCHAR *arg = argv[i];
        if (isSwitch(arg, L'Q') && arg[2] == 0) {
            args->quiet = TRUE;
        } else if (isSwitch(arg, L'?') && arg[2] == 0) {
            args->help = TRUE;
        } else if (isSwitch(arg, L'T') && arg[2] == L':') {
            takeSwitchValue(arg, args->target, STUB_PATH_CAP);
        } else if (isSwitch(arg, L'P') && arg[2] == L':') {
            WCHAR value[260];
            takeSwitchValue(arg, value, 260);
            char *bytes = Utf8FromWide(value);
            if (strlen(bytes) < sizeof args->password) {
                strcpy(args->password, bytes);
                args->hasPassword = TRUE;
            } else {
                WideCopy(args->bad, STUB_PATH_CAP, L"/P: (too long)");
            }
            StubFree(bytes);
        } else if (plainArgumentAllowed && arg[0] != L'/' && !args->first[0]) {
            WideCopy(args->first, STUB_PATH_CAP, arg);
        } else if (!args->bad[0]) {
            WideCopy(args->bad, STUB_PATH_CAP, arg);
        }
    }
    LocalFree(argv);
}

void StubReport(BOOL quiet, const WCHAR *title, const WCHAR *text, UINT icon) {
    if (!quiet) {
        MessageBoxW(NULL, text, title, MB_OK | icon | MB_SETFOREGROUND);
        return;
    }
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == NULL || err == INVALID_HANDLE_VALUE) return;
    char *bytes = Utf8FromWide(text);
    DWORD written = 0;
    WriteFile(err, bytes, (DWORD)strlen(bytes), &written, NULL);
    WriteFile(err, "\n", 1, &written, NULL);
    StubFree(bytes);
}

int ReportUsage(const StubArgs *args, const WCHAR *title, const WCHAR *usage) {
    if (args->help) {
        StubReport(args->quiet, title, usage, MB_ICONINFORMATION);
        return STUB_EXIT_OK;
    }
    size_t cap = wcslen(usage) + STUB_PATH_CAP + 64;
    WCHAR *text = StubAlloc(cap * sizeof(WCHAR));
    if (text) WideFormat(text, cap, L"Unknown argument: %ls\r\n\r\n%ls", args->bad, usage);
    StubReport(args->quiet, title, text ? text : usage, MB_ICONWARNING);
    StubFree(text);
    return STUB_EXIT_USAGE;
}

typedef struct PageData {
    const WCHAR *title, *heading, *body, *acceptLabel, *declineLabel;
    WCHAR *folder;
    size_t folderCap;
    BOOL editable;
    char *password;
    size_t passwordCap;
} PageData;

static void browseForFolder(HWND dialog) {
    WCHAR chosen[MAX_PATH];
    BROWSEINFOW info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = dialog;
    info.pszDisplayName = chosen;
    info.lpszTitle = L"Choose the destination folder:";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) return;
    if (SHGetPathFromIDListW(item, chosen)) SetDlgItemTextW(dialog, IDC_FOLDER, chosen);
    CoTaskMemFree(item);
}

static void initPage(HWND dialog, PageData *page) {
    SetWindowTextW(dialog, page->title);
    if (page->heading) SetDlgItemTextW(dialog, IDC_HEADING, page->heading);
    if (page->body) SetDlgItemTextW(dialog, IDC_BODY, page->body);
    if (page->acceptLabel) SetDlgItemTextW(dialog, IDOK, page->acceptLabel);
    if (page->declineLabel) SetDlgItemTextW(dialog, IDCANCEL, page->declineLabel);
    if (page->folder) {
        SetDlgItemTextW(dialog, IDC_FOLDER, page->folder);
        SendDlgItemMessageW(dialog, IDC_FOLDER, EM_SETREADONLY, !page->editable, 0);
        EnableWindow(GetDlgItem(dialog, IDC_BROWSE), page->editable);
    }
    if (page->password) SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, 249, 0);
}

static BOOL acceptPage(HWND dialog, PageData *page) {
    if (page->folder) {
        WCHAR folder[STUB_PATH_CAP];
        GetDlgItemTextW(dialog, IDC_FOLDER, folder, STUB_PATH_CAP);
        if (!folder[0]) {
            MessageBoxW(dialog, L"Please enter a destination folder.", page->title, MB_OK | MB_ICONWARNING);
            SetFocus(GetDlgItem(dialog, IDC_FOLDER));
            return FALSE;
        }
        WideCopy(page->folder, page->folderCap, folder);
    }
    if (page->password) {
        WCHAR typed[260];
        GetDlgItemTextW(dialog, IDC_PASSWORD, typed, 260);
        char *bytes = Utf8FromWide(typed);
        if (strlen(bytes) < page->passwordCap) strcpy(page->password, bytes);
        StubFree(bytes);
    }
    return TRUE;
}

static INT_PTR CALLBACK pageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PageData *page = (PageData *)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            initPage(dialog, (PageData *)lParam);
            SetForegroundWindow(dialog);
            if (!((PageData *)lParam)->body) return TRUE;
            /* Focus on the edit control would select the whole text. */
            SetFocus(GetDlgItem(dialog, IDOK));
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    if (acceptPage(dialog, page)) EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
                case IDC_BROWSE: browseForFolder(dialog); return TRUE;
            }
            break;
    }
    return FALSE;
}

static BOOL runPage(int id, PageData *page) {
    return DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(id), NULL, pageProc, (LPARAM)page) == IDOK;
}

BOOL PageText(const WCHAR *title, const WCHAR *heading, const WCHAR *body, const WCHAR *acceptLabel,
              const WCHAR *declineLabel) {
    PageData page;
    memset(&page, 0, sizeof page);
    page.title = title;
    page.heading = heading;
    page.body = body;
    page.acceptLabel = acceptLabel;
    page.declineLabel = declineLabel;
    return runPage(IDD_TEXT, &page);
}

BOOL PagePassword(const WCHAR *title, char *password, size_t cap) {
    PageData page;
    memset(&page, 0, sizeof page);
    page.title = title;
    page.password = password;
    page.passwordCap = cap;
    password[0] = 0;
    return runPage(IDD_PASSWORD, &page);
}

BOOL PageFolder(const WCHAR *title, const WCHAR *heading, WCHAR *folder, size_t cap, BOOL editable) {
    PageData page;
    memset(&page, 0, sizeof page);
    page.title = title;
    page.heading = heading;
    page.folder = folder;
    page.folderCap = cap;
    page.editable = editable;
    return runPage(IDD_FOLDER, &page);
}

static INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        StubProgress *progress = (StubProgress *)GetWindowLongPtrW(dialog, DWLP_USER);
        progress->cancelled = TRUE;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
        return TRUE;
    }
    return FALSE;
}

void ProgressOpen(StubProgress *progress, BOOL quiet, const WCHAR *title) {
    memset(progress, 0, sizeof *progress);
    if (quiet) return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    progress->window = CreateDialogParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_PROGRESS), NULL,
                                          progressProc, (LPARAM)progress);
    if (progress->window) {
        SetWindowTextW(progress->window, title);
        SendDlgItemMessageW(progress->window, IDC_PROGRESS, PBM_SETRANGE32, 0, 100);
    }
}

BOOL ProgressUpdate(StubProgress *progress, const WCHAR *status, int percent) {
    if (!progress->window) return TRUE;
    if (status) SetDlgItemTextW(progress->window, IDC_STATUS, status);
    if (percent >= 0) SendDlgItemMessageW(progress->window, IDC_PROGRESS, PBM_SETPOS, (WPARAM)percent, 0);
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(progress->window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !progress->cancelled;
}

void ProgressClose(StubProgress *progress) {
    if (progress->window) DestroyWindow(progress->window);
    progress->window = NULL;
}
