#include "win32/SystemNotifications.h"

#include "win32/FailureTrace.h"

#include <dbt.h>

namespace {

// Of user32 on Windows 8 and later.
using RegisterSuspendResume = void*(WINAPI*)(HANDLE recipient, DWORD flags);
using UnregisterSuspendResume = BOOL(WINAPI*)(void* handle);
constexpr DWORD NotifyWindowHandle = DEVICE_NOTIFY_WINDOW_HANDLE;

FARPROC User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

HDEVNOTIFY AskForDeviceInterfaces(HWND window, const GUID& interfaceClass) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = interfaceClass;
    HDEVNOTIFY notification = RegisterDeviceNotificationA(window, &filter, NotifyWindowHandle);
    if (notification == nullptr) TraceFailure("asking for capture device arrivals", GetLastError());
    return notification;
}

bool PowerNotification::Ask(HWND window) {
    const auto ask = reinterpret_cast<RegisterSuspendResume>(
        User32Function("RegisterSuspendResumeNotification"));
    if (ask == nullptr) return false;
    handle_ = ask(window, NotifyWindowHandle);
    if (handle_ == nullptr) TraceFailure("asking for suspend and resume", GetLastError());
    return handle_ != nullptr;
}

PowerNotification::~PowerNotification() {
    if (handle_ == nullptr) return;
    const auto unask = reinterpret_cast<UnregisterSuspendResume>(
        User32Function("UnregisterSuspendResumeNotification"));
    if (unask != nullptr) unask(handle_);
}
