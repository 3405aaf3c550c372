// Power, the tray menu's switch and the exit watch: which applications are
// closed, in which order, what is started or raised, and when the watch ends.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeDesktop.h"
#include "core/Remote.h"

namespace {

using core::AppId;

constexpr int Power = Code(RemoteKey::Power);
constexpr int Mute = Code(RemoteKey::Mute);

const char* const StartWinDvr = "start \"C:\\TV\\WinDvr\\WinDVR.exe\"";
const char* const StartBeyondTv = "start \"C:\\TV\\Beyond\\BTVD3DShell.exe\"";
const char* const StartQuillmarsh = "start \"C:\\TV\\Quill\\MainPanel.exe\"";
const char* const CloseWinDvr = "chord 18+17+16+119";
const char* const CloseQuillmarsh = "post quillmarsh.target 4024 1 0x0";
const Effects CloseBeyondTv = {"raise beyondtv.target", "chord 18+115"};
const char* const LaunchFailed = "message Can't run launch TV application what you want. (0)";

struct PowerKey : ::testing::Test {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote{state, desktop};

    PowerKey() {
        Install(AppId::WinDvr, "C:\\TV\\WinDvr");
        Install(AppId::BeyondTv, "C:\\TV\\Beyond");
        Install(AppId::Quillmarsh, "C:\\TV\\Quill");
    }
    void Install(AppId id, const char* path) {
        state.Of(id).installed = true;
        std::strcpy(state.Of(id).installPath, path);
    }
    Effects Do(const std::function<void()>& action) {
        desktop.effects.clear();
        action();
        return desktop.effects;
    }
    Effects Press(int code) { return Do([&] { remote.Route(code); }); }
    Effects Tick() { return Do([&] { remote.ExitWatchTick(); }); }
};

// What one action does with the other two applications running.
struct OthersRunning {
    int selector;
    Effects effects;
};

template <typename Action>
void ExpectWithTheOthersRunning(const core::State& state, const OthersRunning& c, Action action) {
    SCOPED_TRACE("selector " + std::to_string(c.selector));
    FakeDesktop fresh;
    for (AppId id : {AppId::Quillmarsh, AppId::BeyondTv, AppId::WinDvr})
        if (core::ApplicationOf(id).selector != c.selector) fresh.OpenApplication(id);
    core::State own = state;
    core::Remote other(own, fresh);
    action(other);
    ExpectEffects(fresh.effects, c.effects);
    EXPECT_EQ(own.settings.defaultSelector, c.selector);
}


TEST_F(PowerKey, StartsTheDefaultWatchesItAndTheWatchEndsWhenTheUserClosesIt) {
    state.settings.defaultSelector = core::SelectWinDvr;
    ExpectEffects(Press(Power), {StartWinDvr, "watch on"});
    EXPECT_TRUE(state.Of(AppId::WinDvr).active);
    EXPECT_TRUE(state.Of(AppId::WinDvr).watched);

    desktop.OpenApplication(AppId::WinDvr);  // it comes up
    ExpectEffects(Tick(), {});
    desktop.CloseApplication(AppId::WinDvr);  // the user closes it with its own close box
    ExpectEffects(Tick(), {"watch off"});
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);
    EXPECT_FALSE(state.Of(AppId::WinDvr).watched);
    // A new Power starts it again.
    ExpectEffects(Press(Power), {StartWinDvr, "watch on"});
}

TEST_F(PowerKey, HeldAcrossASlowStartItStaysOnePressAndANewPressClosesWhatItStarted) {
    state.settings.defaultSelector = core::SelectQuillmarsh;
    desktop.startTakesMs = 1500;  // the program waits until the application is ready for input
    const Effects started = Do([&] {
        remote.OnRead(Power);
        desktop.OpenApplication(AppId::Quillmarsh);
        // Read at every tick while held, the first right after the start returned.
        for (int i = 0; i < 5; ++i, desktop.clock += 65) remote.OnRead(Power);
    });
    ExpectEffects(started, {StartQuillmarsh, "watch on"});
    desktop.clock += 400;  // let go, then pressed again
    ExpectEffects(Do([&] { remote.OnRead(Power); }), {CloseQuillmarsh});
}

