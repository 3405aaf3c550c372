// Profiles for other players in the router: which profile the window in front
// chooses, which keys it takes and which go on to the media keys and the
// pointer, what a held key does there, how often the window in front is asked
// for, and what the key display shows.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "FakeDesktop.h"
#include "core/Pointer.h"
#include "core/Profiles.h"

namespace {

using K = RemoteKey;
constexpr core::Point At = {500, 400};
constexpr core::WindowRef PlayerWindow = 0x777;
const Effects Click = {Button(MOUSEEVENTF_LEFTDOWN, At), Button(MOUSEEVENTF_LEFTUP, At)};

core::Foreground Front(const char* program, const char* windowClass = "") {
    core::Foreground front;
    front.window = PlayerWindow;
    std::strncpy(front.program, program, sizeof front.program - 1);
    std::strncpy(front.windowClass, windowClass, sizeof front.windowClass - 1);
    return front;
}

// -- which profile

constexpr const char* VlcPrograms[] = {"vlc.exe"};
constexpr const char* SharedClasses[] = {"SharedClass", ""};
constexpr const char* MpcPrograms[] = {"mpc-hc.exe"};
constexpr const char* MpcClasses[] = {"MediaPlayerClassicW"};
const core::Profile Matched[] = {
    {"VLC", {VlcPrograms, 1}, {SharedClasses, 2}, {nullptr, 0}},
    {"MPC-HC", {MpcPrograms, 1}, {MpcClasses, 1}, {nullptr, 0}},
};

TEST(MatchProfile, TheProgramInAnyCaseThenTheClassChooseTheProfile) {
    const struct {
        const char* what;
        const char* program;
        const char* windowClass;
        const char* profile;  // null: none
    } cases[] = {
        {"the program, in any letter case", "VLC.EXE", "", "VLC"},
        {"the class, when no program matches", "other.exe", "mediaplayerclassicw", "MPC-HC"},
        {"a later profile's program before an earlier one's class", "mpc-hc.exe", "SharedClass", "MPC-HC"},
        {"empty names never match, not even an empty name in a profile", "", "", nullptr},
        {"a window no profile names", "notepad.exe", "Notepad", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const core::Profile* profile =
            core::MatchProfile({Matched, std::size(Matched)}, Front(c.program, c.windowClass));
        EXPECT_STREQ(profile != nullptr ? profile->name : nullptr, c.profile);
    }
}

// -- the router

constexpr const char* PlayerPrograms[] = {"player.exe"};
constexpr core::KeyAction PlayerRows[] = {
    core::Type(K::Play, VK_SPACE),
    core::Chord(K::Right, VK_MENU, VK_RIGHT),
    core::Chord(K::VolumeUp, VK_CONTROL, VK_UP),
    core::Type(K::VolumeDown, VK_F9),
    core::AppCommand(K::Mute, APPCOMMAND_VOLUME_MUTE),
    core::LeaveToPointer(K::Digit1),
    core::LeaveToPointer(K::SkipForward),
    core::DoNothing(K::Next),
    core::DoNothing(K::Digit3),
    core::Type(K::Digit9, '9'),  // a pointer key
    // The machine's own keys are never the profile's.
    core::Type(K::Power, 'P'),
    core::Type(K::Standby, 'S'),
    core::Type(K::Off, 'O'),
};
const core::Profile Player[] = {
    {"Player", {PlayerPrograms, 1}, {nullptr, 0}, {PlayerRows, std::size(PlayerRows)}}};

struct Options {
    bool profiles = true;
    bool mediaKeys = false;
    bool showKeys = false;
    int selector = WinDvr.row.selector;  // Vol- is a media key
    const char* program = "player.exe";
    bool builtInProfiles = false;  // else the player's above
};

// A remote with the player in front.
struct PlayerInFront : RemoteOnDesktop {
    explicit PlayerInFront(const Options& options) {
        pointer.InitScreenBounds(1024, 768);
        InstallAll(power);
        state.settings.profiles = options.profiles;
        state.settings.mediaKeys = options.mediaKeys;
        state.settings.showKeys = options.showKeys;
        state.settings.defaultSelector = options.selector;
        desktop.profiles = {Player, std::size(Player)};
        if (options.builtInProfiles) desktop.profiles = core::BuiltInProfiles;
        desktop.foreground = Front(options.program);
        desktop.cursor = At;
    }

    // Reads of a key held down, 100 ms apart: the first press, then repeats.
    Effects Hold(K key, int reads) {
        return desktop.Of([&] {
            for (int i = 0; i < reads; ++i) {
                router.OnRead(Code(key));
                desktop.clock += 100;
            }
        });
    }
};

Options ProfilesOff(bool mediaKeys) {
    Options options;
    options.profiles = false;
    options.mediaKeys = mediaKeys;
    return options;
}

Options MediaKeysOn() {
    Options options;
    options.mediaKeys = true;
    return options;
}

Options InFront(const char* program, bool mediaKeys) {
    Options options;
    options.program = program;
    options.mediaKeys = mediaKeys;
    return options;
}

struct Route {
    const char* what;
    Options options;
    K key;
    Effects effects;
    int lookups;  // of the window in front
};

const Route Routes[] = {
    {"with Profiles off the media keys act, and the window in front is not asked for", ProfilesOff(true),
     K::Play, {Chord({VK_MEDIA_PLAY_PAUSE})}, 0},
    {"with Profiles off the pointer acts", ProfilesOff(false), K::Digit2, {Cursor(499, 399)}, 0},
    {"a key the profile types", {}, K::Play, {Typed({VK_SPACE})}, 1},
    {"a chord the profile types", MediaKeysOn(), K::Right, {Typed({VK_MENU, VK_RIGHT})}, 1},
    {"an app command to the window in front", MediaKeysOn(), K::Mute,
     {AppCommandTo(PlayerWindow, APPCOMMAND_VOLUME_MUTE)}, 1},
    {"Vol- where the default gives it the media key's role", MediaKeysOn(), K::VolumeDown,
     {Typed({VK_F9})}, 1},
    {"a key the profile leaves out goes to the media keys", MediaKeysOn(), K::Stop,
     {Chord({VK_MEDIA_STOP})}, 1},
    {"a key the profile leaves out goes to the pointer", {}, K::Digit2, {Cursor(499, 399)}, 1},
    {"a key the profile leaves out does nothing where nothing takes it", {}, K::Stop, {}, 1},
    {"a Pointer row goes to the pointer", {}, K::Digit1, Click, 1},
    {"a Pointer row goes to the media keys", MediaKeysOn(), K::SkipForward,
     {Chord({VK_MEDIA_NEXT_TRACK})}, 1},
    {"a Nothing row keeps the key from the media keys", MediaKeysOn(), K::Next, {}, 1},
    {"a Nothing row keeps the key from the pointer", {}, K::Digit3, {}, 1},
    {"a window without a profile keeps the media keys", InFront("notepad.exe", true), K::Play,
     {Chord({VK_MEDIA_PLAY_PAUSE})}, 1},
    {"a window without a profile keeps the pointer", InFront("notepad.exe", false), K::Digit1, Click, 1},
};

TEST(ProfileRoute, AKeyNoTvApplicationTakesGoesToTheProfileElseOnAsBefore) {
    for (const Route& route : Routes) {
        SCOPED_TRACE(route.what);
        PlayerInFront remote(route.options);
        ExpectEffects(remote.Press(route.key), route.effects);
        EXPECT_EQ(remote.desktop.foregroundLookups, route.lookups);
    }
}

TEST(ProfileRoute, PowerStandbyOffAndVolDownKeepTheirRolesUnasked) {
    const struct {
        K key;
        int selector;
    } keys[] = {
        {K::Power, WinDvr.row.selector},
        {K::Standby, WinDvr.row.selector},
        {K::Off, BeyondTv.row.selector},           // the shutdown dialog
        {K::VolumeDown, Quillmarsh.row.selector},  // the shutdown dialog
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(KeyLabel(Code(key.key)));
        Options with;
        with.selector = key.selector;
        Options without = with;
        without.profiles = false;
        PlayerInFront profiles(with);
        PlayerInFront none(without);
        ExpectEffects(profiles.Press(key.key), none.Press(key.key));
        EXPECT_FALSE(profiles.desktop.effects.empty());
        EXPECT_EQ(profiles.desktop.foregroundLookups, 0);
    }
}

TEST(ProfileRoute, ATvApplicationRunningOrAdoptedTakesTheKeysUnasked) {
    PlayerInFront remote(MediaKeysOn());
    remote.desktop.OpenApplication(BeyondTv);
    for (const char* when : {"running", "adopted"}) {
        SCOPED_TRACE(when);
        ExpectEffects(remote.Press(K::Play), {Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_MEDIA_PLAY_PAUSE)});
        ExpectEffects(remote.Press(K::VolumeDown), {Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_SUBTRACT)});
    }
    EXPECT_EQ(remote.desktop.foregroundLookups, 0);
}

