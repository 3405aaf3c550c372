#include "shell/Dialogs.h"

#include "core/SettingsChoice.h"
#include "res/resource.h"
#include "shell/Settings.h"
#include "win32/Win32.h"
#include "win32/WindowSearch.h"

namespace {

constexpr int EntryTextSize = 64;

// The state of the Settings dialog that runs: there is at most one.
core::State* SettingsState = nullptr;

core::State* StateOf(HWND) { return SettingsState; }

void FillApplicationList(HWND dialog, core::State& state) {
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_RESETCONTENT, 0, 0);
    const core::ApplicationList list = core::ListForSettings(state);
    for (size_t i = 0; i < list.count; ++i)
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(list.texts[i]));
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(list.selected), 0);
}

void ConfirmApplicationChoice(HWND dialog, core::State& state) {
    const int position = static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETCURSEL, 0, 0));
    char text[EntryTextSize] = {};
    if (position >= 0) {
        const LRESULT length = SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXTLEN,
                                                   static_cast<WPARAM>(position), 0);
        if (length < 0 || length >= EntryTextSize) {
            state.settings.listIndex = position;
            return;
        }
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXT,
                            static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
    }
    if (core::ChooseDefault(state, position, text)) SaveDefaultApp(state.settings);
}

}  // namespace

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

void RunSettingsDialog(HINSTANCE instance, HWND owner, core::State& state) {
    core::State* outer = SettingsState;
    SettingsState = &state;
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0) == -1)
        TraceFailure("creating the Settings dialog", GetLastError());
    SettingsState = outer;
}

HWND CreateSettingsDialog(HINSTANCE instance, HWND owner, core::State& state) {
    SettingsState = &state;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        PlaceDialog(dialog);
        if (core::State* state = StateOf(dialog)) FillApplicationList(dialog, *state);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            if (core::State* state = StateOf(dialog)) ConfirmApplicationChoice(dialog, *state);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}