TEST_F(PowerKey, ClosesTheOthersFirstInThePowerOrderOfTheDefault) {
    const OthersRunning cases[] = {
        {core::SelectQuillmarsh, Then({CloseWinDvr}, Then(CloseBeyondTv, {StartQuillmarsh, "watch on"}))},
        {core::SelectBeyondTv, Then({CloseWinDvr, CloseQuillmarsh}, {StartBeyondTv, "watch on"})},
        {core::SelectWinDvr, Then(CloseBeyondTv, {CloseQuillmarsh, StartWinDvr, "watch on"})},
    };
    for (const OthersRunning& c : cases) {
        state.settings.defaultSelector = c.selector;
        ExpectWithTheOthersRunning(state, c, [&](core::Remote& r) { r.DefaultPowerAction(c.selector); });
    }
}

TEST_F(PowerKey, ClosesTheDefaultWhenItRunsAndTheTargetWhenThereIsOne) {
    state.settings.defaultSelector = core::SelectBeyondTv;
    desktop.OpenApplication(AppId::BeyondTv);
    ExpectEffects(Press(Power), CloseBeyondTv);  // the default runs: closed, nothing watched

    desktop.OpenApplication(AppId::WinDvr);
    state.Of(AppId::WinDvr).active = true;  // adopted earlier
    ExpectEffects(Press(Power), {CloseWinDvr});  // the target alone, the others stay
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);
}

TEST_F(PowerKey, RaisesTheDefaultsOwnWindowWhenItRunsWithoutItsKeyTarget) {
    state.settings.defaultSelector = core::SelectQuillmarsh;
    desktop.Open("quillmarsh.main", "Quillmarsh", "FormMainWindow - Quillmarsh");
    desktop.Open("look-alike", "Other", "FormMainWindow");  // newer: first in Z order
    ExpectEffects(Press(Power), {"raise quillmarsh.main", "watch on"});
    EXPECT_FALSE(state.Of(AppId::Quillmarsh).watched);  // raised, not started: not watched
}

TEST_F(PowerKey, ADefaultNotInstalledIsReportedAndTheSelectorIsReadAgainAfterTheBox) {
    state.Of(AppId::Quillmarsh).installed = false;
    state.settings.defaultSelector = core::SelectQuillmarsh;
    desktop.OpenApplication(AppId::WinDvr);
    ExpectEffects(Press(Power), {"message Please re-initialize the TV application settings. (65536)",
                                 CloseWinDvr, "watch on"});
    // While the box is open the user picks Beyond TV in the Settings dialog.
    desktop.CloseApplication(AppId::WinDvr);
    desktop.inMessageBox = [&] { state.settings.defaultSelector = core::SelectBeyondTv; };
    state.Of(AppId::WinDvr).installed = true;
    state.settings.defaultSelector = core::SelectQuillmarsh;
    ExpectEffects(Press(Power), {"message Please re-initialize the TV application settings. (65536)",
                                 StartBeyondTv});  // the watch already runs
}

TEST_F(PowerKey, AFailedStartIsReportedAndNothingIsWatched) {
    desktop.startSucceeds = false;
    state.settings.defaultSelector = core::SelectWinDvr;
    ExpectEffects(Press(Power), {StartWinDvr, LaunchFailed, "watch on"});
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);
    EXPECT_FALSE(state.Of(AppId::WinDvr).watched);
    // The watch finds nothing and stops on its third tick.
    ExpectEffects(Do([&] { for (int i = 0; i < 2; ++i) remote.ExitWatchTick(); }), {});
    ExpectEffects(Tick(), {"watch off"});
}

