#include "power/Shutdown.h"
#include "pointer/PointerInput.h"
#include "remote/KeyPoll.h"
#include "shell/Program.h"
#include "shell/Tray.h"
#include "win32/WindowSearch.h"

namespace {

constexpr UINT WinExecSuccessFloor = 31;

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
    const UINT started = program_.system.winExec(commandLine, SW_SHOW);
    if (started >= WinExecSuccessFloor) return true;
    TraceFailure("starting a TV application", started);
    return false;
}

void Win32Desktop::ShowMessage(const char* text, unsigned style) {
    program_.system.messageBox(nullptr, text, MessageCaption, style);
}

bool Win32Desktop::Standby() { return ::Standby(program_.system); }

void Win32Desktop::RunShutdownDialog() {
    ShutdownDialogContext context{program_.state, program_.system};
    ::RunShutdownDialog(program_.instance, program_.window, context);
}

void Win32Desktop::SetWatchTimer(bool running) {
    if (running) program_.watchTimer.Start(program_.window, core::WatchIntervalMs, WatchTimerProc);
    else program_.watchTimer.Stop();
}

bool Win32Desktop::OpenReceiver() { return program_.receiver.Open(); }

void Win32Desktop::CloseReceiver() { program_.receiver.Close(); }

void Win32Desktop::SetPolling(bool running) {
    if (running) program_.pollTimer.Start(program_.window, core::PollIntervalMs, PollTimerProc);
    else program_.pollTimer.Stop();
}

void Win32Desktop::SetLinkTimer(uint32_t ms) {
    program_.linkTimer.Stop();
    if (ms != 0) program_.linkTimer.Start(program_.window, ms, LinkTimerProc);
}

void Win32Desktop::ShowReceiverMissing(bool missing) {
    SetTrayTip(program_, missing ? TrayTipReceiverMissing : TrayTip);
}

void Win32Desktop::TraceFailure(const char* what, uint32_t code) { ::TraceFailure(what, code); }

void CALLBACK PollTimerProc(HWND window, UINT, UINT_PTR, DWORD tickTime) {
    if (Program* program = Program::Of(window))
        PollOnce(program->receiver.Control(), program->remote, program->link, tickTime);
}

// The link's timer fires once for each setting.
void CALLBACK LinkTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) {
        program->linkTimer.Stop();
        program->link.TimerFired();
    }
}

void CALLBACK WatchTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) program->remote.ExitWatchTick();
}
