// The icon in the notification area and its popup menu.
#pragma once
#include <windows.h>
#include <shellapi.h>

constexpr UINT TrayIconId = 10;
constexpr UINT TrayCallbackMessage = 1001;
constexpr DWORD TrayIconDataSize = 88;  // the first NOTIFYICONDATAA layout
constexpr char TrayTip[] = "Marlow Remote Control";

extern NOTIFYICONDATAA TrayIconData;
extern HMENU TrayMenu;

void AddTrayIcon(HWND window, UINT identifier, HICON icon, const char* tip);
void RemoveTrayIcon(HWND window, UINT identifier);
// Submits the kept icon record again, unchanged (pointer moves, a new taskbar).
void RefreshTrayIcon(DWORD action);
void ShowTrayMenu(HWND window);
