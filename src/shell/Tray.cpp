#include "shell/Tray.h"

#include "res/resource.h"

namespace {

// The tip's room in the first layout of the record.
constexpr int TrayTipSize = 64;

// The default application's entry, checked while it runs; none when it is
// not installed.
void AppendApplicationEntry(Program& program, HMENU menu) {
    const core::Application* application =
        core::ApplicationFor(program.state.settings.defaultSelector);
    if (application == nullptr || !program.state.Of(application->id).installed) return;
    const UINT flags = program.remote.IsRunning(application->id) ? MF_CHECKED : MF_STRING;
    AppendMenuA(menu, flags, application->menuCommand, application->menuText);
}

}  // namespace

void AddTrayIcon(Program& program, HICON icon, const char* tip) {
    NOTIFYICONDATAA& record = program.trayIcon;
    record = NOTIFYICONDATAA{};
    record.cbSize = TrayIconDataSize;
    record.hWnd = program.window;
    record.uID = TrayIconId;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = icon;
    if (tip != nullptr) lstrcpynA(record.szTip, tip, TrayTipSize);
    if (!Shell_NotifyIconA(NIM_ADD, &record)) TraceFailure("adding the tray icon", GetLastError());
}

void RemoveTrayIcon(Program& program) {
    NOTIFYICONDATAA record = {};
    record.cbSize = TrayIconDataSize;
    record.hWnd = program.window;
    record.uID = TrayIconId;
    Shell_NotifyIconA(NIM_DELETE, &record);
    program.trayIcon.hWnd = nullptr;
}

void RefreshTrayIcon(Program& program, DWORD action) {
    if (program.trayIcon.hWnd != nullptr) Shell_NotifyIconA(action, &program.trayIcon);
}

void SetTrayTip(Program& program, const char* tip) {
    lstrcpynA(program.trayIcon.szTip, tip, TrayTipSize);
    RefreshTrayIcon(program, NIM_MODIFY);
}

void ShowTrayMenu(Program& program) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (program.trayMenu != nullptr) DestroyMenu(program.trayMenu);
    HMENU menu = CreatePopupMenu();
    program.trayMenu = menu;
    AppendApplicationEntry(program, menu);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUT, "About");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_EXIT, "Exit");
    SetForegroundWindow(program.window);
    TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, program.window, nullptr);
}