TEST_F(PowerKey, TheMenuSwitchClosesTheOthersInItsOwnOrderAndMakesTheChoiceTheDefault) {
    const OthersRunning cases[] = {
        {core::SelectQuillmarsh, Then(CloseBeyondTv, {CloseWinDvr, StartQuillmarsh})},
        {core::SelectBeyondTv, {CloseQuillmarsh, CloseWinDvr, StartBeyondTv}},
        {core::SelectWinDvr, Then(CloseBeyondTv, {CloseQuillmarsh, StartWinDvr})},
    };
    // No watch: the menu never watches.
    for (const OthersRunning& c : cases)
        ExpectWithTheOthersRunning(state, c, [&](core::Remote& r) { r.SwitchFromMenu(c.selector); });
}

TEST_F(PowerKey, TheWatchLooksOnlyAtWinDvrWhileItIsWatchedAndItsEndStopsTheTimer) {
    for (AppId id : {AppId::Quillmarsh, AppId::WinDvr}) {
        state.Of(id).active = state.Of(id).watched = true;
    }
    state.watchTimerRunning = true;
    desktop.OpenApplication(AppId::WinDvr);  // Quillmarsh has gone, WinDVR 6 runs
    ExpectEffects(Tick(), {});
    EXPECT_TRUE(state.Of(AppId::Quillmarsh).watched);
    desktop.CloseApplication(AppId::WinDvr);
    ExpectEffects(Tick(), {"watch off"});
    EXPECT_FALSE(state.Of(AppId::WinDvr).watched);
    EXPECT_TRUE(state.Of(AppId::Quillmarsh).watched);  // unexamined until a new watch
    EXPECT_TRUE(state.Of(AppId::Quillmarsh).active);
}

// Which windows of a watched application keep the watch going: any by which
// the application is known, its main window or its key-target window.
struct WatchedWindows {
    AppId id;
    const char* kept;  // "main", "target" or "" (none)
    bool goesOn;
};

const WatchedWindows WatchCases[] = {
    {AppId::Quillmarsh, "main", true}, {AppId::Quillmarsh, "target", true}, {AppId::Quillmarsh, "", false},
    {AppId::BeyondTv, "main", true},   {AppId::BeyondTv, "target", true},   {AppId::BeyondTv, "", false},
    {AppId::WinDvr, "main", true},     {AppId::WinDvr, "target", true},     {AppId::WinDvr, "", false},
};

TEST_F(PowerKey, TheWatchOfEachApplicationGoesOnWhileAnyOfItsWindowsRemains) {
    const char* const names[] = {"quillmarsh", "beyondtv", "windvr"};
    for (const WatchedWindows& c : WatchCases) {
        const std::string name = names[static_cast<size_t>(c.id)];
        SCOPED_TRACE(name + " keeping " + (*c.kept ? c.kept : "nothing"));
        FakeDesktop fresh;
        fresh.OpenApplication(c.id);
        for (const char* window : {"main", "target"})
            if (std::strcmp(window, c.kept) != 0) fresh.Close(fresh.Named(name + "." + window));
        core::State own = state;
        own.Of(c.id).active = own.Of(c.id).watched = own.watchTimerRunning = true;
        core::Remote other(own, fresh);
        other.ExitWatchTick();
        ExpectEffects(fresh.effects, c.goesOn ? Effects{} : Effects{"watch off"});
        EXPECT_EQ(own.Of(c.id).watched, c.goesOn);
        EXPECT_EQ(own.Of(c.id).active, c.goesOn);
    }
}

// -- a start: only without the main window, by the install path as stored

struct LaunchCase {
    const char* what;
    const char* installPath;
    bool mainOpen;
    bool startSucceeds;
    bool activeBefore;
    Effects effects;
    bool activeAfter;
};

const LaunchCase LaunchCases[] = {
    {"its main window exists: nothing started, nor made the target", "C:\\TV\\WinDvr", true, true, false, {}, false},
    {"its main window exists: a target stays one", "C:\\TV\\WinDvr", true, true, true, {}, true},
    {"a path that ends in a backslash gets another", "C:\\TV\\WinDvr\\", false, true, false,
     {"start \"C:\\TV\\WinDvr\\\\WinDVR.exe\""}, true},
    {"a failed start is reported and changes nothing", "C:\\TV\\WinDvr", false, false, true,
     {StartWinDvr, LaunchFailed}, true},
};

