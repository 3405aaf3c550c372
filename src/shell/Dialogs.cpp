#include "shell/Dialogs.h"

#include "core/SettingsChoice.h"
#include "res/resource.h"
#include "shell/Settings.h"
#include "win32/Win32.h"
#include "win32/WindowSearch.h"

namespace {

constexpr int EntryTextSize = 64;
constexpr char SaveFailedText[] = "Can't save the settings.";

// The context of the Settings dialog that runs: there is at most one.
SettingsDialogContext* RunningSettings = nullptr;

void FillApplicationList(HWND dialog, core::State& state) {
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_RESETCONTENT, 0, 0);
    const core::ApplicationList list = core::ListForSettings(state);
    for (size_t i = 0; i < list.count; ++i)
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(list.texts[i]));
    SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(list.selected), 0);
}

void ReportIfNotStored(const SettingsDialogContext& context, LONG stored) {
    if (stored == ERROR_SUCCESS) return;
    TraceFailure("storing the Settings dialog's choice", static_cast<DWORD>(stored));
    context.system.messageBox(nullptr, SaveFailedText, MessageCaption, MB_OK);
}

void ConfirmApplicationChoice(HWND dialog, const SettingsDialogContext& context) {
    core::State& state = context.state;
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
    if (core::ChooseDefault(state, position, text))
        ReportIfNotStored(context, SaveDefaultApp(state.settings));
}

void ConfirmMediaKeys(HWND dialog, const SettingsDialogContext& context) {
    core::Settings& settings = context.state.settings;
    const bool checked = IsDlgButtonChecked(dialog, IDC_MEDIA_KEYS) == BST_CHECKED;
    if (checked == settings.mediaKeys) return;  // stored only when changed
    settings.mediaKeys = checked;
    ReportIfNotStored(context, SaveMediaKeys(settings));
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

void RunSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context) {
    SettingsDialogContext* outer = RunningSettings;
    RunningSettings = &context;
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0) == -1)
        TraceFailure("creating the Settings dialog", GetLastError());
    RunningSettings = outer;
}

HWND CreateSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context) {
    RunningSettings = &context;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        PlaceDialog(dialog);
        if (RunningSettings != nullptr) {
            FillApplicationList(dialog, RunningSettings->state);
            CheckDlgButton(dialog, IDC_MEDIA_KEYS,
                           RunningSettings->state.settings.mediaKeys ? BST_CHECKED : BST_UNCHECKED);
        }
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            if (RunningSettings != nullptr) {
                ConfirmApplicationChoice(dialog, *RunningSettings);
                ConfirmMediaKeys(dialog, *RunningSettings);
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}
