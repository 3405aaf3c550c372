// The icon in the notification area and its popup menu.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/Applications.h"
#include "res/resource.h"

constexpr UINT TrayIconId = TRAY_ICON_ID;
constexpr UINT TrayCallbackMessage = TRAY_CALLBACK_MESSAGE;
// The first NOTIFYICONDATAA layout, which every shell takes: 88 bytes in the
// 32-bit program.
constexpr DWORD TrayIconDataSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || TrayIconDataSize == 88, "the first layout is 88 bytes");

// The icon's record as submitted to the shell, kept to submit it again, and
// the menu last shown.
class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void Add(HWND window, HICON icon, const char* tip);
    void Remove();
    // Submits the kept record again, unchanged (pointer moves, a new taskbar).
    void Refresh(DWORD action);
    // A new tip, kept for when the icon is submitted again.
    void SetTip(const char* tip);
    // The menu at the pointer, for owner: the default application's entry (none when
    // application is null), checked while it runs, then About and Exit.
    void ShowMenu(HWND owner, const core::Application* application, bool running);

private:
    NOTIFYICONDATAA record_ = {};  // hWnd null while the icon is not shown
    HMENU menu_ = nullptr;
    // The entries' texts from the STRINGTABLE, kept with the menu that was
    // made from them, as a literal would be.
    std::string aboutText_;
    std::string exitText_;
};
