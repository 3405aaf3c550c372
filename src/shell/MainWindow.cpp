#include "shell/MainWindow.h"

#include <objbase.h>

#include "apps/PowerKey.h"
#include "apps/TvApplication.h"
#include "card/CaptureFilter.h"
#include "pointer/Pointer.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "shell/Tray.h"

bool FilterFound = true;

namespace {

constexpr char MissingFilterText[] =
    "Can't find the Marlow WDM Video Capture Filter.\n\nPlease check your hardware or drivers. ";

// Sent by the shell to every top-level window when the taskbar is re-created.
const UINT TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

bool QuitRequested = false;

void EndProgram(HWND window) {
    ReleaseHeldButton();  // a button held by the remote must not stay down
    RemoveTrayIcon(window, TrayIconId);
    PostQuitMessage(0);
    QuitRequested = true;
}

void ReportMissingFilter(HWND window) {
    static bool reportShown = false;
    if (reportShown) return;  // a second click while the report is open
    reportShown = true;
    MessageBoxA(nullptr, MissingFilterText, MessageCaption, MB_SETFOREGROUND);
    EndProgram(window);
}

void OnTrayMessage(HWND window, LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            // The record is submitted again unchanged: it puts back a tip or
            // an icon that the shell lost, at the cost of one call per move.
            RefreshTrayIcon(NIM_MODIFY);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (FilterFound) {
                ShowTrayMenu(window);
                // A quit that arrived while the menu was open may have been
                // taken by the menu's own loop: ask again.
                if (QuitRequested) PostQuitMessage(0);
            } else {
                ReportMissingFilter(window);
            }
            break;
        default:
            break;
    }
}

void SwitchAndSelect(int selector) {
    SwitchToApplication(selector);
    DefaultAppSelector = selector;
}

bool OnCommand(HWND window, WORD command) {
    switch (command) {
        case IDM_ABOUT:
            DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDialogProc, 0);
            return true;
        case IDM_QUIT_FROM_OUTSIDE:
            EndProgram(window);
            return true;
        case IDM_SETTINGS:
            DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SETTINGS), window,
                            SettingsDialogProc, 0);
            return true;
        case IDM_SWITCH_QUILLMARSH:
            SwitchAndSelect(SelectQuillmarsh);
            return true;
        case IDM_SWITCH_BEYONDTV:
            SwitchAndSelect(SelectBeyondTv);
            return true;
        case IDM_SWITCH_WINDVR:
            SwitchAndSelect(SelectWinDvr);
            return true;
        case IDM_EXIT:
            EndProgram(window);
            CoUninitialize();
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            if (!OpenRemoteReceiver()) FilterFound = false;
            InitScreenBounds();
            AddTrayIcon(window, TrayIconId, LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_REMOTE)),
                        TrayTip);
            return 0;
        case WM_DESTROY:
            EndProgram(window);
            return 0;
        case WM_DISPLAYCHANGE:
            UpdateScreenBounds(wParam, lParam);
            return 0;
        case WM_COMMAND:
            if (OnCommand(window, LOWORD(wParam))) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
        case TrayCallbackMessage:
            OnTrayMessage(window, lParam);
            return 0;
        default:
            if (message == TaskbarCreatedMessage && TaskbarCreatedMessage != 0) {
                RefreshTrayIcon(NIM_ADD);
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
