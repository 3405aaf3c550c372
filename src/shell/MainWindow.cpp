// The hidden main window: tray icon, menu commands, display changes, and the
// system's reports of power and devices.
#include <windows.h>
#include <dbt.h>  // after <windows.h>

#include "core/Pointer.h"
#include "input/SyntheticInput.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Program.h"
#include "win32/FailureTrace.h"
#include "win32/WindowObject.h"

namespace {

constexpr char MissingFilterText[] =
    "Can't find the Marlow WDM Video Capture Filter.\n\nPlease check your hardware or drivers. ";

}  // namespace

void Program::End(Ending ending) {
    // Only the menu's Exit balances COM's initialisation, when the object
    // goes; every other way out leaves it to the end of the process.
    if (ending != Ending::Exit && !quitRequested_) com_.KeepToProcessEnd();
    // A button held by the remote must not stay down.
    remote_.pointer.ReleaseHeldButton();
    tray_.Remove();
    PostQuitMessage(0);
    quitRequested_ = true;
}

void Program::ReportMissingFilter() {
    if (missingFilterReported_) return;  // a second click while the report is open
    missingFilterReported_ = true;
    system_.messageBox(nullptr, MissingFilterText, ProgramName, MB_SETFOREGROUND);
    End(Ending::Other);
}

void Program::ShowTrayMenu() {
    // The default application's entry, when it is installed.
    const core::Application* application = core::ApplicationFor(state_.settings.defaultSelector);
    if (application != nullptr && !state_.Of(application->id).installed) application = nullptr;
    tray_.ShowMenu(window_, application, application != nullptr && remote_.power.IsRunning(application->id));
}

void Program::OnTrayMessage(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            // The record is submitted again unchanged: it puts back a tip or
            // an icon that the shell lost, at the cost of one call per move.
            tray_.Refresh(NIM_MODIFY);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (remote_.link.EverFound()) {
                ShowTrayMenu();
                // A quit that arrived while the menu was open may have been
                // taken by the menu's own loop: ask again.
                if (quitRequested_) PostQuitMessage(0);
            } else {
                ReportMissingFilter();
            }
            break;
        default:
            break;
    }
}

bool Program::OnCommand(WORD command) {
    switch (command) {
        case IDM_ABOUT:
            RunAboutDialog(instance_, window_);
            return true;
        case IDM_QUIT_FROM_OUTSIDE:
            End(Ending::Other);
            return true;
        case IDM_EXIT:
            End(Ending::Exit);
            return true;
        case IDM_SETTINGS: {
            SettingsDialogContext context{state_, system_, profiles_};
            RunSettingsDialog(instance_, window_, context);
            return true;
        }
        default:
            for (const core::Application& application : core::Applications) {
                if (command != application.menuCommand) continue;
                remote_.power.SwitchFromMenu(application.selector);
                return true;
            }
            return false;
    }
}

void Program::OnCreate(HWND window) {
    window_ = window;
    if (!receiver_.Open()) filterFound_ = false;
    // A card that comes late, or comes back, is looked for when it arrives.
    *deviceNotification_.Put() = AskForDeviceInterfaces(window, KSCATEGORY_CAPTURE);
    powerNotification_.Ask(window);
    const SIZE screen = FullScreenSize();
    remote_.pointer.InitScreenBounds(screen.cx, screen.cy);
    tray_.Add(window, LoadIconA(instance_, MAKEINTRESOURCEA(IDI_REMOTE)), TrayTip);
}

void Program::OnPowerBroadcast(WPARAM event) {
    switch (event) {
        case PBT_APMSUSPEND:
            remote_.link.Suspending();
            break;
        case PBT_APMRESUMESUSPEND:
        case PBT_APMRESUMEAUTOMATIC:
            remote_.link.Resumed();
            break;
        default:
            break;
    }
}

Program* Program::Of(HWND window) {
    return reinterpret_cast<Program*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT Program::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            End(Ending::Other);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wParam);
            return TRUE;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED) remote_.link.DevicesChanged();
            return TRUE;
        case WM_DISPLAYCHANGE:
            remote_.pointer.UpdateScreenBounds(static_cast<uint32_t>(lParam));
            return 0;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam))) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
        case TrayCallbackMessage:
            OnTrayMessage(lParam);
            return 0;
        default:
            if (message == taskbarCreatedMessage_ && message != 0) {
                tray_.Refresh(NIM_ADD);
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Program* program = WindowObject<Program>(window, message, lParam);
    if (program == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return program->OnMessage(window, message, wParam, lParam);
}
