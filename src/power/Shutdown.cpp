#include "power/Shutdown.h"

#include "res/resource.h"
#include "win32/FailureTrace.h"
#include "win32/Scoped.h"
#include "win32/StringTable.h"
#include "win32/WindowSearch.h"

namespace {

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
    if (!LookupPrivilegeValueA(nullptr, ShutdownPrivilege, &privileges.Privileges[0].Luid))
        TraceFailure("looking up the shutdown privilege", GetLastError());
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // The caller reads GetLastError afterwards: ERROR_NOT_ALL_ASSIGNED means refused.
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
}

// The context that the dialog was made with, kept in its window.
ShutdownDialogContext* ContextOf(HWND dialog) {
    return reinterpret_cast<ShutdownDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void EndShutdownDialog(HWND dialog, INT_PTR result, core::DialogAnswer answer) {
    ShutdownDialogContext* context = ContextOf(dialog);
    if (context != nullptr) context->answer.ShutdownDialogEnded();
    EndDialog(dialog, result);
    if (answer == core::DialogAnswer::Confirm && context != nullptr) ShutDownSystem(context->system);
}

}  // namespace

bool Standby(const SystemCalls& system) {
    ScopedHandle token;
    OpenOwnToken(token);
    EnableShutdownPrivilege(token.Get());
    if (system.setSystemPowerState(TRUE, TRUE)) return true;
    TraceFailure("SetSystemPowerState", GetLastError());
    return false;
}

bool RunShutdownDialog(HINSTANCE instance, HWND owner, ShutdownDialogContext& context) {
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SHUTDOWN), owner,
                                           ShutdownDialogProc, reinterpret_cast<LPARAM>(&context));
    if (result == -1 || result == 0) {
        TraceFailure("creating the shutdown dialog", GetLastError());
        return false;
    }
    return true;
}

INT_PTR CALLBACK ShutdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            BringToFront(dialog);
            if (ShutdownDialogContext* context = ContextOf(dialog))
                context->answer.ShutdownDialogMade(reinterpret_cast<core::WindowRef>(dialog));
            PlaceDialog(dialog);
            return TRUE;
        }
        case WM_KEYDOWN: {
            const core::DialogAnswer answer = core::AnswerForKey(static_cast<unsigned>(wParam));
            if (answer == core::DialogAnswer::None) return FALSE;
            EndShutdownDialog(dialog, static_cast<INT_PTR>(wParam), answer);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndShutdownDialog(dialog, IDOK, core::DialogAnswer::Confirm);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndShutdownDialog(dialog, IDCANCEL, core::DialogAnswer::Cancel);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void ShutDownSystem(const SystemCalls& system) {
    if (IsWindows9x()) {
        system.exitWindowsEx(EWX_SHUTDOWN, 0);
        return;
    }
    ScopedHandle token;
    OpenOwnToken(token);
    if (!token) return;
    EnableShutdownPrivilege(token.Get());
    const DWORD adjusted = GetLastError();
    if (adjusted != ERROR_SUCCESS) {
        TraceFailure("enabling the shutdown privilege", adjusted);
        return;
    }
    if (!system.exitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0)) {
        TraceFailure("ExitWindowsEx", GetLastError());
        ShowTextBox(system, nullptr, IDS_SHUTDOWN_FAILED, MB_OK);
    }
}

bool IsWindows9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
