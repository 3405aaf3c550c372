#include "power/Shutdown.h"

#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Program.h"
#include "win32/Win32.h"

bool ShutdownDialogOpen = false;
HWND ShutdownDialogWindow = nullptr;
void (*ConfirmedShutdown)() = ShutDownSystem;

namespace {

constexpr char ShutdownFailedText[] = "Can't run ExitWindowsEx.";
constexpr char ShutdownPrivilege[] = "SeShutdownPrivilege";

// The program's own access token, to enable the shutdown privilege in;
// empty when it cannot be opened.
void OpenOwnToken(ScopedHandle& token) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) {
        TraceFailure("opening the process token", GetLastError());
        token.Reset();
    }
}

void EnableShutdownPrivilege(HANDLE token) {
    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, ShutdownPrivilege, &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
}

void EndShutdownDialog(HWND dialog, INT_PTR result, bool confirmed) {
    ShutdownDialogOpen = false;
    EndDialog(dialog, result);
    if (confirmed) ConfirmedShutdown();
}

}  // namespace

void Standby() {
    ScopedHandle token;
    OpenOwnToken(token);
    EnableShutdownPrivilege(token.Get());
    SetSystemPowerState(TRUE, TRUE);
}

void ShowShutdownDialog(HWND owner) {
    ShutdownDialogOpen = true;
    // The window of an earlier dialog is gone, and its handle may since name
    // another window: the remote answers only the dialog made now.
    ShutdownDialogWindow = nullptr;
    const INT_PTR result = DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SHUTDOWN), owner,
                                           ShutdownDialogProc, 0);
    // Returned: the dialog is closed, or was never made. Left set, the flag
    // would send every later key to a window that does not exist.
    ShutdownDialogOpen = false;
    if (result == -1 || result == 0) TraceFailure("creating the shutdown dialog", GetLastError());
}

INT_PTR CALLBACK ShutdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetForegroundWindow(dialog);
            SetActiveWindow(dialog);
            ShutdownDialogWindow = dialog;
            PlaceDialog(dialog);
            return TRUE;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                EndShutdownDialog(dialog, VK_RETURN, true);
                return TRUE;
            }
            if (wParam == VK_ESCAPE) {
                EndShutdownDialog(dialog, VK_ESCAPE, false);
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndShutdownDialog(dialog, IDOK, true);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndShutdownDialog(dialog, IDCANCEL, false);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void ShutDownSystem() {
    if (IsWindows9x()) {
        ExitWindowsEx(EWX_SHUTDOWN, 0);
        return;
    }
    ScopedHandle token;
    OpenOwnToken(token);
    if (!token) return;
    EnableShutdownPrivilege(token.Get());
    const bool granted = GetLastError() == ERROR_SUCCESS;
    if (!granted) return;
    if (!ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0)) {
        TraceFailure("ExitWindowsEx", GetLastError());
        MessageBoxA(nullptr, ShutdownFailedText, MessageCaption, MB_OK);
    }
}

bool IsWindows9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
