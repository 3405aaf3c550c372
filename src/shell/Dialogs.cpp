#include "shell/Dialogs.h"

#include <string>

#include "core/SettingsChoice.h"
#include "res/resource.h"
#include "shell/Settings.h"
#include "shell/Words.h"
#include "win32/FailureTrace.h"
#include "win32/StringTable.h"
#include "win32/WideText.h"
#include "win32/WindowSearch.h"

namespace {

constexpr int EntryTextSize = 64;
// ShellExecute's results above this are successes.
constexpr INT_PTR ShellExecuteErrorCeiling = 32;

// The check boxes of the switches: each shows its setting, and a change is
// told to the core's choice and then stored.
struct SwitchBox {
    int control;
    bool core::Settings::*setting;
    bool (*choose)(core::State&, bool);
    const char* value;
};
constexpr SwitchBox SwitchBoxes[] = {
    {IDC_MEDIA_KEYS, &core::Settings::mediaKeys, core::ChooseMediaKeys, MediaKeysValue},
    {IDC_PROFILES, &core::Settings::profiles, core::ChooseProfiles, ProfilesValue},
    {IDC_SHOW_KEYS, &core::Settings::showKeys, core::ChooseShowKeys, ShowKeysValue},
    {IDC_SERVER, &core::Settings::server, core::ChooseServer, ServerValue},
};

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
    ShowTextBox(context.system, nullptr, IDS_SAVE_FAILED, MB_OK);
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

void ConfirmSwitches(HWND dialog, const SettingsDialogContext& context) {
    for (const SwitchBox& box : SwitchBoxes) {
        const bool checked = IsDlgButtonChecked(dialog, box.control) == BST_CHECKED;
        // Stored only when changed.
        if (box.choose(context.state, checked))
            ReportIfNotStored(context, SaveSwitch(box.value, context.state.settings.*box.setting));
    }
}

void ShowProfileStatus(HWND dialog, const SettingsDialogContext& context) {
    SetDlgItemTextA(dialog, IDC_PROFILE_STATUS, ProfileStatusText(context.profiles.Summary()).c_str());
    if (context.server != nullptr)
        SetDlgItemTextA(dialog, IDC_SERVER_STATUS,
                        ServerStatusText(context.server->Listening(), context.server->ClientCount()).c_str());
}

// Opens profiles.ini, made first when it is missing, as the user opens such
// a file; with Notepad where no program is chosen for it.
void EditProfiles(HWND dialog, const SettingsDialogContext& context) {
    const char* path = context.profiles.MakeSureFileExists();
    const std::wstring file = path != nullptr ? ToWide(path) : std::wstring();
    INT_PTR opened = 0;
    if (!file.empty()) {
        opened = reinterpret_cast<INT_PTR>(context.system.shellExecute(
            dialog, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened == SE_ERR_NOASSOC) {
            std::wstring quoted(1, L'"');
            quoted += file;
            quoted += L'"';
            opened = reinterpret_cast<INT_PTR>(context.system.shellExecute(
                dialog, L"open", L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL));
        }
        if (opened <= ShellExecuteErrorCeiling)
            TraceFailure("opening profiles.ini in the text editor", static_cast<DWORD>(opened));
    }
    if (opened <= ShellExecuteErrorCeiling)
        ShowTextBox(context.system, dialog, IDS_EDIT_FAILED, MB_OK);
    ShowProfileStatus(dialog, context);
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
            for (const SwitchBox& box : SwitchBoxes)
                CheckDlgButton(dialog, box.control,
                               context->state.settings.*box.setting ? BST_CHECKED : BST_UNCHECKED);
            ShowProfileStatus(dialog, *context);
        }
        return TRUE;
    }
    const SettingsDialogContext* context = ContextOf(dialog);
    // Back from the editor: the file as it is now.
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && context != nullptr) {
        ShowProfileStatus(dialog, *context);
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            if (context != nullptr) {
                ConfirmApplicationChoice(dialog, *context);
                ConfirmSwitches(dialog, *context);
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDC_EDIT_PROFILES:
            if (context != nullptr) EditProfiles(dialog, *context);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}
