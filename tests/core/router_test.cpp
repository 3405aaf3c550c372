// Where each key goes: to the pointer, to standby or the shutdown dialog, to
// an application adopted or targeted, to the system's media keys; and the
// searches one key makes on the way.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

using K = RemoteKey;
constexpr core::Point At = {500, 400};  // the pointer, where a click goes

struct Router : RemoteOnDesktop, ::testing::Test {
    Router() { pointer.InitScreenBounds(1024, 768); }
};

// -- no TV application: the pointer, standby and the shutdown dialog

struct NoApplicationRoute {
    const char* what;
    int selector;
    K key;
    Effects effects;
};

const NoApplicationRoute NoApplicationRoutes[] = {
    {"digit 2 moves the pointer up and left a pixel", Quillmarsh.row.selector, K::Digit2, {Cursor(499, 399)}},
    {"digit 1 clicks left", Quillmarsh.row.selector, K::Digit1,
     {Button(MOUSEEVENTF_LEFTDOWN, At), Button(MOUSEEVENTF_LEFTUP, At)}},
    {"digit 0 clicks right", WinDvr.row.selector, K::Digit0,
     {Button(MOUSEEVENTF_RIGHTDOWN, At), Button(MOUSEEVENTF_RIGHTUP, At)}},
    {"digit 6 holds the left button", WinDvr.row.selector, K::Digit6, {Button(MOUSEEVENTF_LEFTDOWN, At)}},
    {"Enter does nothing", Quillmarsh.row.selector, K::Enter, {}},
    {"Mute does nothing", BeyondTv.row.selector, K::Mute, {}},
    {"Standby asks for standby", Quillmarsh.row.selector, K::Standby, {"standby"}},
    {"Off asks for standby", WinDvr.row.selector, K::Off, {"standby"}},
    {"Off with Quillmarsh the default asks for standby too", Quillmarsh.row.selector, K::Off, {"standby"}},
    {"Off with Beyond TV the default asks first", BeyondTv.row.selector, K::Off, {"dialog", "dialog ended"}},
    {"Vol- with Quillmarsh the default asks to shut down", Quillmarsh.row.selector, K::VolumeDown,
     {"dialog", "dialog ended"}},
    {"Vol- otherwise does nothing", BeyondTv.row.selector, K::VolumeDown, {}},
    {"a selector that names no application makes Power do nothing", UnknownSelector(), K::Power, {}},
};

TEST_F(Router, WithoutApplicationsEachKeyGoesWhereTheTableSays) {
    for (const NoApplicationRoute& route : NoApplicationRoutes) {
        SCOPED_TRACE(route.what);
        RemoteOnDesktop on;
        on.pointer.InitScreenBounds(1024, 768);
        on.state.settings.defaultSelector = route.selector;
        on.desktop.cursor = At;
        ExpectEffects(on.Press(route.key), route.effects);
        EXPECT_FALSE(on.shutdown.IsOpen());
    }
}

TEST_F(Router, AWindowOfAnyApplicationKeepsStandbyOffAndTheDialogAway) {
    for (const core::Application& row : core::Applications) {
        SCOPED_TRACE(row.name);
        RemoteOnDesktop other;
        other.desktop.OpenApplication(Fake(row.id));
        other.state.settings.defaultSelector = BeyondTv.row.selector;
        for (K key : {K::Standby, K::Off}) other.router.Route(Code(key), false);
        other.state.settings.defaultSelector = Quillmarsh.row.selector;
        other.router.Route(Code(K::VolumeDown), false);
        // Nor do they adopt the application.
        ExpectEffects(other.desktop.effects, {});
        EXPECT_FALSE(other.power.Of(row.id).active);
    }
}

// -- adoption and the target

