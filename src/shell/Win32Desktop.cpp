// The decisions' effects, performed with Win32.
#include "shell/Win32Desktop.h"

#include "core/PowerSwitch.h"
#include "core/RepeatRule.h"
#include "input/SyntheticInput.h"
#include "power/Shutdown.h"
#include "shell/Words.h"
#include "win32/FailureTrace.h"
#include "win32/StringTable.h"
#include "win32/WindowSearch.h"

namespace {

constexpr UINT WinExecSuccessFloor = 31;
// How long a player may take to answer an app command.
constexpr UINT AppCommandTimeoutMs = 250;

HWND HandleOf(core::WindowRef window) { return reinterpret_cast<HWND>(window); }
core::WindowRef RefOf(HWND window) { return reinterpret_cast<core::WindowRef>(window); }

}  // namespace

core::WindowRef Win32Desktop::Find(const core::WindowIdentity& identity) {
    return RefOf(FindWindowByIdentity(identity));
}

bool Win32Desktop::Exists(core::WindowRef window) { return IsWindow(HandleOf(window)) != FALSE; }

core::Point Win32Desktop::Cursor() { return CursorPosition(); }

bool Win32Desktop::ButtonsSwapped() { return ::ButtonsSwapped(); }

uint32_t Win32Desktop::Now() { return GetTickCount(); }

core::Foreground Win32Desktop::ForegroundWindow() { return WindowInFront(); }

core::List<core::Profile> Win32Desktop::Profiles() { return profiles_.Profiles(); }

void Win32Desktop::TypeToForeground(const uint8_t* keys, size_t count) { TypeKeys(keys, count); }

void Win32Desktop::SendAppCommand(core::WindowRef window, unsigned command) {
    // As a keyboard's key sends it. A player that hangs does not hold up the poll.
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(HandleOf(window), WM_APPCOMMAND, static_cast<WPARAM>(window),
                            MAKELPARAM(0, FAPPCOMMAND_KEY | command), SMTO_ABORTIFHUNG,
                            AppCommandTimeoutMs, &result) == 0)
        ::TraceFailure("sending an app command to the window in front", GetLastError());
}

void Win32Desktop::ShowKeyAction(const core::KeyDone& done) { keyDisplay_.Show(KeyDoneText(done).c_str()); }

void Win32Desktop::Post(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
    PostMessageA(HandleOf(window), message, wParam, lParam);
}

void Win32Desktop::Send(core::WindowRef window, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
    SendMessageA(HandleOf(window), message, wParam, lParam);
}

void Win32Desktop::Raise(core::WindowRef window) { BringToFront(HandleOf(window)); }

void Win32Desktop::TypeChord(const uint8_t* keys, size_t count) { KeyChord(keys, count); }

void Win32Desktop::MoveBy(int dx, int dy) { SendRelativeMove(dx, dy); }

void Win32Desktop::Button(unsigned event, core::Point at) { SendButtonEvent(event, at); }

void Win32Desktop::SetCursor(core::Point at) { MoveCursorTo(at); }

bool Win32Desktop::Start(const char* commandLine) {
    const UINT started = system_.winExec(commandLine, SW_SHOW);
    if (started >= WinExecSuccessFloor) return true;
    TraceFailure("starting a TV application", started);
    return false;
}

void Win32Desktop::ShowMessage(core::Notice notice, unsigned style) {
    ShowTextBox(system_, nullptr, NoticeTextId(notice), style);
}

bool Win32Desktop::Standby() { return ::Standby(system_); }

void Win32Desktop::RunShutdownDialog(core::ShutdownAnswer& answer) {
    ShutdownDialogContext context{answer, system_};
    ::RunShutdownDialog(instance_, window_, context);
}

void Win32Desktop::SetWatchTimer(bool running) {
    if (running) timers_.watch.Start(window_, core::WatchIntervalMs, WatchTimerProc);
    else timers_.watch.Stop();
}

bool Win32Desktop::OpenReceiver() { return receiver_.Open(); }

void Win32Desktop::CloseReceiver() { receiver_.Close(); }

void Win32Desktop::SetPolling(bool running) {
    if (running) timers_.poll.Start(window_, core::PollIntervalMs, PollTimerProc);
    else timers_.poll.Stop();
}

void Win32Desktop::SetLinkTimer(uint32_t ms) {
    timers_.link.Stop();
    if (ms != 0) timers_.link.Start(window_, ms, LinkTimerProc);
}

void Win32Desktop::ShowReceiverMissing(bool missing) {
    tray_.SetTip(LoadText(missing ? IDS_TRAY_TIP_NO_RECEIVER : IDS_TRAY_TIP).c_str());
}

void Win32Desktop::TraceFailure(const char* what, uint32_t code) { ::TraceFailure(what, code); }
