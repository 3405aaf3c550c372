#include "apps/TvApplication.h"
#include "res/resource.h"
#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/RemoteTimer.h"
#include "shell/Settings.h"
#include "win32/WindowSearch.h"

HINSTANCE ProgramInstance = nullptr;
HWND MainWindow = nullptr;
char WindowTitle[TitleBufferSize] = {};
char WindowClassName[TitleBufferSize] = {};

namespace {

// The window of an older remote-control program that this one replaces.
constexpr char RetiredProgramTitle[] = "Rorad Edazod Idozovu";
constexpr char OlderProgramClass[] = "Varnel Remote Control";
constexpr char ProgramClass[] = "Marlow Remote Control";

void RetireOlderProgram() {
    if (HWND window = FindWindowByTitlePrefix(RetiredProgramTitle)) {
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

int RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsA(ProgramInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_REMOTE));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExA(&windowClass);
}

bool CreateMainWindow(HINSTANCE instance) {
    ProgramInstance = instance;
    MainWindow = CreateWindowExA(0, WindowClassName, WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (MainWindow == nullptr) return false;
    LoadSettings();
    if (AlwaysRemoteOffFlag) {
        // Leave nothing behind: destroying the window takes the icon away.
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
        return false;
    }
    ShowWindow(MainWindow, SW_HIDE);
    UpdateWindow(MainWindow);
    if (FilterFound) {
        StartPolling();
        PrepareWatchTimer();
    }
    return true;
}

int RunProgram(HINSTANCE instance) {
    RetireOlderProgram();
    if (AnotherInstanceRuns()) return 0;
    ReadInstallLocations();
    LoadStringA(instance, IDS_WINDOW_TITLE, WindowTitle, TitleBufferSize);
    LoadStringA(instance, IDS_WINDOW_CLASS, WindowClassName, TitleBufferSize);
    RegisterMainWindowClass(instance);
    if (!CreateMainWindow(instance)) return 0;
    return RunMessageLoop();
}