TEST_F(Router, AKeyAdoptsQuillmarshBeforeBeyondTvBeforeWinDvr) {
    desktop.OpenApplication(WinDvr);
    desktop.OpenApplication(BeyondTv);
    ExpectEffects(Press(K::Mute), {Post(BeyondTv.keyTarget, WM_KEYDOWN, 'M')});
    EXPECT_TRUE(power.Of(core::AppId::BeyondTv).active);
    desktop.OpenApplication(Quillmarsh);
    // Beyond TV is the target now: it keeps the keys while it runs.
    ExpectEffects(Press(K::Mute), {Post(BeyondTv.keyTarget, WM_KEYDOWN, 'M')});
    desktop.CloseApplication(BeyondTv);
    ExpectEffects(Press(K::Mute), {Command(Quillmarsh, 403)});
    EXPECT_FALSE(power.Of(core::AppId::BeyondTv).active);
    EXPECT_TRUE(power.Of(core::AppId::Quillmarsh).active);
}

TEST_F(Router, ATargetClosedByTheUserGivesItsKeysBackToThePointer) {
    desktop.OpenApplication(WinDvr);
    ExpectEffects(Press(K::Digit2), {Post(WinDvr.keyTarget, WM_KEYDOWN, '2', 0x30001)});
    desktop.CloseApplication(WinDvr);
    ExpectEffects(Press(K::Digit2), {Cursor(499, 399)});
    EXPECT_FALSE(power.Of(core::AppId::WinDvr).active);
}

TEST_F(Router, AsTargetStandbyAndOffDoWhatTheApplicationsMapSays) {
    const struct {
        const FakeApplication& application;
        K key;
        Effects effects;
    } cases[] = {
        {Quillmarsh, K::Standby, {}},
        {Quillmarsh, K::Off, {Command(Quillmarsh, 5)}},
        {Quillmarsh, K::VolumeDown, {Command(Quillmarsh, 5001)}},
        {BeyondTv, K::Standby, {}},
        {BeyondTv, K::Off, {}},
        {WinDvr, K::Standby, {}},
        {WinDvr, K::Off, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.application.name + " key " + std::to_string(Code(c.key)));
        RemoteOnDesktop other;
        other.desktop.OpenApplication(c.application);
        other.power.Of(c.application.row.id).active = true;
        ExpectEffects(other.Press(c.key), c.effects);
        EXPECT_TRUE(other.power.Of(c.application.row.id).active);  // still the target
    }
}

// -- the searches one key makes: each window looked for once at most

TEST_F(Router, AKeyToTheTargetReusesItsWindowWhileItExistsAndAnAdoptionSearchesOnce) {
    desktop.OpenApplication(BeyondTv);
    desktop.recordLookups = true;
    // Adopts: each application looked for once, Beyond TV's window reused.
    ExpectEffects(Press(K::Mute), {Find(Quillmarsh.adopt), Find(BeyondTv.adopt), Find(WinDvr.adopt),
                                   Post(BeyondTv.keyTarget, WM_KEYDOWN, 'M')});
    // The target's window still exists: no search at all.
    ExpectEffects(Press(K::Mute), {Post(BeyondTv.keyTarget, WM_KEYDOWN, 'M')});

    // Its video window replaced by a new one: found again, then kept.
    desktop.Close(BeyondTv.keyTarget);
    const FakeWindow video = desktop.Open("beyondtv.video2", BeyondTv.keyTarget);
    ExpectEffects(desktop.Of([&] { for (int i = 0; i < 2; ++i) router.Route(Code(K::Mute), false); }),
                  {Find(BeyondTv.keyTarget), Post(video, WM_KEYDOWN, 'M'), Post(video, WM_KEYDOWN, 'M')});
}

TEST_F(Router, WinDvrsAdoptionAndKeyTargetLookDifferentlySoTheKeyMapStillSearches) {
    desktop.OpenApplication(WinDvr);
    desktop.recordLookups = true;
    ExpectEffects(Press(K::Mute),
                  {Find(Quillmarsh.adopt), Find(BeyondTv.adopt), Find(WinDvr.adopt), Find(WinDvr.keyTarget),
                   Post(WinDvr.keyTarget, WM_KEYDOWN, 'M', 0x320001)});
}

