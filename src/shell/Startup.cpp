// Start-up: the single-instance check, the one program object, the main
// window and the message loop.
#include "apps/InstallInfo.h"
#include "res/resource.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "win32/FailureTrace.h"
#include "win32/WindowSearch.h"

#include <commctrl.h>  // after <windows.h>

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
