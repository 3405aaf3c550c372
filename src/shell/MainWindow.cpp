// The hidden main window: tray icon, menu commands and display changes.
#include "core/Pointer.h"
#include "pointer/PointerInput.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Program.h"
#include "shell/Tray.h"

#include <dbt.h>

namespace {

constexpr char MissingFilterText[] =
    "Can't find the Marlow WDM Video Capture Filter.\n\nPlease check your hardware or drivers. ";

void EndProgram(Program& program) {
    // A button held by the remote must not stay down.
    core::ReleaseHeldButton(program.state.pointer, program.desktop);
    RemoveTrayIcon(program);
    PostQuitMessage(0);
    program.quitRequested = true;
}

void ReportMissingFilter(Program& program) {
    if (program.missingFilterReported) return;  // a second click while the report is open
    program.missingFilterReported = true;
    program.system.messageBox(nullptr, MissingFilterText, MessageCaption, MB_SETFOREGROUND);
    EndProgram(program);
}

void OnTrayMessage(Program& program, LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            // The record is submitted again unchanged: it puts back a tip or
            // an icon that the shell lost, at the cost of one call per move.
            RefreshTrayIcon(program, NIM_MODIFY);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (program.state.link.everFound) {
                ShowTrayMenu(program);
                // A quit that arrived while the menu was open may have been
                // taken by the menu's own loop: ask again.
                if (program.quitRequested) PostQuitMessage(0);
            } else {
                ReportMissingFilter(program);
            }
            break;
        default:
            break;
    }
}

bool OnCommand(Program& program, WORD command) {
    switch (command) {
        case IDM_ABOUT:
            if (DialogBoxParamA(program.instance, MAKEINTRESOURCEA(IDD_ABOUT), program.window,
                                AboutDialogProc, 0) == -1)
                TraceFailure("creating the About dialog", GetLastError());
            return true;
        case IDM_QUIT_FROM_OUTSIDE:
            EndProgram(program);
            return true;
        case IDM_SETTINGS: {
            SettingsDialogContext context{program.state, program.system};
            RunSettingsDialog(program.instance, program.window, context);
            return true;
        }
            return true;
        case IDM_EXIT:
            EndProgram(program);
            return true;
        default:
            for (const core::Application& application : core::Applications) {
                if (command != application.menuCommand) continue;
                program.remote.SwitchFromMenu(application.selector);
                return true;
            }
            return false;
    }
}

void OnCreate(Program& program, HWND window) {
    program.window = window;
    if (!program.receiver.Open()) program.filterFound = false;
    // A card that comes late, or comes back, is looked for when it arrives.
    *program.deviceNotification.Put() = AskForDeviceInterfaces(window, KSCATEGORY_CAPTURE);
    program.powerNotification.Ask(window);
    const SIZE screen = FullScreenSize();
    core::InitScreenBounds(program.state.pointer, screen.cx, screen.cy);
    AddTrayIcon(program, LoadIconA(program.instance, MAKEINTRESOURCEA(IDI_REMOTE)), TrayTip);
}

void OnPowerBroadcast(Program& program, WPARAM event) {
    switch (event) {
        case PBT_APMSUSPEND:
            program.link.Suspending();
            break;
        case PBT_APMRESUMESUSPEND:
        case PBT_APMRESUMEAUTOMATIC:
            program.link.Resumed();
            break;
        default:
            break;
    }
}

}  // namespace

Program* Program::Of(HWND window) {
    return reinterpret_cast<Program*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Program* program = Program::Of(window);
    if (program == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            OnCreate(*program, window);
            return 0;
        case WM_DESTROY:
            EndProgram(*program);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            program->window = nullptr;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_POWERBROADCAST:
            OnPowerBroadcast(*program, wParam);
            return TRUE;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED)
                program->link.DevicesChanged();
            return TRUE;
        case WM_DISPLAYCHANGE:
            core::UpdateScreenBounds(program->state.pointer, static_cast<uint32_t>(lParam));
            return 0;
        case WM_COMMAND:
            if (OnCommand(*program, LOWORD(wParam))) return 0;
            return DefWindowProcA(window, message, wParam, lParam);
        case TrayCallbackMessage:
            OnTrayMessage(*program, lParam);
            return 0;
        default:
            if (message == program->taskbarCreatedMessage && message != 0) {
                RefreshTrayIcon(*program, NIM_ADD);
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
