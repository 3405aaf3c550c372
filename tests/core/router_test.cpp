// Where each kind of key goes: to the pointer, to standby or the shutdown
// dialog, to an application adopted or targeted, to the open dialog; and the
// repeat rule that decides which reads of a held key are routed at all.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"
#include "core/Remote.h"

namespace {

using core::AppId;

using K = RemoteKey;
constexpr int Digit2 = Code(K::Digit2), Digit1 = Code(K::Digit1), Digit0 = Code(K::Digit0),
              Digit6 = Code(K::Digit6), Enter = Code(K::Enter), Power = Code(K::Power),
              Standby = Code(K::Standby), Off = Code(K::Off), VolumeDown = Code(K::VolumeDown),
              Mute = Code(K::Mute);

struct Router : ::testing::Test {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote{state, desktop};

    Router() { core::InitScreenBounds(state.pointer, 1024, 768); }
    Effects Press(int code) {
        desktop.effects.clear();
        remote.Route(code);
        return desktop.effects;
    }
};

// -- no TV application: the pointer, standby and the shutdown dialog

struct NoApplicationRoute {
    const char* what;
    int selector;
    int code;
    Effects effects;
};

const NoApplicationRoute NoApplicationRoutes[] = {
    {"digit 2 moves the pointer up and left a pixel", core::SelectQuillmarsh, Digit2, {"cursor 499,399"}},
    {"digit 1 clicks left", core::SelectQuillmarsh, Digit1, {"button 2 @500,400", "button 4 @500,400"}},
    {"digit 0 clicks right", core::SelectWinDvr, Digit0, {"button 8 @500,400", "button 16 @500,400"}},
    {"digit 6 holds the left button", core::SelectWinDvr, Digit6, {"button 2 @500,400"}},
    {"Enter does nothing", core::SelectQuillmarsh, Enter, {}},
    {"Mute does nothing", core::SelectBeyondTv, Mute, {}},
    {"Standby asks for standby", core::SelectQuillmarsh, Standby, {"standby"}},
    {"Off asks for standby", core::SelectWinDvr, Off, {"standby"}},
    {"Off with Quillmarsh the default asks for standby too", core::SelectQuillmarsh, Off, {"standby"}},
    {"Off with Beyond TV the default asks first", core::SelectBeyondTv, Off, {"dialog", "dialog ended"}},
    {"Vol- with Quillmarsh the default asks to shut down", core::SelectQuillmarsh, VolumeDown,
     {"dialog", "dialog ended"}},
    {"Vol- otherwise does nothing", core::SelectBeyondTv, VolumeDown, {}},
    {"a selector outside 6 to 8 makes Power do nothing", 5, Power, {}},
};

TEST_F(Router, WithoutApplicationsEachKeyGoesWhereTheTableSays) {
    for (const NoApplicationRoute& route : NoApplicationRoutes) {
        SCOPED_TRACE(route.what);
        core::State fresh;
        state = fresh;
        core::InitScreenBounds(state.pointer, 1024, 768);
        state.settings.defaultSelector = route.selector;
        desktop.cursor = {500, 400};
        ExpectEffects(Press(route.code), route.effects);
        EXPECT_FALSE(state.shutdownDialogOpen);
    }
}

TEST_F(Router, AWindowOfAnyApplicationKeepsStandbyOffAndTheDialogAway) {
    for (AppId id : {AppId::Quillmarsh, AppId::BeyondTv, AppId::WinDvr}) {
        FakeDesktop other;
        core::State fresh;
        core::Remote remote2(fresh, other);
        other.OpenApplication(id);
        fresh.settings.defaultSelector = core::SelectBeyondTv;
        for (int code : {Standby, Off}) remote2.Route(code);
        fresh.settings.defaultSelector = core::SelectQuillmarsh;
        remote2.Route(VolumeDown);
        // Nor do they adopt the application.
        ExpectEffects(other.effects, {});
        EXPECT_FALSE(fresh.Of(id).active);
    }
}

// -- adoption

TEST_F(Router, AKeyAdoptsQuillmarshBeforeBeyondTvBeforeWinDvr) {
    desktop.OpenApplication(AppId::WinDvr);
    desktop.OpenApplication(AppId::BeyondTv);
    ExpectEffects(Press(Mute), {"post beyondtv.target 256 77 0x0"});
    EXPECT_TRUE(state.Of(AppId::BeyondTv).active);
    desktop.OpenApplication(AppId::Quillmarsh);
    // Beyond TV is the target now: it keeps the keys while it runs.
    ExpectEffects(Press(Mute), {"post beyondtv.target 256 77 0x0"});
    desktop.CloseApplication(AppId::BeyondTv);
    ExpectEffects(Press(Mute), {"post quillmarsh.target 4024 403 0x0"});
    EXPECT_FALSE(state.Of(AppId::BeyondTv).active);
    EXPECT_TRUE(state.Of(AppId::Quillmarsh).active);
}

TEST_F(Router, ATargetClosedByTheUserGivesItsKeysBackToThePointer) {
    desktop.OpenApplication(AppId::WinDvr);
    ExpectEffects(Press(Digit2), {"post windvr.target 256 50 0x30001"});
    desktop.CloseApplication(AppId::WinDvr);
    ExpectEffects(Press(Digit2), {"cursor 499,399"});
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);
}