// -- the system's media keys, typed when "MediaKeys" is 1 and no TV
// application runs; with it off, or with an application running, nothing changes

const std::pair<K, unsigned> MediaRecord[] = {
    {K::Play, VK_MEDIA_PLAY_PAUSE},     {K::Stop, VK_MEDIA_STOP},
    {K::End, VK_MEDIA_STOP},            {K::SkipForward, VK_MEDIA_NEXT_TRACK},
    {K::Next, VK_MEDIA_NEXT_TRACK},     {K::SkipBack, VK_MEDIA_PREV_TRACK},
    {K::Previous, VK_MEDIA_PREV_TRACK}, {K::VolumeUp, VK_VOLUME_UP},
    {K::VolumeDown, VK_VOLUME_DOWN},    {K::Mute, VK_VOLUME_MUTE},
};

struct MediaKeys : Router {
    MediaKeys() {
        state.settings.mediaKeys = true;
        state.settings.defaultSelector = BeyondTv.row.selector;
    }
    // Held for reads 110 ms apart, a second after the last key.
    Effects Hold(K key, int reads) {
        desktop.clock += 1000;
        return desktop.Of([&] {
            for (int i = 0; i < reads; ++i) {
                desktop.clock += 110;
                router.OnRead(Code(key));
            }
        });
    }
    Effects Press(K key) { return Hold(key, 1); }
};

TEST_F(MediaKeys, EachKeyTypesItsMediaKeyOnceDownAndUpAndOffTheyDoNothingAsBefore) {
    for (const bool on : {true, false}) {
        state.settings.mediaKeys = on;
        for (const auto& [key, vk] : MediaRecord) {
            SCOPED_TRACE("key " + std::to_string(Code(key)) + (on ? " on" : " off"));
            ExpectEffects(Press(key), on ? Effects{Chord({vk})} : Effects{});
        }
    }
}

TEST_F(MediaKeys, VolumeDownKeepsTheShutdownDialogWhenQuillmarshIsTheDefault) {
    state.settings.defaultSelector = Quillmarsh.row.selector;
    ExpectEffects(Press(K::VolumeDown), {"dialog", "dialog ended"});
}

TEST_F(MediaKeys, ARunningApplicationGetsItsOwnMapAndThePointerKeepsItsKeys) {
    ExpectEffects(Press(K::Digit2), {Cursor(499, 399)});
    desktop.OpenApplication(BeyondTv);
    ExpectEffects(Press(K::Play), {Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_MEDIA_PLAY_PAUSE)});
    ExpectEffects(Press(K::VolumeUp), {Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_ADD)});
    desktop.CloseApplication(BeyondTv);
    ExpectEffects(Press(K::Play), {Chord({VK_MEDIA_PLAY_PAUSE})});
    desktop.OpenApplication(WinDvr);  // running, not yet adopted: Vol- waits
    ExpectEffects(Press(K::VolumeDown), {});
}

TEST_F(MediaKeys, HeldVolumeKeysRepeatAndTheOthersActOncePerPress) {
    const Effect up = Chord({VK_VOLUME_UP}), down = Chord({VK_VOLUME_DOWN});
    ExpectEffects(Hold(K::VolumeUp, 3), {up, up, up});
    ExpectEffects(Hold(K::VolumeDown, 3), {down, down, down});
    ExpectEffects(Hold(K::Play, 3), {Chord({VK_MEDIA_PLAY_PAUSE})});
    ExpectEffects(Hold(K::Mute, 3), {Chord({VK_VOLUME_MUTE})});
    state.settings.defaultSelector = Quillmarsh.row.selector;
    ExpectEffects(Hold(K::VolumeDown, 3), {"dialog", "dialog ended"});  // one-shot again
}

}  // namespace
