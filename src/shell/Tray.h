// The icon in the notification area and its popup menu.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "res/resource.h"
#include "shell/Program.h"

constexpr UINT TrayIconId = TRAY_ICON_ID;
constexpr UINT TrayCallbackMessage = TRAY_CALLBACK_MESSAGE;
// The first NOTIFYICONDATAA layout, which every shell takes: 88 bytes in the
// 32-bit program.
constexpr DWORD TrayIconDataSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || TrayIconDataSize == 88, "the first layout is 88 bytes");
constexpr char TrayTip[] = "Marlow Remote Control";
constexpr char TrayTipReceiverMissing[] = "Marlow Remote Control (no remote receiver)";

void AddTrayIcon(Program& program, HICON icon, const char* tip);
void RemoveTrayIcon(Program& program);
// Submits the kept icon record again, unchanged (pointer moves, a new taskbar).
void RefreshTrayIcon(Program& program, DWORD action);
// A new tip for the icon, kept for when the icon is submitted again.
void SetTrayTip(Program& program, const char* tip);
void ShowTrayMenu(Program& program);
