// Power, the tray menu's switch and the exit watch: which applications are
// closed, in which order, what is started or raised, and when the watch ends.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeDesktop.h"
#include "core/Remote.h"

namespace {

using core::AppId;

constexpr int Power = Code(RemoteKey::Power);

const char* const StartWinDvr = "start \"C:\\TV\\WinDvr\\WinDVR.exe\"";
const char* const StartBeyondTv = "start \"C:\\TV\\Beyond\\BTVD3DShell.exe\"";
const char* const StartQuillmarsh = "start \"C:\\TV\\Quill\\MainPanel.exe\"";
const char* const CloseWinDvr = "chord 18+17+16+119";
const char* const CloseQuillmarsh = "post quillmarsh.target 4024 1 0x0";
const Effects CloseBeyondTv = {"raise beyondtv.target", "chord 18+115"};

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

Effects Then(Effects first, const Effects& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
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
    desktop.Open("look-alike", "Other", "FormMainWindow");
    desktop.Open("quillmarsh.main", "Quillmarsh", "FormMainWindow - Quillmarsh");
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
    ExpectEffects(Press(Power), {StartWinDvr, "message Can't run launch TV application what you want. (0)",
                                 "watch on"});
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

TEST_F(PowerKey, TheWatchLooksAtWinDvrFirstThenQuillmarshThenBeyondTv) {
    for (AppId id : {AppId::Quillmarsh, AppId::WinDvr}) {
        state.Of(id).active = state.Of(id).watched = true;
    }
    state.watchTimerRunning = true;
    desktop.OpenApplication(AppId::Quillmarsh);  // WinDVR 6 has gone, Quillmarsh runs
    ExpectEffects(Tick(), {"watch off"});          // WinDVR 6's end stops the timer
    EXPECT_FALSE(state.Of(AppId::WinDvr).watched);
    EXPECT_TRUE(state.Of(AppId::Quillmarsh).watched);
}

TEST_F(PowerKey, TheTrayMenuChecksTheDefaultByItsRunningWindow) {
    desktop.Open("beyondtv.main", "SnapStream", "FormMainWindow");
    EXPECT_TRUE(remote.IsRunning(AppId::BeyondTv));  // its main window, not the video window
    EXPECT_FALSE(remote.IsRunning(AppId::Quillmarsh));
    desktop.Open("windvr.main", "FakeWinDVRPanel", "WinDVR 6 - Live");
    EXPECT_TRUE(remote.IsRunning(AppId::WinDvr));
}

}  // namespace