TEST_F(PowerKey, ALaunchStartsOnlyWithoutTheMainWindowAndOnlyASuccessMakesTheTarget) {
    for (const LaunchCase& c : LaunchCases) {
        SCOPED_TRACE(c.what);
        FakeDesktop fresh;
        fresh.startSucceeds = c.startSucceeds;
        const core::WindowRef main = c.mainOpen ? fresh.Open("windvr.main", "FakeWinDVRPanel", "WinDVR 6") : 0;
        core::State own = state;
        std::strcpy(own.Of(AppId::WinDvr).installPath, c.installPath);
        own.Of(AppId::WinDvr).active = c.activeBefore;
        core::Remote other(own, fresh);
        EXPECT_EQ(other.Launch(AppId::WinDvr), main);
        ExpectEffects(fresh.effects, c.effects);
        EXPECT_EQ(own.Of(AppId::WinDvr).active, c.activeAfter);
    }
}

// -- WinDVR 6's windows: each lookup compares the title its own way

struct WinDvrTitle {
    const char* title;
    bool keyTarget;  // the whole title, case-sensitive: the key map, Power's running test
    bool adopted;    // the whole title, any case (FindWindowEx): adoption, Standby and Off
    bool running;    // its beginning "WinDVR 6", case-sensitive: tray, close, start
};

const WinDvrTitle WinDvrTitles[] = {
    {"InterVideo WinDVR 6", true, true, false},
    {"InterVideo WinDVR 6 - Live", false, false, false},
    {"INTERVIDEO WinDVR 6", false, true, false},
    {"WinDVR 6", false, false, true},
    {"WinDVR 6 - Live", false, false, true},
    {"winDVR 6", false, false, false},
    {"My WinDVR 6", false, false, false},
};

TEST_F(PowerKey, EachOfWinDvrsLookupsTellsItsWindowByTheTitleItsOwnWay) {
    for (const WinDvrTitle& c : WinDvrTitles) {
        SCOPED_TRACE(c.title);
        FakeDesktop fresh;
        fresh.Open("windvr", "AnyClass", c.title);
        core::State own = state;
        own.Of(AppId::WinDvr).active = true;
        core::Remote other(own, fresh);
        const auto effectsOf = [&fresh](const std::function<void()>& action) {
            fresh.effects.clear();
            action();
            return fresh.effects;
        };
        ExpectEffects(effectsOf([&] { other.RunKeyMap(AppId::WinDvr, Mute); }),
                      c.keyTarget ? Effects{"post windvr 256 77 0x320001"} : Effects{});
        EXPECT_EQ(other.NoTvWindowExists(), !c.adopted);
        EXPECT_EQ(other.IsRunning(AppId::WinDvr), c.running);
        ExpectEffects(effectsOf([&] { other.Close(AppId::WinDvr); }),
                      c.running ? Effects{CloseWinDvr} : Effects{});
        EXPECT_EQ(own.Of(AppId::WinDvr).active, !c.running);
        ExpectEffects(effectsOf([&] { other.Launch(AppId::WinDvr); }),
                      c.running ? Effects{} : Effects{StartWinDvr});
    }
}

TEST_F(PowerKey, TheTrayMenuChecksTheDefaultByItsRunningWindow) {
    desktop.Open("beyondtv.main", "SnapStream", "FormMainWindow");
    EXPECT_TRUE(remote.IsRunning(AppId::BeyondTv));  // its main window, not the video window
    EXPECT_FALSE(remote.IsRunning(AppId::Quillmarsh));
    desktop.Open("windvr.main", "FakeWinDVRPanel", "WinDVR 6 - Live");
    EXPECT_TRUE(remote.IsRunning(AppId::WinDvr));
}

}  // namespace
