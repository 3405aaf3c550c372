#include "shell/Dialogs.h"

#include "core/SettingsChoice.h"
#include "res/resource.h"
#include "shell/Settings.h"
#include "win32/FailureTrace.h"
#include "win32/WindowSearch.h"

namespace {

constexpr int EntryTextSize = 64;
constexpr char SaveFailedText[] = "Can't save the settings.";

// The context that the dialog was made with, kept in its window.
SettingsDialogContext* ContextOf(HWND dialog) {
    return reinterpret_cast<SettingsDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

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
    context.system.messageBox(nullptr, SaveFailedText, ProgramName, MB_OK);
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
            core::ChooseUnreadableEntry(state, position);
            return;
        }
        SendDlgItemMessageA(dialog, IDC_APPLICATION_LIST, CB_GETLBTEXT,
                            static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text));
    }
    if (core::ChooseDefault(state, position, text))
        ReportIfNotStored(context, SaveDefaultApp(state.settings));
}

void ConfirmMediaKeys(HWND dialog, const SettingsDialogContext& context) {
    const bool checked = IsDlgButtonChecked(dialog, IDC_MEDIA_KEYS) == BST_CHECKED;
    // Stored only when changed.
    if (core::ChooseMediaKeys(context.state, checked))
        ReportIfNotStored(context, SaveMediaKeys(context.state.settings));
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

void RunAboutDialog(HINSTANCE instance, HWND owner) {
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0) == -1)
        TraceFailure("creating the About dialog", GetLastError());
}

void RunSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context) {
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc,
                        reinterpret_cast<LPARAM>(&context)) == -1)
        TraceFailure("creating the Settings dialog", GetLastError());
}

HWND CreateSettingsDialog(HINSTANCE instance, HWND owner, SettingsDialogContext& context) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc,
                              reinterpret_cast<LPARAM>(&context));
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        PlaceDialog(dialog);
        if (const SettingsDialogContext* context = ContextOf(dialog)) {
            FillApplicationList(dialog, context->state);
            CheckDlgButton(dialog, IDC_MEDIA_KEYS,
                           context->state.settings.mediaKeys ? BST_CHECKED : BST_UNCHECKED);
        }
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            if (const SettingsDialogContext* context = ContextOf(dialog)) {
                ConfirmApplicationChoice(dialog, *context);
                ConfirmMediaKeys(dialog, *context);
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
