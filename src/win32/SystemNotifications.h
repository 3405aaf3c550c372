// The system's reports that the program asks for by name: capture devices
// that arrive, and suspend and resume. Each is given back when its owner goes.
#pragma once
#include <windows.h>

#include "win32/Scoped.h"

inline void CloseDeviceNotification(HDEVNOTIFY notification) {
    UnregisterDeviceNotification(notification);
}
using DeviceNotification = ScopedValue<HDEVNOTIFY, CloseDeviceNotification>;

// WM_DEVICECHANGE to window for the devices of an interface class that
// arrive or leave; null, traced, when the system refuses.
HDEVNOTIFY AskForDeviceInterfaces(HWND window, const GUID& interfaceClass);

// WM_POWERBROADCAST's suspend and resume, asked for with
// RegisterSuspendResumeNotification where the system has it (Windows 8 and
// later, which may not send them to a window that did not ask). Resolved at
// run time, so that the program still starts on Windows XP.
class PowerNotification {
public:
    PowerNotification() = default;
    ~PowerNotification();
    PowerNotification(const PowerNotification&) = delete;
    PowerNotification& operator=(const PowerNotification&) = delete;

    // True when the system took the request; false where it has no such call.
    bool Ask(HWND window);

private:
    void* handle_ = nullptr;  // an HPOWERNOTIFY
};