TEST(ProfileRoute, AHeldDirectionOrVolumeKeyRepeatsAndAHeldPlayActsOnceAndGoesNowhereElse) {
    Options vlc = InFront("vlc.exe", true);
    vlc.builtInProfiles = true;
    const struct {
        const char* what;
        Options options;
        K key;
        Effects effects;
    } holds[] = {
        {"Right", {}, K::Right, Effects(3, Typed({VK_MENU, VK_RIGHT}))},
        {"Vol+", MediaKeysOn(), K::VolumeUp, Effects(3, Typed({VK_CONTROL, VK_UP}))},
        {"Vol-, a media key with WinDVR 6 the default", {}, K::VolumeDown, Effects(3, Typed({VK_F9}))},
        {"Play", {}, K::Play, {Typed({VK_SPACE})}},
        {"Play in VLC (Space) with the media keys on", vlc, K::Play, {Typed({VK_SPACE})}},
        {"9, typed where the pointer would move", MediaKeysOn(), K::Digit9, {Typed({'9'})}},
        {"Mute, an app command", {}, K::Mute, {AppCommandTo(PlayerWindow, APPCOMMAND_VOLUME_MUTE)}},
    };
    for (const auto& hold : holds) {
        SCOPED_TRACE(hold.what);
        PlayerInFront remote(hold.options);
        ExpectEffects(remote.Hold(hold.key, 3), hold.effects);
        EXPECT_LE(remote.desktop.foregroundLookups, 3);
    }
}

