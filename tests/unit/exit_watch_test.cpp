// The exit watch of applications started by the Power key: each
// application's own windows, which watch goes first, a window that comes too
// late, a second watch after the first ended, and the idle wait that lets
// keys be polled meanwhile.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "apps/PowerKey.h"
#include "apps/TvApplication.h"
#include "shell/Program.h"
#include "shell/RemoteTimer.h"

namespace {

class ExitWatchTicks : public ::testing::Test {
protected:
    TestWindow owner{"MarlowWatchOwner", "owner"};

    void SetUp() override {
        MainWindow = owner.handle();
        PrepareWatchTimer();
        StartWatchTimer();
        WatchWinDVR = WatchQuillmarsh = WatchBeyondTV = 0;
        WinDvrApp.active = BeyondTvApp.active = QuillmarshApp.active = 0;
    }
    void TearDown() override {
        WatchTimer.Stop();
        WatchWinDVR = WatchQuillmarsh = WatchBeyondTV = 0;
        WinDvrApp.active = BeyondTvApp.active = QuillmarshApp.active = 0;
        MainWindow = nullptr;
    }
    static void Tick() { ExitWatch(nullptr, WM_TIMER, WatchTimerId, 0); }
};

struct Watched {
    bool* flag;
    TvApplication* app;
    const char* windowClass;
    const char* title;
};

TEST_F(ExitWatchTicks, EachApplicationIsWatchedUntilItsWindowsHaveGone) {
    for (const Watched& w : {Watched{&WatchWinDVR, &WinDvrApp, "MarlowWatchA", "InterVideo WinDVR 6"},
                             Watched{&WatchQuillmarsh, &QuillmarshApp, "VarnelMainPanel_Class", "Q"},
                             Watched{&WatchBeyondTV, &BeyondTvApp, "SnapStream", "FormMainWindow"}}) {
        StartWatchTimer();
        *w.flag = 1;
        w.app->active = 1;
        {
            TestWindow window(w.windowClass, w.title);
            Tick();
            EXPECT_EQ(*w.flag, 1) << w.windowClass;
            EXPECT_EQ(w.app->active, 1) << w.windowClass;
            EXPECT_TRUE(WatchTimer.IsRunning()) << w.windowClass;
        }
        Tick();
        EXPECT_EQ(*w.flag, 0) << w.windowClass;
        EXPECT_EQ(w.app->active, 0) << w.windowClass;
        EXPECT_FALSE(WatchTimer.IsRunning()) << w.windowClass;
    }
}

TEST_F(ExitWatchTicks, BeyondTvWithOnlyItsVideoWindowClosedIsStillWatched) {
    WatchBeyondTV = 1;
    BeyondTvApp.active = 1;
    TestWindow main("SnapStream", "FormMainWindow");
    Tick();
    EXPECT_EQ(BeyondTvApp.active, 1);
    EXPECT_TRUE(WatchTimer.IsRunning());
}

TEST_F(ExitWatchTicks, WinDvrIsLookedAtFirstAndTheOtherWatchWaitsForALaterStart) {
    WatchWinDVR = WatchQuillmarsh = 1;
    WinDvrApp.active = QuillmarshApp.active = 1;
    {
        TestWindow winDvr("MarlowWatchA", "InterVideo WinDVR 6");
        Tick();  // Quillmarsh has no window, but only WinDVR 6 is looked at
        EXPECT_EQ(QuillmarshApp.active, 1);
        EXPECT_EQ(WatchQuillmarsh, 1);
    }
    Tick();
    EXPECT_EQ(WatchWinDVR, 0);
    EXPECT_EQ(WinDvrApp.active, 0);
    EXPECT_FALSE(WatchTimer.IsRunning());
    EXPECT_EQ(WatchQuillmarsh, 1);  // unexamined until the timer runs again
    StartWatchTimer();
    Tick();
    EXPECT_EQ(WatchQuillmarsh, 0);
    EXPECT_EQ(QuillmarshApp.active, 0);
}

TEST_F(ExitWatchTicks, AWindowThatAppearsAfterTheFirstTickCountsAsGone) {
    WatchQuillmarsh = 1;
    QuillmarshApp.active = 1;
    Tick();
    TestWindow late("VarnelMainPanel_Class", "Quillmarsh");
    EXPECT_EQ(QuillmarshApp.active, 0);
    EXPECT_EQ(WatchQuillmarsh, 0);
}

// Power starts Quillmarsh (a program that is there) and watches it, after an
// earlier watch has ended.
TEST_F(ExitWatchTicks, AnApplicationStartedAfterAnEndedWatchIsWatchedAgain) {
    WatchWinDVR = 1;
    Tick();  // WinDVR 6 has gone: that watch ends
    ASSERT_FALSE(WatchTimer.IsRunning());
    const int installed = QuillmarshApp.installed;
    char path[InstallPathSize];
    char exe[ShortTextSize];
    std::strcpy(path, QuillmarshApp.installPath);
    std::strcpy(exe, QuillmarshApp.exeName);
    QuillmarshApp.installed = 1;
    std::strcpy(QuillmarshApp.installPath, "C:\\windows\\system32");
    std::strcpy(QuillmarshApp.exeName, "rundll32.exe");  // starts, and ends at once
    PowerToggle(QuillmarshApp);
    EXPECT_EQ(QuillmarshApp.active, 1);
    EXPECT_EQ(WatchQuillmarsh, 1);
    EXPECT_TRUE(WatchTimer.IsRunning());
    {
        TestWindow panel("VarnelMainPanel_Class", "Quillmarsh");
        Tick();
        EXPECT_EQ(QuillmarshApp.active, 1);
    }
    Tick();
    EXPECT_EQ(QuillmarshApp.active, 0);
    EXPECT_FALSE(WatchTimer.IsRunning());
    QuillmarshApp.installed = installed;
    std::strcpy(QuillmarshApp.installPath, path);
    std::strcpy(QuillmarshApp.exeName, exe);
}

// With nothing watched the timer stops two ticks (2 s) after the first such
// tick, and no tick holds the thread up meanwhile.
TEST_F(ExitWatchTicks, WithNothingWatchedTheTimerStopsTwoSecondsLaterWithoutBlocking) {
    for (int tick = 1; tick <= 3; ++tick) {
        const DWORD before = GetTickCount();
        Tick();
        EXPECT_LT(GetTickCount() - before, 1000u) << "tick " << tick;
        EXPECT_EQ(WatchTimer.IsRunning(), tick < 3) << "tick " << tick;
    }
}

}  // namespace