TEST_F(Router, AsTargetStandbyAndOffDoWhatTheApplicationsMapSays) {
    struct Case {
        AppId id;
        int code;
        Effects effects;
    } cases[] = {
        {AppId::Quillmarsh, Standby, {}},
        {AppId::Quillmarsh, Off, {"post quillmarsh.target 4024 5 0x0"}},
        {AppId::Quillmarsh, VolumeDown, {"post quillmarsh.target 4024 5001 0x0"}},
        {AppId::BeyondTv, Standby, {}},
        {AppId::BeyondTv, Off, {}},
        {AppId::WinDvr, Standby, {}},
        {AppId::WinDvr, Off, {}},
    };
    for (const Case& c : cases) {
        FakeDesktop other;
        core::State fresh;
        core::Remote remote2(fresh, other);
        other.OpenApplication(c.id);
        fresh.Of(c.id).active = true;
        remote2.Route(c.code);
        SCOPED_TRACE("application " + std::to_string(static_cast<int>(c.id)) + " code " +
                     std::to_string(c.code));
        ExpectEffects(other.effects, c.effects);
        EXPECT_TRUE(fresh.Of(c.id).active);  // still the target
    }
}

// -- the shutdown dialog

TEST_F(Router, TheOpenDialogTakesOnlyAnswersPowerConfirmsAnyOtherKeyCancels) {
    state.settings.defaultSelector = core::SelectQuillmarsh;
    const core::WindowRef dialog = desktop.Open("dialog", "#32770", "Marlow Remote Control - Shut Down");
    desktop.inDialog = [&] {
        remote.Route(Mute);  // before the dialog has initialised: nothing
        state.shutdownDialog = dialog;
        remote.Route(Digit2);
        remote.Route(255);  // a failed read, too, cancels
        remote.Route(Power);
    };
    ExpectEffects(Press(VolumeDown), {"dialog", "raise dialog", "send dialog 256 27 0x0",
                                      "raise dialog", "send dialog 256 27 0x0",
                                      "raise dialog", "send dialog 256 13 0x0", "dialog ended"});
    EXPECT_FALSE(state.shutdownDialogOpen);
    // Once it has ended, keys go where they went before.
    ExpectEffects(Press(Digit2), {"cursor 499,399"});
}

TEST(DialogAnswers, EnterConfirmsEscapeCancelsOthersAreIgnored) {
    EXPECT_EQ(core::AnswerForKey(13), core::DialogAnswer::Confirm);
    EXPECT_EQ(core::AnswerForKey(27), core::DialogAnswer::Cancel);
    EXPECT_EQ(core::AnswerForKey(32), core::DialogAnswer::None);
}

