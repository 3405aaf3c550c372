#include "shell/Dialogs.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "apps/TvApplication.h"
#include "res/resource.h"
#include "shell/Settings.h"

namespace {

struct Placement {
    int screenWidth;
    int x;
    int y;
};

constexpr Placement Placements[] = {
    {640, 160, 200}, {800, 280, 250}, {1024, 350, 300},
    {1152, 420, 300}, {1280, 420, 300}, {1600, 580, 340},
};

struct ListEntry {
    const char* text;
    const TvApplication* application;
    int selector;
};

const ListEntry ListEntries[] = {
    {"Quillmarsh", &QuillmarshApp, SelectQuillmarsh},
    {"SnapStream", &BeyondTvApp, SelectBeyondTv},
    {"WinDVR 6", &WinDvrApp, SelectWinDvr},
};

constexpr int EntryTextSize = 64;

void FillApplicationList(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_RESETCONTENT, 0, 0);
    bool matched = false;
    int position = 0;
    for (const ListEntry& entry : ListEntries) {
        if (!entry.application->IsInstalled()) continue;
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.text));
        if (entry.selector == DefaultAppSelector) {
            SettingsComboIndex = position;
            matched = true;
        }
        ++position;
    }
    if (!matched && SettingsComboIndex == -1) SettingsComboIndex = 0;
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(SettingsComboIndex), 0);
}

void ConfirmApplicationChoice(HWND dialog) {
    SettingsComboIndex = static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETCURSEL, 0, 0));
    if (SettingsComboIndex < 0) return;
    const LRESULT length = SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXTLEN,
                                               static_cast<WPARAM>(SettingsComboIndex), 0);
    if (length < 0 || length >= EntryTextSize) return;
    char text[EntryTextSize] = {};
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXT,
                        static_cast<WPARAM>(SettingsComboIndex), reinterpret_cast<LPARAM>(text));
    for (const ListEntry& entry : ListEntries) {
        if (std::strcmp(text, entry.text) != 0) continue;
        if (entry.selector != DefaultAppSelector) {
            DefaultAppSelector = entry.selector;
            SaveDefaultApp();
        }
        return;
    }
}

}  // namespace

void PlaceDialog(HWND dialog) { PlaceDialogForWidth(dialog, GetSystemMetrics(SM_CXFULLSCREEN)); }

void PlaceDialogForWidth(HWND dialog, int width) {
    const Placement* placement =
        std::find_if(std::begin(Placements), std::end(Placements),
                     [width](const Placement& p) { return p.screenWidth == width; });
    if (placement != std::end(Placements))
        SetWindowPos(dialog, HWND_TOPMOST, placement->x, placement->y, 0, 0, SWP_NOSIZE);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        PlaceDialog(dialog);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        PlaceDialog(dialog);
        FillApplicationList(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            ConfirmApplicationChoice(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}