TEST(ProfileRoute, TheKeyDisplayShowsWhoActedAndWhatOnlyWhenItIsOn) {
    Options on = MediaKeysOn();
    on.showKeys = true;
    PlayerInFront remote(on);
    ExpectEffects(remote.Press(K::Play), {Typed({VK_SPACE}), Shown("Player", "Play")});
    ExpectEffects(remote.Press(K::Mute),
                  {AppCommandTo(PlayerWindow, APPCOMMAND_VOLUME_MUTE), Shown("Player", "Mute")});
    ExpectEffects(remote.Press(K::Digit1), Then({Click, {Shown(core::PointerAction::LeftClick)}}));
    ExpectEffects(remote.Press(K::SkipForward), {Chord({VK_MEDIA_NEXT_TRACK}), Shown(core::KeyDoer::Media, "Skip+")});
    remote.desktop.foreground = Front("notepad.exe");
    ExpectEffects(remote.Press(K::VolumeUp), {Chord({VK_VOLUME_UP}), Shown(core::KeyDoer::Media, "Vol+")});
    remote.desktop.OpenApplication(BeyondTv);
    ExpectEffects(remote.Press(K::ChannelUp), {Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_UP),
                                               Post(BeyondTv.keyTarget, WM_KEYDOWN, VK_RETURN),
                                               Shown(BeyondTv.row.name, "Ch+")});
}

}  // namespace