// -- the repeat rule: reads of a held key, 110 ms apart as a real remote sends them

struct Read {
    int code;
    uint32_t time;
};

std::vector<int> Routed(core::State& state, const std::vector<Read>& reads) {
    std::vector<int> routed;
    for (const Read& read : reads) {
        const bool repeat = core::UpdateRepeatState(state, read.code, read.time);
        routed.push_back(core::SuppressRepeat(state, repeat, read.code));
    }
    return routed;
}

std::vector<Read> Held(int code, int reads, uint32_t start = 1000, uint32_t apart = 110) {
    std::vector<Read> held;
    for (int i = 0; i < reads; ++i) held.push_back({code, start + apart * static_cast<uint32_t>(i)});
    return held;
}

constexpr int X = core::SuppressedKey;

TEST(RepeatRule, WithoutTargetEveryReadOfAHeldKeyIsRouted) {
    core::State state;
    EXPECT_EQ(Routed(state, Held(Digit2, 4)), (std::vector<int>{1, 1, 1, 1}));
}

TEST(RepeatRule, WithATargetAHeldKeyActsOnceThenEveryTenthRepeat) {
    core::State state;
    state.Of(AppId::BeyondTv).active = true;
    std::vector<int> expected(22, X);
    expected[0] = expected[10] = expected[20] = Mute;
    EXPECT_EQ(Routed(state, Held(Mute, 22)), expected);
}

TEST(RepeatRule, OneShotKeysActOncePerPressWhateverTheTarget) {
    for (int code : {Power, Standby, Off, VolumeDown}) {
        core::State state;
        EXPECT_EQ(Routed(state, Held(code, 12)), (std::vector<int>{code, X, X, X, X, X, X, X, X, X, X, X}))
            << "code " << code;
    }
}

TEST(RepeatRule, WhileTheDialogIsOpenOnlyFirstPressesCount) {
    core::State state;
    state.shutdownDialogOpen = true;
    EXPECT_EQ(Routed(state, Held(Digit2, 3)), (std::vector<int>{Digit2, X, X}));
}

TEST(RepeatRule, APressAfterAPauseOrAnotherKeyIsAFirstPressAgain) {
    core::State state;
    state.Of(AppId::WinDvr).active = true;
    const std::vector<Read> reads = {{Mute, 1000}, {Mute, 1249},  // 249 ms: still held
                                     {Mute, 1499},                // 250 ms: a new press
                                     {Digit2, 1609}, {Mute, 1719}};
    EXPECT_EQ(Routed(state, reads), (std::vector<int>{Mute, X, Mute, Digit2, Mute}));
}

TEST(RepeatRule, TheTickCountersWrapDoesNotBreakAHold) {
    core::State state;
    state.Of(AppId::WinDvr).active = true;
    // 100 ms apart, the counter wrapping past 2^32 between the first two.
    const std::vector<Read> reads = {{Mute, 0xFFFFFFC0u}, {Mute, 36}, {Mute, 136}};
    EXPECT_EQ(Routed(state, reads), (std::vector<int>{Mute, X, X}));
}

// Ticks as the poll makes them, each reading a code or none.
constexpr int NoKey = -2;
std::vector<int> Ticked(core::State& state, const std::vector<Read>& ticks) {
    std::vector<int> routed;
    for (const Read& tick : ticks) {
        core::Polled(state, tick.time);
        if (tick.code == NoKey) continue;
        const bool repeat = core::UpdateRepeatState(state, tick.code, tick.time);
        routed.push_back(core::SuppressRepeat(state, repeat, tick.code));
        core::ActedOnRead(state, tick.time);
    }
    return routed;
}

