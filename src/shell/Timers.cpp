// The program's three timers: the key poll, the exit watch and the link's
// one-shot wait. Each procedure finds the program through its window.
#include "poll/KeyPoll.h"
#include "shell/Program.h"

void Program::OnPollTick(DWORD tickTime) {
    PollOnce(receiver_.Control(), remote_.router, remote_.link, tickTime);
}

// The link's timer fires once for each setting.
void Program::OnLinkTimer() {
    linkTimer_.Stop();
    remote_.link.TimerFired();
}

void Program::OnWatchTick() { remote_.power.ExitWatchTick(); }

void CALLBACK PollTimerProc(HWND window, UINT, UINT_PTR, DWORD tickTime) {
    if (Program* program = Program::Of(window)) program->OnPollTick(tickTime);
}

void CALLBACK LinkTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) program->OnLinkTimer();
}

void CALLBACK WatchTimerProc(HWND window, UINT, UINT_PTR, DWORD) {
    if (Program* program = Program::Of(window)) program->OnWatchTick();
}
