// Power and the tray menu's switch: which applications are closed, in which
// order, and what is started or raised.
#include <gtest/gtest.h>

#include <cctype>

#include "FakeDesktop.h"

namespace {

using core::AppId;
using K = RemoteKey;

const Effects CloseQuillmarsh = {
    Post(Quillmarsh.closeTest, Quillmarsh.command, Quillmarsh.row.close.command)};
const Effects CloseBeyondTv = {Raise(BeyondTv.closeTest), Chord(BeyondTv.row.close.keys)};
const Effects CloseWinDvr = {Chord(WinDvr.row.close.keys)};
const Effect LaunchFailed = Message(core::Notice::LaunchFailed, MB_OK);
const Effect Reinitialize = Message(core::Notice::ReinitializeSettings, MB_SETFOREGROUND);

struct PowerKey : RemoteOnDesktop, ::testing::Test {
    PowerKey() { InstallAll(power); }
};

// What one action does with the other applications running.
struct OthersRunning {
    const FakeApplication& chosen;
    Effects effects;
};

template <typename Action>
void ExpectWithTheOthersRunning(const core::State& state, const OthersRunning& c, Action action) {
    SCOPED_TRACE(c.chosen.name);
    RemoteOnDesktop other;
    other.state = state;
    for (const core::Application& row : core::Applications)
        if (row.id != c.chosen.row.id) other.desktop.OpenApplication(Fake(row.id));
    ExpectEffects(other.desktop.Of([&] { action(other.power, c.chosen.row.selector); }), c.effects);
    EXPECT_EQ(other.state.settings.defaultSelector, c.chosen.row.selector);
}

TEST_F(PowerKey, HeldAcrossASlowStartItStaysOnePressAndANewPressClosesWhatItStarted) {
    state.settings.defaultSelector = Quillmarsh.row.selector;
    desktop.startTakesMs = 1500;  // the program waits until the application is ready for input
    const Effects started = desktop.Of([&] {
        router.OnRead(Code(K::Power));
        desktop.OpenApplication(Quillmarsh);
        // Read at every tick while held, the first right after the start returned.
        for (int i = 0; i < 5; ++i, desktop.clock += 65) router.OnRead(Code(K::Power));
    });
    ExpectEffects(started, {Started(Quillmarsh), "watch on"});
    desktop.clock += 400;  // let go, then pressed again
    ExpectEffects(desktop.Of([&] { router.OnRead(Code(K::Power)); }), CloseQuillmarsh);
}

TEST_F(PowerKey, PowerAndTheMenuSwitchCloseTheOthersFirstEachInItsOrderAndTheMenuMakesTheChoiceTheDefault) {
    using Act = void (*)(core::PowerSwitch&, int);
    const Act powerKey = [](core::PowerSwitch& r, int selector) { r.DefaultPowerAction(selector); };
    const Act menu = [](core::PowerSwitch& r, int selector) { r.SwitchFromMenu(selector); };
    const struct {
        Act act;
        OthersRunning c;
    } cases[] = {
        {powerKey, {Quillmarsh, Then({CloseWinDvr, CloseBeyondTv, {Started(Quillmarsh), "watch on"}})}},
        {powerKey, {BeyondTv, Then({CloseWinDvr, CloseQuillmarsh, {Started(BeyondTv), "watch on"}})}},
        {powerKey, {WinDvr, Then({CloseBeyondTv, CloseQuillmarsh, {Started(WinDvr), "watch on"}})}},
        // The menu never watches, and its choice becomes the default.
        {menu, {Quillmarsh, Then({CloseBeyondTv, CloseWinDvr, {Started(Quillmarsh)}})}},
        {menu, {BeyondTv, Then({CloseQuillmarsh, CloseWinDvr, {Started(BeyondTv)}})}},
        {menu, {WinDvr, Then({CloseBeyondTv, CloseQuillmarsh, {Started(WinDvr)}})}},
    };
    for (const auto& c : cases) {
        core::State before = state;
        if (c.act == powerKey) before.settings.defaultSelector = c.c.chosen.row.selector;
        ExpectWithTheOthersRunning(before, c.c, c.act);
    }
}

TEST_F(PowerKey, ClosesTheDefaultWhenItRunsAndTheTargetWhenThereIsOne) {
    state.settings.defaultSelector = BeyondTv.row.selector;
    desktop.OpenApplication(BeyondTv);
    ExpectEffects(Press(K::Power), CloseBeyondTv);  // the default runs: closed, nothing watched
    // Raised and closed: the window it found is the one its keys go to.
    EXPECT_EQ(power.Of(AppId::BeyondTv).targetWindow, BeyondTv.closeTest.ref);

    desktop.OpenApplication(WinDvr);
    power.Of(AppId::WinDvr).active = true;  // adopted earlier
    ExpectEffects(Press(K::Power), CloseWinDvr);  // the target alone, the others stay
    EXPECT_FALSE(power.Of(AppId::WinDvr).active);
}

TEST_F(PowerKey, RaisesTheDefaultsOwnWindowWhenItRunsWithoutItsKeyTarget) {
    // Its window of its class whose title begins with "FormMainWindow"; or,
    // when no title begins so, its window of that class, which the start's
    // own lookup finds: nothing is started.
    const struct {
        const FakeApplication& application;
        const char* windowClass;
        const char* title;
    } cases[] = {{Quillmarsh, "Quillmarsh", "FormMainWindow - Live"}, {BeyondTv, "SnapStream", "Beyond TV"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.application.name);
        RemoteOnDesktop other;
        other.state = state;
        other.state.settings.defaultSelector = c.application.row.selector;
        const FakeWindow main = other.desktop.Open("main", c.windowClass, c.title);
        other.desktop.Open("look-alike", "Other", "FormMainWindow");  // newer: first in Z order
        ExpectEffects(other.Press(K::Power), {Raise(main), "watch on"});
        // Raised, not started: neither the target nor watched.
        EXPECT_FALSE(other.power.Of(c.application.row.id).active);
        EXPECT_FALSE(other.power.Of(c.application.row.id).watched);
    }
}

TEST_F(PowerKey, ClosingAnApplicationThatDoesNotRunSendsNothingAndLeavesItsTargetAsItWas) {
    for (const core::Application& row : core::Applications)
        for (const bool active : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (active ? ", the target" : ""));
            power.Of(row.id).active = active;
            ExpectEffects(desktop.Of([&] { power.Close(row.id); }), {});
            EXPECT_EQ(power.Of(row.id).active, active);
        }
}

