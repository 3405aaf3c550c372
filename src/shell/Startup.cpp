// Start-up: the single-instance check, the one program object, the main
// window and the message loop.
#include "apps/InstallInfo.h"
#include "res/resource.h"
#include "shell/Program.h"
#include "shell/Settings.h"
#include "win32/WindowSearch.h"

#include <commctrl.h>  // after <windows.h>

namespace {

// The window of an older remote-control program that this one replaces.
constexpr char RetiredProgramTitle[] = "Rorad Edazod Idozovu";
constexpr char OlderProgramClass[] = "Varnel Remote Control";
constexpr char ProgramClass[] = "Marlow Remote Control";

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
           FindWindowA(ProgramClass, nullptr) != nullptr;
}

}  // namespace

Program::Program(HINSTANCE module) : instance(module) {}

Program::~Program() {
    // The window outlives the object when the loop has ended: it must not
    // reach it any more.
    if (window != nullptr) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

int RunMessageLoop(const Program& program) {
    HACCEL accelerators =
        LoadAcceleratorsA(program.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void RegisterMainWindowClass(Program& program) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = program.instance;
    windowClass.hIcon = LoadIconA(program.instance, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hIconSm = LoadIconA(program.instance, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = program.windowClass;
    if (RegisterClassExA(&windowClass) == 0)
        TraceFailure("registering the main window class", GetLastError());
}

bool CreateMainWindow(Program& program) {
    program.taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    HWND window = CreateWindowExA(0, program.windowClass, program.windowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr,
                                  program.instance, &program);
    if (window == nullptr) {
        TraceFailure("creating the main window", GetLastError());
        return false;
    }
    LoadSettings(program.state.settings);
    if (program.state.settings.alwaysRemoteOff) {
        // Leave nothing behind: destroying the window takes the icon away.
        DestroyWindow(window);
        return false;
    }
    ShowWindow(window, SW_HIDE);
    UpdateWindow(window);
    program.link.Started(program.filterFound);
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
    ReadInstallLocations(program.state);
    LoadStringA(instance, IDS_WINDOW_TITLE, program.windowTitle, TitleBufferSize);
    LoadStringA(instance, IDS_WINDOW_CLASS, program.windowClass, TitleBufferSize);
    RegisterMainWindowClass(program);
    if (!CreateMainWindow(program)) return 0;
    return RunMessageLoop(program);
}
