#include "remote/KeyRouter.h"

#include "apps/KeyMap.h"
#include "apps/PowerKey.h"
#include "apps/Quillmarsh.h"
#include "apps/TvApplication.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "remote/KeyPoll.h"
#include "shell/Program.h"
#include "shell/Settings.h"

namespace {

constexpr char ReinitializeText[] = "Please re-initialize the TV application settings.";

void AnswerShutdownDialog(int code) {
    // Not made yet: its window is stored when it initialises.
    if (ShutdownDialogWindow == nullptr) return;
    SetForegroundWindow(ShutdownDialogWindow);
    SetActiveWindow(ShutdownDialogWindow);
    SendMessageA(ShutdownDialogWindow, WM_KEYDOWN, code == PowerKey ? VK_RETURN : VK_ESCAPE, 0);
}

void PowerWithoutTarget() {
    const TvApplication* application = ApplicationFor(DefaultAppSelector);
    if (application == nullptr) return;
    if (!application->IsInstalled()) {
        MessageBoxA(nullptr, ReinitializeText, MessageCaption, MB_SETFOREGROUND);
    }
    // The box runs a modal loop: read the selector again once it is dismissed.
    DefaultPowerAction(DefaultAppSelector);
}

void AdoptOrPoint(int code) {
    HWND desktop = GetDesktopWindow();
    HWND quillmarsh = FindWindowExA(desktop, nullptr, QuillmarshPanelClass, nullptr);
    HWND beyondTv = FindWindowExA(desktop, nullptr, BeyondTvVideoClass, nullptr);
    HWND winDvr = FindWindowExA(desktop, nullptr, nullptr, WinDvrTitle);
    if (quillmarsh != nullptr) {
        QuillmarshApp.active = true;
        QuillmarshApp.seenWindow = quillmarsh;
        RunKeyMap(QuillmarshKeys, code);
    } else if (beyondTv != nullptr) {
        BeyondTvApp.active = true;
        BeyondTvApp.seenWindow = beyondTv;
        RunKeyMap(BeyondTvKeys, code);
    } else if (winDvr != nullptr) {
        WinDvrApp.active = true;
        WinDvrApp.seenWindow = winDvr;
        WinDvrApp.fastStep = false;
        RunKeyMap(WinDvrKeys, code);
    } else {
        PointerAction(code);
    }
}

void RouteWithoutTarget(int code, HWND owner) {
    switch (code) {
        case PowerKey:
            PowerWithoutTarget();
            break;
        case StandbyKey:
            if (NoTvWindowExists()) Standby();
            break;
        case ShutdownOrStandbyKey:
            if (!NoTvWindowExists()) break;
            if (DefaultAppSelector == SelectBeyondTv) ShowShutdownDialog(owner);
            else Standby();
            break;
        case ShutdownKey:
            if (DefaultAppSelector == SelectQuillmarsh && NoTvWindowExists())
                ShowShutdownDialog(owner);
            break;
        default:
            AdoptOrPoint(code);
            break;
    }
}

// The key map of the application that is the remote's target, if any. A
// target whose windows have all gone (closed by the user himself) stops
// being the target here, so that the key goes where it would have gone had
// the application never been adopted.
const KeyMapTable* TargetKeyMap() {
    for (const KeyMapTable* map : {&QuillmarshKeys, &BeyondTvKeys, &WinDvrKeys}) {
        if (!map->application.active) continue;
        if (map->application.StillRuns()) return map;
        map->application.ClearActive();
    }
    return nullptr;
}

}  // namespace

TargetRoute RouteForTarget(const TvApplication& target, int code) {
    if (code == PowerKey) return TargetRoute::PowerToggle;
    if (code == SuppressedKey) return TargetRoute::Dropped;
    if (&target == &QuillmarshApp) {
        if (code == ShutdownKey) return TargetRoute::ShutdownCommand;
        return code == StandbyKey ? TargetRoute::Dropped : TargetRoute::KeyMap;
    }
    if (&target == &BeyondTvApp) {
        return code == StandbyKey || code == ShutdownOrStandbyKey ? TargetRoute::Dropped
                                                                  : TargetRoute::KeyMap;
    }
    return code == ShutdownOrStandbyKey ? TargetRoute::Dropped : TargetRoute::KeyMap;
}

void RouteKey(int code, HWND owner) {
    // A dropped repeat does nothing anywhere, in the shutdown dialog too.
    if (code == SuppressedKey) return;
    if (ShutdownDialogOpen) {
        AnswerShutdownDialog(code);
        return;
    }
    const KeyMapTable* map = TargetKeyMap();
    if (map == nullptr) {
        RouteWithoutTarget(code, owner);
    } else {
        switch (RouteForTarget(map->application, code)) {
            case TargetRoute::PowerToggle:
                PowerToggle(map->application);
                break;
            case TargetRoute::ShutdownCommand:
                PostQuillmarshCommand(QuillmarshShutdownCommand);
                break;
            case TargetRoute::KeyMap:
                RunKeyMap(*map, code);
                break;
            case TargetRoute::Dropped:
                break;
        }
    }
}
