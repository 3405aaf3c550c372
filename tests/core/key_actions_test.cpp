// Every key of every key map against a record of what it must do, written
// here apart from the program's own tables: a mistyped entry in either shows
// as a difference. Each key runs in a fresh state with the application's
// windows open.
#include <gtest/gtest.h>

#include <map>

#include "FakeDesktop.h"

namespace {

using K = RemoteKey;
constexpr core::Point At = {500, 400};

struct Record {
    const FakeApplication& application;
    std::map<K, Effects> effects;  // keys without an entry do nothing, not even the lookup
};

// The effects after the lookup of the key-target window.
Effects Looked(const FakeApplication& application, Effects effects) {
    effects.insert(effects.begin(), Find(application.keyTarget));
    return effects;
}

Record WinDvrRecord() {
    const PurposeWindow& target = WinDvr.keyTarget;
    const auto key = [&](unsigned vk, std::intptr_t lParam = 0) {
        return Looked(WinDvr, {Post(target, WM_KEYDOWN, vk, lParam)});
    };
    const auto front = [&](unsigned k1, unsigned k2) {
        return Looked(WinDvr, {Raise(target), Chord({k1, k2})});
    };
    const auto chord = [&](std::initializer_list<unsigned> keys) { return Looked(WinDvr, {Chord(keys)}); };
    const auto move = [&](int dx, int dy) { return Looked(WinDvr, {MoveBy(dx, dy)}); };
    return {WinDvr,
            {{K::Digit1, key('1', 0x00020001)}, {K::Digit2, key('2', 0x00030001)},
             {K::Digit3, key('3', 0x00040001)}, {K::Digit4, key('4', 0x00050001)},
             {K::Digit5, key('5', 0x00060001)}, {K::Digit6, key('6', 0x00070001)},
             {K::Digit7, key('7', 0x00080001)}, {K::Digit8, key('8', 0x00090001)},
             {K::Digit9, key('9', 0x000A0001)}, {K::Recall, key('L')},
             {K::Digit0, key('0', 0x000B0001)}, {K::Enter, key(VK_RETURN, 0x001C0001)},
             // A click, no lookup.
             {K::Ok, {Button(MOUSEEVENTF_LEFTDOWN, At), Button(MOUSEEVENTF_LEFTUP, At)}},
             {K::Up, move(0, -10)}, {K::Down, move(0, 10)}, {K::Left, move(-10, 0)}, {K::Right, move(10, 0)},
             {K::Mute, key('M', 0x00320001)}, {K::Audio, key('U', 0x00160001)},
             {K::Info, front(VK_CONTROL, 'I')}, {K::Zoom, key('Z', 0x002C0001)}, {K::Tv, key('T')},
             {K::Stop, key(VK_END)}, {K::Record, key(VK_HOME)},
             {K::VolumeUp, front(VK_SHIFT, VK_UP)}, {K::VolumeDown, front(VK_SHIFT, VK_DOWN)},
             {K::ChannelUp, key(VK_PRIOR, 0x01490001)}, {K::ChannelDown, key(VK_NEXT, 0x01510001)},
             {K::FastForward, chord({VK_CONTROL, VK_SHIFT, 'F'})},
             {K::Rewind, chord({VK_CONTROL, VK_SHIFT, 'R'})},
             {K::Play, key(VK_SPACE)}, {K::End, key(VK_END)}, {K::Back, key('O')},
             {K::Home, key('H', 0x001E0001)}, {K::Delete, key('P', 0x00190001)},
             {K::Step, {}},  // the fast step, no lookup (see below)
             {K::Previous, chord({VK_CONTROL, 'B'})}, {K::Next, chord({VK_CONTROL, 'F'})}}};
}

Record BeyondTvRecord() {
    const auto keys = [](std::initializer_list<unsigned> vks) {
        Effects posts;
        for (unsigned vk : vks) posts.push_back(Post(BeyondTv.keyTarget, WM_KEYDOWN, vk));
        return Looked(BeyondTv, posts);
    };
    return {BeyondTv,
            {{K::Digit1, keys({VK_NUMPAD1})}, {K::Digit2, keys({VK_NUMPAD2})},
             {K::Digit3, keys({VK_NUMPAD3})}, {K::Digit4, keys({VK_NUMPAD4})},
             {K::Digit5, keys({VK_NUMPAD5})}, {K::Digit6, keys({VK_NUMPAD6})},
             {K::Digit7, keys({VK_NUMPAD7})}, {K::Digit8, keys({VK_NUMPAD8})},
             {K::Digit9, keys({VK_NUMPAD9})},
             {K::Recall, keys({'L'})}, {K::Digit0, keys({VK_NUMPAD0})}, {K::Enter, keys({VK_RETURN})},
             {K::Ok, keys({VK_RETURN})}, {K::Up, keys({VK_UP})}, {K::Down, keys({VK_DOWN})},
             {K::Left, keys({VK_LEFT})}, {K::Right, keys({VK_RIGHT})}, {K::Mute, keys({'M'})},
             {K::Audio, keys({})}, {K::Info, keys({})}, {K::Tv, keys({})},  // the lookup alone
             {K::Zoom, Looked(BeyondTv, {Raise(BeyondTv.keyTarget), Chord({VK_MENU, VK_RETURN})})},
             {K::Stop, keys({'S'})}, {K::Record, keys({'R'})}, {K::VolumeUp, keys({VK_ADD})},
             {K::VolumeDown, keys({VK_SUBTRACT})}, {K::ChannelUp, keys({VK_UP, VK_RETURN})},
             {K::ChannelDown, keys({VK_DOWN, VK_RETURN})}, {K::FastForward, keys({VK_OEM_COMMA})},
             {K::Rewind, keys({VK_OEM_PERIOD})}, {K::SkipBack, keys({VK_LEFT})},
             {K::SkipForward, keys({VK_RIGHT})}, {K::Play, keys({VK_MEDIA_PLAY_PAUSE})},
             {K::End, keys({'S'})},
             {K::Back, keys({VK_ESCAPE})}, {K::Home, keys({VK_HOME})}, {K::Delete, keys({VK_DELETE})},
             {K::Step, keys({'O'})}, {K::Details, keys({'I'})}, {K::Full, keys({VK_F11})},
             {K::Previous, keys({VK_PRIOR})}, {K::Next, keys({VK_NEXT})}}};
}

Record QuillmarshRecord() {
    Record record{Quillmarsh, {}};
    const std::pair<K, unsigned> commands[] = {
        {K::Digit1, 10001}, {K::Digit2, 10002}, {K::Digit3, 10003}, {K::Digit4, 10004}, {K::Digit5, 10005},
        {K::Digit6, 10006}, {K::Digit7, 10007}, {K::Digit8, 10008}, {K::Digit9, 10009}, {K::Recall, 4003},
        {K::Digit0, 10000}, {K::Enter, 10020}, {K::Ok, 18},        {K::Up, 4001},      {K::Down, 4002},
        {K::Left, 402},     {K::Right, 401},   {K::Mute, 403},     {K::Audio, 300},    {K::Info, 200},
        {K::Zoom, 3},       {K::Off, 5},       {K::Tv, 2000},      {K::Stop, 1002},    {K::Record, 1001},
        {K::VolumeUp, 1000}, {K::VolumeDown, 5001}, {K::ChannelUp, 17}, {K::ChannelDown, 8},
        {K::FastForward, 1005}, {K::Rewind, 1004}, {K::SkipBack, 1008}, {K::SkipForward, 1009},
        {K::Play, 3000},    {K::End, 1002},    {K::Back, 4004},    {K::Home, 22},      {K::Delete, 20},
        {K::Step, 21},
    };
    for (const auto& [key, command] : commands)
        record.effects[key] = Looked(Quillmarsh, {Command(Quillmarsh, command)});
    return record;
}

// The key-target window kept from before the key: one that has closed since.
constexpr core::WindowRef GoneWindow = 0x999;

struct Routed {
    Effects effects;
    core::WindowRef stored;  // the key-target window kept after the key
    core::WindowRef target;  // the key-target window open during the key, or 0
};

// One code routed to the application as the target, with or without its
// key-target window; its main window is open, so it stays the target.
Routed RouteToTarget(const FakeApplication& application, int code, bool targetOpen) {
    RemoteOnDesktop on;
    on.desktop.OpenApplication(application);
    on.state.Of(application.row.id).installed = true;
    core::ApplicationRun& own = on.power.Of(application.row.id);
    own.active = true;
    own.targetWindow = GoneWindow;
    own.seenWindow = on.desktop.Named(application.main);
    if (!targetOpen) on.desktop.Close(application.keyTarget);
    on.desktop.recordLookups = true;
    on.router.Route(code, false);
    return {on.desktop.effects, own.targetWindow, on.desktop.Named(application.keyTarget)};
}

class KeyMapRecord : public ::testing::TestWithParam<Record (*)()> {};

TEST_P(KeyMapRecord, EveryCodeDoesWhatTheRecordSays) {
    const Record record = GetParam()();
    const Effect lookup = Find(record.application.keyTarget);
    std::map<int, Effects> byCode;
    for (const auto& [key, effects] : record.effects) byCode[Code(key)] = effects;
    for (int code = 0; code < 256; ++code) {
        if (code == Code(K::Power)) continue;  // the toggle, not the map
        SCOPED_TRACE("code " + std::to_string(code));
        const Effects expected = byCode.count(code) != 0 ? byCode[code] : Effects{};
        const bool looksUp = !expected.empty() && expected.front() == lookup;
        const Routed open = RouteToTarget(record.application, code, true);
        ExpectEffects(open.effects, expected);
        EXPECT_EQ(open.stored, looksUp ? open.target : GoneWindow);
        // Without the key-target window the lookup is all, and its null is
        // kept; what needs no window happens as before.
        const Routed closed = RouteToTarget(record.application, code, false);
        ExpectEffects(closed.effects, looksUp ? Effects{lookup} : expected);
        EXPECT_EQ(closed.stored, looksUp ? 0 : GoneWindow);
    }
}

INSTANTIATE_TEST_SUITE_P(Applications, KeyMapRecord,
                         ::testing::Values(WinDvrRecord, BeyondTvRecord, QuillmarshRecord),
                         [](const auto& info) { return info.param().application.name; });

// WinDVR's windows open, and nothing routed yet.
struct WinDvrPointer : RemoteOnDesktop, ::testing::Test {
    WinDvrPointer() { desktop.OpenApplication(WinDvr); }
};

TEST_F(WinDvrPointer, TheStepKeySwitchesTheMovesBetweenTenAndFiftyPixels) {
    power.Of(core::AppId::WinDvr).active = true;
    for (K key : {K::Up, K::Step, K::Right, K::Down, K::Step, K::Left}) router.Route(Code(key), false);
    // Its video window closed, its panel still open: Up moves nothing, Step
    // still switches.
    desktop.Close(WinDvr.keyTarget);
    for (K key : {K::Up, K::Step}) router.Route(Code(key), false);
    const FakeWindow video = desktop.Open("windvr.video", WinDvr.keyTarget);
    router.Route(Code(K::Up), false);
    ExpectEffects(desktop.effects,
                  {MoveBy(0, -10), MoveBy(50, 0), MoveBy(0, 50), MoveBy(-10, 0), MoveBy(0, -50)});
    // All its windows closed: it is let go, and Up is no pointer key.
    desktop.CloseApplication(WinDvr);
    desktop.Close(video);
    ExpectEffects(desktop.Of([&] { router.Route(Code(K::Up), false); }), {});
    EXPECT_FALSE(power.Of(core::AppId::WinDvr).active);
}

TEST_F(WinDvrPointer, AdoptionStartsAtTheSlowStep) {
    power.Of(core::AppId::WinDvr).fastStep = true;  // left over from an earlier adoption
    ExpectEffects(Press(K::Up), {MoveBy(0, -10)});
}

}  // namespace
