#include "apps/PowerKey.h"

#include <algorithm>
#include <iterator>

#include "apps/BeyondTv.h"
#include "apps/Quillmarsh.h"
#include "apps/TvApplication.h"
#include "apps/WinDvr.h"
#include "shell/RemoteTimer.h"
#include "win32/WindowSearch.h"

bool WatchWinDVR = false;
bool WatchQuillmarsh = false;
bool WatchBeyondTV = false;

namespace {

// A tick that finds nothing watched stops the timer this long afterwards,
// counted in the timer's own ticks so that keys are polled meanwhile.
constexpr DWORD IdleWatchWaitMs = 2000;
constexpr int IdleTicksBeforeStop = static_cast<int>(IdleWatchWaitMs / WatchIntervalMs);

// Ticks since the first one that found nothing watched; -1 while something
// is watched.
int IdleWatchTicks = -1;

using CloseAction = void (*)();

struct Driver {
    TvApplication& record;
    HWND (*runningTest)();
    CloseAction close;
    bool& watchFlag;
    // The others, closed before a Power toggle and before a menu switch. The
    // two orders differ for Quillmarsh and Beyond TV; both are kept as the
    // system has always closed them, since a user may see the order.
    CloseAction powerCloses[2];
    CloseAction switchCloses[2];
};

Driver Drivers[] = {
    {QuillmarshApp, FindQuillmarshWindow, CloseQuillmarsh, WatchQuillmarsh,
     {CloseWinDvr, CloseBeyondTv}, {CloseBeyondTv, CloseWinDvr}},
    {BeyondTvApp, FindBeyondTvWindow, CloseBeyondTv, WatchBeyondTV,
     {CloseWinDvr, CloseQuillmarsh}, {CloseQuillmarsh, CloseWinDvr}},
    {WinDvrApp, FindWinDvrWindow, CloseWinDvr, WatchWinDVR,
     {CloseBeyondTv, CloseQuillmarsh}, {CloseBeyondTv, CloseQuillmarsh}},
};

Driver* DriverOf(const TvApplication* application) {
    Driver* driver = std::find_if(std::begin(Drivers), std::end(Drivers),
                                  [&](const Driver& d) { return &d.record == application; });
    return driver != std::end(Drivers) ? driver : nullptr;
}

Driver* DriverFor(int selector) { return DriverOf(ApplicationFor(selector)); }

// Ends the watch of one application when its windows have gone, by the
// same test with which the router lets a closed target go.
void EndWatchIfGone(bool& flag, TvApplication& record) {
    IdleWatchTicks = -1;
    if (record.HasWindow()) return;
    record.ClearActive();
    StopWatchTimer();
    flag = false;
}

}  // namespace

void PowerToggle(TvApplication& application) {
    Driver* driver = DriverOf(&application);
    if (driver == nullptr) return;
    if (driver->runningTest() != nullptr) {
        driver->close();
        return;
    }
    application.ShowOrLaunch();
    if (!WatchTimer.IsRunning()) IdleWatchTicks = -1;
    StartWatchTimer();
    if (application.active) driver->watchFlag = true;
}

void DefaultPowerAction(int selector) {
    Driver* driver = DriverFor(selector);
    if (driver == nullptr) return;
    for (CloseAction close : driver->powerCloses) close();
    PowerToggle(driver->record);
}

void SwitchToApplication(int selector) {
    Driver* driver = DriverFor(selector);
    if (driver == nullptr) return;
    for (CloseAction close : driver->switchCloses) close();
    driver->record.ShowOrLaunch();
}

void CALLBACK ExitWatch(HWND, UINT, UINT_PTR, DWORD) {
    if (WatchWinDVR) {
        EndWatchIfGone(WatchWinDVR, WinDvrApp);
    } else if (WatchQuillmarsh) {
        EndWatchIfGone(WatchQuillmarsh, QuillmarshApp);
    } else if (WatchBeyondTV) {
        EndWatchIfGone(WatchBeyondTV, BeyondTvApp);
    } else if (++IdleWatchTicks >= IdleTicksBeforeStop) {
        IdleWatchTicks = -1;
        StopWatchTimer();
    }
}

bool NoTvWindowExists() {
    return FindTopLevelByClass(QuillmarshPanelClass) == nullptr &&
           FindTopLevelByClass(BeyondTvVideoClass) == nullptr &&
           FindTopLevelByTitle(WinDvrTitle) == nullptr;
}