TEST_F(PowerKey, ADefaultNotInstalledIsReportedAndTheSelectorIsReadAgainAfterTheBox) {
    power.InstallLocationMissing(AppId::Quillmarsh);
    state.settings.defaultSelector = Quillmarsh.row.selector;
    desktop.OpenApplication(WinDvr);
    ExpectEffects(Press(K::Power), Then({{Reinitialize}, CloseWinDvr, {"watch on"}}));
    // While the box is open the user picks Beyond TV in the Settings dialog.
    desktop.CloseApplication(WinDvr);
    desktop.inMessageBox = [&] { state.settings.defaultSelector = BeyondTv.row.selector; };
    state.settings.defaultSelector = Quillmarsh.row.selector;
    ExpectEffects(Press(K::Power), {Reinitialize, Started(BeyondTv)});  // the watch already runs
}

// -- a start: only without the main window, by the install path as stored

TEST_F(PowerKey, ALaunchStartsOnlyWithoutTheMainWindowAndOnlyASuccessMakesTheTarget) {
    const std::string dir = InstallDir(WinDvr);
    const struct {
        const char* what;
        std::string installPath;
        bool mainOpen;
        bool startSucceeds;
        bool activeBefore;
        Effects effects;
        bool activeAfter;
    } cases[] = {
        {"its main window exists: nothing started, nor made the target", dir, true, true, false, {}, false},
        {"its main window exists: a target stays one", dir, true, true, true, {}, true},
        {"a path that ends in a backslash gets another", dir + "\\", false, true, false,
         {Start("\"" + dir + "\\\\" + WinDvr.row.executable + "\"")}, true},
        {"a failed start is reported and changes nothing", dir, false, false, true,
         {Started(WinDvr), LaunchFailed}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoteOnDesktop other;
        other.desktop.startSucceeds = c.startSucceeds;
        if (c.mainOpen) other.desktop.Open(WinDvr.main);
        other.power.InstallLocationFound(AppId::WinDvr, c.installPath.c_str());
        other.power.Of(AppId::WinDvr).active = c.activeBefore;
        EXPECT_EQ(other.power.Launch(AppId::WinDvr), c.mainOpen ? WinDvr.main.ref : 0);
        ExpectEffects(other.desktop.effects, c.effects);
        EXPECT_EQ(other.power.Of(AppId::WinDvr).active, c.activeAfter);
    }
}

// -- WinDVR's windows: each lookup compares the title its own way

std::string FirstLetterInOtherCase(std::string text) {
    text[0] = static_cast<char>(std::isupper(text[0]) ? std::tolower(text[0]) : std::toupper(text[0]));
    return text;
}

TEST_F(PowerKey, EachOfWinDvrsLookupsTellsItsWindowByTheTitleItsOwnWay) {
    const std::string video = WinDvr.keyTarget.title;  // whole
    const std::string panel = WinDvr.main.title;       // a beginning
    std::string shouted = video;
    for (char& c : shouted) c = static_cast<char>(std::toupper(c));
    const struct {
        std::string title;
        bool keyTarget;  // the whole title, case-sensitive: the key map, Power's running test
        bool adopted;    // the whole title, any case (FindWindowEx): adoption, Standby and Off
        bool running;    // its beginning, case-sensitive: tray, close, start
    } cases[] = {
        {video, true, true, false},
        {video + " - Live", false, false, false},
        {shouted, false, true, false},
        {panel, false, false, true},
        {panel + " - Live", false, false, true},
        {FirstLetterInOtherCase(panel), false, false, false},
        {"My " + panel, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        RemoteOnDesktop other;
        const FakeWindow window = other.desktop.Open("windvr", "AnyClass", c.title);
        other.state = state;
        other.power.Of(AppId::WinDvr).active = true;
        core::PowerSwitch& r = other.power;
        ExpectEffects(other.desktop.Of([&] { other.keys.RunKeyMap(AppId::WinDvr, Code(K::Mute)); }),
                      c.keyTarget ? Effects{Post(window, WM_KEYDOWN, 'M', 0x320001)} : Effects{});
        EXPECT_EQ(other.router.NoTvWindowExists(), !c.adopted);
        EXPECT_EQ(r.IsRunning(AppId::WinDvr), c.running);
        ExpectEffects(other.desktop.Of([&] { r.Close(AppId::WinDvr); }), c.running ? CloseWinDvr : Effects{});
        EXPECT_EQ(other.power.Of(AppId::WinDvr).active, !c.running);
        ExpectEffects(other.desktop.Of([&] { r.Launch(AppId::WinDvr); }),
                      c.running ? Effects{} : Effects{Started(WinDvr)});
    }
}

TEST_F(PowerKey, TheTrayMenuChecksTheDefaultByItsRunningWindow) {
    desktop.Open(BeyondTv.running);
    EXPECT_TRUE(power.IsRunning(AppId::BeyondTv));  // its main window, not the video window
    EXPECT_FALSE(power.IsRunning(AppId::Quillmarsh));
    desktop.Open("windvr.main", WinDvr.running, " - Live");
    EXPECT_TRUE(power.IsRunning(AppId::WinDvr));
}

TEST(InstallLocation, IsKeptUpToItsBufferAndAMissingOneIsNoInstall) {
    RemoteOnDesktop on;
    on.power.Of(AppId::WinDvr).active = true;
    const std::string longPath = "C:\\" + std::string(200, 'x');
    on.power.InstallLocationFound(AppId::WinDvr, longPath.c_str());
    EXPECT_TRUE(on.state.Of(AppId::WinDvr).installed);
    EXPECT_FALSE(on.power.Of(AppId::WinDvr).active);  // a fresh install is no target
    EXPECT_EQ(on.state.Of(AppId::WinDvr).installPath, longPath.substr(0, core::InstallPathSize - 1));

    on.power.InstallLocationMissing(AppId::WinDvr);
    EXPECT_FALSE(on.state.Of(AppId::WinDvr).installed);
    EXPECT_STREQ(on.state.Of(AppId::WinDvr).installPath, "");
    EXPECT_FALSE(on.state.Of(AppId::Quillmarsh).installed);  // the others as they were
}

}  // namespace
