// The running program: the single-instance check, the one program object,
// the hidden main window (tray icon, menu commands, display changes, and the
// system's reports of power and devices), the message loop, and the three
// timers (the key poll, the exit watch and the link's one-shot wait), whose
// procedures find the program through its window.
#include "shell/Program.h"

#include <windows.h>
#include <dbt.h>  // after <windows.h>
#include <commctrl.h>

#include "apps/InstallInfo.h"
#include "input/SyntheticInput.h"
#include "poll/KeyPoll.h"
#include "res/resource.h"
#include "shell/Dialogs.h"
#include "shell/Settings.h"
#include "win32/FailureTrace.h"
#include "win32/StringTable.h"
#include "win32/WindowObject.h"
#include "win32/WindowSearch.h"

namespace {

// The window of an older remote-control program that this one replaces.
constexpr char RetiredProgramTitle[] = "Rorad Edazod Idozovu";
constexpr char OlderProgramClass[] = "Varnel Remote Control";

void RetireOlderProgram() {
    if (HWND window = FindWindowByIdentity(core::ByTitlePrefix(RetiredProgramTitle))) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        // Posted as well, although no window should be sent it: the older
        // program may ask before it closes, and must be gone all the same.
        PostMessageA(window, WM_DESTROY, 0, 0);
    }
}

bool AnotherInstanceRuns() {
    return FindWindowA(OlderProgramClass, nullptr) != nullptr ||
           FindWindowA(ProgramName, nullptr) != nullptr;
}

}  // namespace

Program::Program(HINSTANCE module) : instance_(module) {
    LoadStringA(instance_, IDS_WINDOW_TITLE, windowTitle_, TitleBufferSize);
    LoadStringA(instance_, IDS_WINDOW_CLASS, windowClass_, TitleBufferSize);
}

Program::~Program() {
    // The window outlives the object when the loop has ended: it must not
    // reach it any more.
    if (window_ != nullptr) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
}

void Program::ReadInstallLocations() {
    for (const core::Application& application : core::Applications) {
        char path[core::InstallPathSize];
        if (ReadInstallLocation(application, path)) remote_.power.InstallLocationFound(application.id, path);
        else remote_.power.InstallLocationMissing(application.id);
    }
}

int Program::RunMessageLoop() const {
    HACCEL accelerators = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void Program::RegisterMainWindowClass(const char* className) {
    if (className != nullptr) lstrcpynA(windowClass_, className, TitleBufferSize);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hIconSm = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = windowClass_;
    if (RegisterClassExA(&windowClass) == 0)
        TraceFailure("registering the main window class", GetLastError());
}

bool Program::ReadSettings() {
    core::Settings settings = state_.settings;
    LoadSettings(settings);
    core::SettingsRead(state_, settings);
    return !settings.alwaysRemoteOff;
}

bool Program::CreateMainWindow() {
    taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
    HWND created = CreateWindowExA(0, windowClass_, windowTitle_, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   0, CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this);
    if (created == nullptr) {
        TraceFailure("creating the main window", GetLastError());
        return false;
    }
    if (!ReadSettings()) {
        // Leave nothing behind: destroying the window takes the icon away.
        DestroyWindow(created);
        return false;
    }
    remote_.router.TellFirst(&keyServer_);
    keyServer_.Apply(created, state_.settings.server);
    ShowWindow(created, SW_HIDE);
    UpdateWindow(created);
    remote_.link.Started(filterFound_);
    return true;
}

int RunProgram(HINSTANCE instance) {
    RetireOlderProgram();
    if (AnotherInstanceRuns()) return 0;
    // Loads common controls 6, which the manifest asks for: the dialogs take
    // their visual styles from it.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&controls)) TraceFailure("initialising the common controls", GetLastError());
    Program program(instance);
    program.ReadInstallLocations();
    program.RegisterMainWindowClass();
    if (!program.CreateMainWindow()) return 0;
    return program.RunMessageLoop();
}

// The main window.

void Program::End(Ending ending) {
    // Only the menu's Exit balances COM's initialisation, when the object
    // goes; every other way out leaves it to the end of the process.
    if (ending != Ending::Exit && !quitRequested_) com_.KeepToProcessEnd();
    // A button held by the remote must not stay down.
    remote_.pointer.ReleaseHeldButton();
    // The programs that take the keys are told, and let go.
    keyServer_.Stop();
    tray_.Remove();
    PostQuitMessage(0);
    quitRequested_ = true;
}

void Program::ReportMissingFilter() {
    if (missingFilterReported_) return;  // a second click while the report is open
    missingFilterReported_ = true;
    ShowTextBox(system_, nullptr, IDS_MISSING_FILTER, MB_SETFOREGROUND);
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
            SettingsDialogContext context{state_, system_, profiles_, &keyServer_};
            RunSettingsDialog(instance_, window_, context);
            keyServer_.Apply(window_, state_.settings.server);
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
    tray_.Add(window, LoadIconA(instance_, MAKEINTRESOURCEA(IDI_REMOTE)), LoadText(IDS_TRAY_TIP).c_str());
}

void Program::OnPowerBroadcast(WPARAM event) {
    switch (event) {
        case PBT_APMSUSPEND:
            remote_.link.Suspending();
            keyServer_.Suspending();
            break;
        case PBT_APMRESUMESUSPEND:
        case PBT_APMRESUMEAUTOMATIC:
            remote_.link.Resumed();
            keyServer_.Resumed();
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
        case KeyServerMessage:
            keyServer_.OnSocketEvent(wParam, lParam);
            return 0;
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

// The timers.

void Program::OnPollTick(DWORD tickTime) {
    PollOnce(receiver_.Control(), remote_.router, remote_.link, tickTime);
}

// The link's timer fires once for each setting.
void Program::OnLinkTimer() {
    timers_.link.Stop();
    remote_.link.TimerFired();
}

void Program::OnWatchTick() { remote_.power.ExitWatchTick(); }

void CALLBACK PollTimerProc(HWND window, UINT, UINT_PTR, DWORD tickTime) {
    if (Program* program = Program::Of(window)) program->OnPollTick(tickTime);
}

void CALLBACK LinkTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) program->OnLinkTimer();
}

void CALLBACK WatchTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) program->OnWatchTick();
}