TEST(RepeatRule, TicksHeldUpByABusyMachineAreNoGapInAHeldKeyButASleepIs) {
    core::State state;
    // Power held: read at every tick, one tick 400 ms late (the remote sent
    // it all along); let go for 325 ms of ticks; pressed again, held across
    // a tick 1.9 s late (still a busy machine) and then across 2.1 s without
    // a tick (a sleep: nothing is known of the key); let go while the ticks
    // come every 200 ms, each finding no key, and pressed again 800 ms later.
    const std::vector<Read> ticks = {
        {Power, 1000}, {Power, 1065}, {Power, 1465}, {Power, 1530}, {NoKey, 1595}, {NoKey, 1660},
        {NoKey, 1725}, {NoKey, 1790}, {Power, 1855}, {Power, 3755}, {Power, 5855},
        {NoKey, 6055}, {NoKey, 6255}, {NoKey, 6455}, {Power, 6655}};
    EXPECT_EQ(Ticked(state, ticks), (std::vector<int>{Power, X, X, X, Power, X, Power, Power}));
}

TEST(RepeatRule, ANewPressRestartsThePointersAcceleration) {
    FakeDesktop desktop;
    core::State state;
    core::InitScreenBounds(state.pointer, 1024, 768);
    core::Remote remote(state, desktop);
    for (int i = 0; i < 6; ++i) {
        if (i > 0) desktop.clock += 110;
        remote.OnRead(Digit2);
    }
    // Then 300 ms of ticks that find no key, which do not count: the gap is
    // from the previous read, not from the last tick.
    for (int tick = 0; tick < 4; ++tick) remote.OnPoll(desktop.clock += 65);
    desktop.clock += 40;
    remote.OnPoll(desktop.clock);
    remote.OnRead(Digit2);
    // Up and left: four one-pixel moves, then the small step (1024 / 160 = 6),
    // then one pixel again.
    ExpectEffects(desktop.effects, {"cursor 499,399", "cursor 498,398", "cursor 497,397",
                                    "cursor 496,396", "cursor 490,390", "cursor 484,384",
                                    "cursor 483,383"});
}

}  // namespace

// -- the searches one key makes: each window looked for once at most

TEST(Searches, AKeyToTheTargetReusesItsWindowWhileItExistsAndAnAdoptionSearchesOnce) {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote(state, desktop);
    desktop.OpenApplication(AppId::BeyondTv);
    desktop.recordLookups = true;
    remote.Route(Mute);  // adopts: each application looked for once, Beyond TV's window reused
    ExpectEffects(desktop.effects, {"find child VarnelMainPanel_Class|", "find child Streamzap.WM.D3D|",
                                    "find child |InterVideo WinDVR 6", "post beyondtv.target 256 77 0x0"});
    desktop.effects.clear();
    remote.Route(Mute);  // the target's window still exists: no search at all
    ExpectEffects(desktop.effects, {"post beyondtv.target 256 77 0x0"});

    // Its video window replaced by a new one: found again, then kept.
    desktop.Close(desktop.Named("beyondtv.target"));
    desktop.Open("beyondtv.video2", "Streamzap.WM.D3D", "Beyond TV");
    desktop.effects.clear();
    remote.Route(Mute);
    remote.Route(Mute);
    ExpectEffects(desktop.effects, {"find child Streamzap.WM.D3D|", "post beyondtv.video2 256 77 0x0",
                                    "post beyondtv.video2 256 77 0x0"});
}

TEST(Searches, WinDvrsAdoptionAndKeyTargetLookDifferentlySoTheKeyMapStillSearches) {
    FakeDesktop desktop;
    core::State state;
    core::Remote remote(state, desktop);
    desktop.OpenApplication(AppId::WinDvr);
    desktop.recordLookups = true;
    remote.Route(Mute);
    ExpectEffects(desktop.effects, {"find child VarnelMainPanel_Class|", "find child Streamzap.WM.D3D|",
                                    "find child |InterVideo WinDVR 6", "find exact |InterVideo WinDVR 6",
                                    "post windvr.target 256 77 0x320001"});
}
