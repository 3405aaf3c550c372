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
constexpr const char* ChromePrograms[] = {"chrome.exe"};
constexpr const char* SiteTitles[] = {"* - YouTube*", "Watch ?? | Site"};
const core::Profile Matched[] = {
    {"VLC", {VlcPrograms, 1}, {SharedClasses, 2}, {nullptr, 0}, {nullptr, 0}},
    {"MPC-HC", {MpcPrograms, 1}, {MpcClasses, 1}, {nullptr, 0}, {nullptr, 0}},
    {"Browser", {ChromePrograms, 1}, {nullptr, 0}, {nullptr, 0}, {nullptr, 0}},
    {"YouTube", {ChromePrograms, 1}, {nullptr, 0}, {SiteTitles, 2}, {nullptr, 0}},
};

TEST(MatchProfile, TheProgramInAnyCaseThenTheClassChooseTheProfileAndATitleFirstWhereItFits) {
    const struct {
        const char* what;
        const char* program;
        const char* windowClass;
        const char* title;
        const char* profile;  // null: none
    } cases[] = {
        {"the program, in any letter case", "VLC.EXE", "", "", "VLC"},
        {"the class, when no program matches", "other.exe", "mediaplayerclassicw", "", "MPC-HC"},
        {"a later profile's program before an earlier one's class", "mpc-hc.exe", "SharedClass", "", "MPC-HC"},
        {"empty names never match, not even an empty name in a profile", "", "", "", nullptr},
        {"a window no profile names", "notepad.exe", "Notepad", "", nullptr},
        {"a later profile whose title fits", "chrome.exe", "", "Cats - YouTube - Google Chrome", "YouTube"},
        {"a title in any letter case", "chrome.exe", "", "CATS - youtube", "YouTube"},
        {"* for nothing", "chrome.exe", "", " - YouTube", "YouTube"},
        {"a title that does not fit", "chrome.exe", "", "Inbox - Mail - Google Chrome", "Browser"},
        {"a title that fits but for its start", "chrome.exe", "", "YouTube - Google Chrome", "Browser"},
        {"? for one character", "chrome.exe", "", "Watch 42 | Site", "YouTube"},
        {"? for a character of two or three bytes", "chrome.exe", "", "Watch \xC3\xA9\xE2\x82\xAC | Site", "YouTube"},
        {"? for no character", "chrome.exe", "", "Watch 4 | Site", "Browser"},
        {"? for two", "chrome.exe", "", "Watch 421 | Site", "Browser"},
        {"no title", "chrome.exe", "", "", "Browser"},
        {"another program's window with the title", "notepad.exe", "", "Cats - YouTube", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        core::Foreground front = Front(c.program, c.windowClass);
        std::strncpy(front.title, c.title, sizeof front.title - 1);
        const core::Profile* profile = core::MatchProfile({Matched, std::size(Matched)}, front);
        EXPECT_STREQ(profile != nullptr ? profile->name : nullptr, c.profile);
    }
}

TEST(MatchProfile, PatternsMatchTheWholeTitleAndTakeTimeOnlyInProportion) {
    EXPECT_TRUE(core::MatchesPattern("*", ""));
    EXPECT_TRUE(core::MatchesPattern("*ab*ab", "xabyab"));
    EXPECT_FALSE(core::MatchesPattern("*ab*ab", "xabyabz"));
    EXPECT_FALSE(core::MatchesPattern("a*", ""));
    EXPECT_FALSE(core::MatchesPattern("?", ""));
    EXPECT_FALSE(core::MatchesPattern("abc", "abcd"));
    // A pattern that makes a naive matcher try every split of the title.
    const std::string title(core::ForegroundTitleSize - 1, 'a');
    EXPECT_FALSE(core::MatchesPattern("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", title.c_str()));
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
    core::Type(K::Ok, VK_RETURN),
    core::Held(core::Type(K::Ok, 'C')),
    core::Once(core::Type(K::FastForward, 'F')),
    core::Repeats(core::Type(K::Enter, VK_RETURN)),
    // The machine's own keys are never the profile's.
    core::Type(K::Power, 'P'),
    core::Type(K::Standby, 'S'),
    core::Type(K::Off, 'O'),
};
const core::Profile Player[] = {
    {"Player", {PlayerPrograms, 1}, {nullptr, 0}, {nullptr, 0}, {PlayerRows, std::size(PlayerRows)}}};

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

// What a poll did, and when: milliseconds from the first.
struct PollDid {
    uint32_t at;
    Effects effects;
};

// The remote sends the key's frame every RemoteRepeatMs while it is held
// (heldMs 0: one frame, a tap), and the poll looks every 65 ms until a
// second after: the effects of each poll that had any.
constexpr uint32_t RemoteRepeatMs = 110;
// A busy machine may hold the poll up (no poll from busyFrom to busyTo).
std::vector<PollDid> HoldOnRemote(PlayerInFront& remote, K key, uint32_t heldMs, uint32_t busyFrom = 0,
                                  uint32_t busyTo = 0) {
    std::vector<PollDid> did;
    const uint32_t start = remote.desktop.clock;
    uint32_t nextFrame = 0;
    for (uint32_t at = 0; at <= heldMs + 1000; at += core::PollIntervalMs) {
        if (at > busyFrom && at < busyTo) continue;
        remote.desktop.clock = start + at;
        Effects effects = remote.desktop.Of([&] {
            remote.router.OnPoll(remote.desktop.clock);
            bool sent = false;
            for (; nextFrame <= at && nextFrame <= heldMs; nextFrame += RemoteRepeatMs) sent = true;
            if (sent)
                remote.router.OnRead(Code(key));
            else
                remote.router.OnNoKey(remote.desktop.clock);
        });
        if (!effects.empty()) did.push_back({at, effects});
    }
    return did;
}

Options InFront(const char* program, bool mediaKeys) {
    Options options;
    options.program = program;
    options.mediaKeys = mediaKeys;
    return options;
}

Options MediaKeysOn() { return InFront("player.exe", true); }

Options ProfilesOff(bool mediaKeys) {
    Options options = InFront("player.exe", mediaKeys);
    options.profiles = false;
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

TEST(ProfileRoute, AKeyWithAHoldActionActsOnceShortWhenLetGoOrHeldAfterAboutASecond) {
    const struct {
        const char* what;
        uint32_t heldMs;
        Effects effects;
        uint32_t from, to;  // the poll that acts
        uint32_t busyFrom = 0, busyTo = 0;
    } presses[] = {
        // Let go when no frame has come for the repeat rule's 250 ms.
        {"a tap", 0, {Typed({VK_RETURN})}, core::RepeatWindowMs, core::RepeatWindowMs + core::PollIntervalMs},
        // Frames at 0, 110, 220 and 330 ms, the last read at 390.
        {"a short press", 330, {Typed({VK_RETURN})}, 390 + core::RepeatWindowMs,
         390 + core::RepeatWindowMs + core::PollIntervalMs},
        {"held for two seconds", 2000, {Typed({'C'})}, core::LongPressMs, core::LongPressMs + core::PollIntervalMs},
        // The first poll after the busy time reads the key: it was held throughout.
        {"held while the poll was held up", 2000, {Typed({'C'})}, core::LongPressMs,
         core::LongPressMs + core::PollIntervalMs, 130, 650},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.what);
        PlayerInFront remote(MediaKeysOn());
        const std::vector<PollDid> did = HoldOnRemote(remote, K::Ok, press.heldMs, press.busyFrom, press.busyTo);
        ASSERT_EQ(did.size(), 1u);
        ExpectEffects(did[0].effects, press.effects);
        EXPECT_GE(did[0].at, press.from);
        EXPECT_LT(did[0].at, press.to);
        EXPECT_EQ(remote.desktop.foregroundLookups, 1);
    }
    // Another key read while the key waits: the key was let go, and acts first.
    PlayerInFront remote(MediaKeysOn());
    ExpectEffects(remote.desktop.Of([&] {
        remote.router.OnRead(Code(K::Ok));
        remote.desktop.clock += core::PollIntervalMs;
        remote.router.OnRead(Code(K::Play));
    }),
                  {Typed({VK_RETURN}), Typed({VK_SPACE})});
}

TEST(ProfileRoute, ARowActsOncePerPressOrRepeatsAsItSaysWithoutWaiting) {
    const struct {
        K key;
        Effects first;  // at the first read
        size_t acts;    // in two seconds
    } holds[] = {
        {K::FastForward, {Typed({'F'})}, 1},  // a key that repeats, once
        {K::Enter, {Typed({VK_RETURN})}, 19},  // a key that acts once, repeating
        {K::Right, {Typed({VK_MENU, VK_RIGHT})}, 19},
        {K::Play, {Typed({VK_SPACE})}, 1},
    };
    for (const auto& hold : holds) {
        SCOPED_TRACE(KeyLabel(Code(hold.key)));
        PlayerInFront remote(MediaKeysOn());
        const std::vector<PollDid> did = HoldOnRemote(remote, hold.key, 2000);
        ASSERT_EQ(did.size(), hold.acts);
        EXPECT_EQ(did[0].at, 0u);
        ExpectEffects(did[0].effects, hold.first);
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
