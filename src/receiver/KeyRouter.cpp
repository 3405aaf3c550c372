#include "receiver/KeyRouter.h"

#include "apps/BeyondTv.h"
#include "apps/PowerKey.h"
#include "apps/Quillmarsh.h"
#include "apps/TvApplication.h"
#include "apps/WinDvr.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "receiver/KeyPoll.h"
#include "shell/Program.h"
#include "shell/Settings.h"

namespace {

constexpr char ReinitializeText[] = "Please re-initialize the TV application settings.";

void AnswerShutdownDialog(int code) {
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
        QuillmarshApp.active = 1;
        QuillmarshKeyMap(code);
    } else if (beyondTv != nullptr) {
        BeyondTvApp.active = 1;
        BeyondTvKeyMap(code);
    } else if (winDvr != nullptr) {
        WinDvrApp.active = 1;
        WinDvrApp.fastStep = 0;
        WinDvrKeyMap(code);
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

}  // namespace

void RouteKey(int code, HWND owner) {
    if (ShutdownDialogOpen) {
        AnswerShutdownDialog(code);
    } else if (QuillmarshApp.active == 1) {
        if (code == PowerKey) PowerToggle(QuillmarshApp);
        else if (code == ShutdownKey) PostQuillmarshCommand(QuillmarshShutdownCommand);
        else if (code != StandbyKey && code != SuppressedKey) QuillmarshKeyMap(code);
    } else if (BeyondTvApp.active == 1) {
        if (code == PowerKey) PowerToggle(BeyondTvApp);
        else if (code != StandbyKey && code != ShutdownOrStandbyKey && code != SuppressedKey)
            BeyondTvKeyMap(code);
    } else if (WinDvrApp.active == 1) {
        if (code == PowerKey) PowerToggle(WinDvrApp);
        else if (code != ShutdownOrStandbyKey && code != SuppressedKey) WinDvrKeyMap(code);
    } else {
        RouteWithoutTarget(code, owner);
    }
}
