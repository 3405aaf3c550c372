// The repeat rule: which reads of a held key are routed at all. Reads come
// 110 ms apart, as a real remote sends them.
#include <gtest/gtest.h>

#include <optional>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

using core::AppId;
using K = RemoteKey;

struct Read {
    K key;
    uint32_t time;
};
// A tick of the poll, and the key it reads, if any.
struct TickAt {
    std::optional<K> key;
    uint32_t time;
};
constexpr std::optional<K> NoKey;

// What the rule made of each read, where the rest of the remote stands as situation
// says: 'x' routed as read, '.' dropped, '?' anything else.
char Routed(const core::RepeatRule& rule, const core::Situation& situation, bool repeat, K key) {
    const int routed = rule.SuppressRepeat(repeat, Code(key), situation);
    return routed == Code(key) ? 'x' : routed == core::SuppressedKey ? '.' : '?';
}

std::string Routed(core::RepeatRule& rule, const std::vector<Read>& reads,
                   const core::Situation& situation = {}) {
    std::string routed;
    for (const Read& read : reads)
        routed += Routed(rule, situation, rule.UpdateRepeatState(Code(read.key), read.time), read.key);
    return routed;
}

constexpr core::Situation WithTarget = {false, true, false};

// A rule with the settings as they are at start.
struct RepeatRule : ::testing::Test {
    core::Settings settings;
    core::RepeatRule rule{settings};
};

std::vector<Read> Held(K key, int reads, uint32_t from = 1000) {
    std::vector<Read> held;
    for (int i = 0; i < reads; ++i) held.push_back({key, from + 110 * static_cast<uint32_t>(i)});
    return held;
}

TEST_F(RepeatRule, WithoutTargetEveryReadOfAHeldKeyIsRouted) {
    EXPECT_EQ(Routed(rule, Held(K::Digit2, 4)), "xxxx");
}

TEST_F(RepeatRule, WithATargetAHeldKeyActsOnceThenEveryTenthRepeatCountedForThatKey) {
    EXPECT_EQ(Routed(rule, Held(K::Mute, 22), WithTarget), "x.........x.........x.");
    // Another key held straight after: its own first press and tenth repeat.
    EXPECT_EQ(Routed(rule, Held(K::Up, 15, 1000 + 110 * 22), WithTarget), "x.........x....");
}

TEST_F(RepeatRule, OneShotKeysActOncePerPressWhateverTheTarget) {
    const std::pair<K, const char*> oneShot[] = {
        {K::Power, "Power"}, {K::Standby, "Standby"}, {K::Off, "Off"}, {K::VolumeDown, "Vol-"}};
    const std::optional<AppId> targets[] = {std::nullopt, AppId::Quillmarsh, AppId::BeyondTv, AppId::WinDvr};
    for (const std::optional<AppId>& target : targets)
        for (const auto& [key, name] : oneShot) {
            core::RepeatRule fresh{settings};
            const core::Situation situation = {false, target.has_value(), false};
            EXPECT_EQ(Routed(fresh, Held(key, 22), situation), "x.....................")
                << name << " with " << (target ? Fake(*target).name : "no target") << " the target";
        }
}

TEST_F(RepeatRule, WhileTheDialogIsOpenOnlyFirstPressesCount) {
    const core::Situation dialogOpen = {true, false, false};
    EXPECT_EQ(Routed(rule, Held(K::Digit2, 3), dialogOpen), "x..");
}

TEST_F(RepeatRule, APressAfterAPauseOrAnotherKeyIsAFirstPressAgain) {
    const std::vector<Read> reads = {{K::Mute, 1000}, {K::Mute, 1249},  // 249 ms: still held
                                     {K::Mute, 1499},                   // 250 ms: a new press
                                     {K::Digit2, 1609}, {K::Mute, 1719}};
    EXPECT_EQ(Routed(rule, reads, WithTarget), "x.xxx");
}

TEST_F(RepeatRule, TheTickCountersWrapDoesNotBreakAHold) {
    // 100 ms apart, the counter wrapping past 2^32 between the first two.
    EXPECT_EQ(Routed(rule, {{K::Mute, 0xFFFFFFC0u}, {K::Mute, 36}, {K::Mute, 136}}, WithTarget), "x..");
}

TEST_F(RepeatRule, TicksHeldUpByABusyMachineAreNoGapInAHeldKeyButASleepIs) {
    // Power held: read at every tick, one tick 400 ms late (the remote sent
    // it all along); let go for 325 ms of ticks; pressed again, held across
    // a tick 1.9 s late (still a busy machine) and then across 2.1 s without
    // a tick (a sleep: nothing is known of the key); let go while the ticks
    // come every 200 ms, each finding no key, and pressed again 800 ms later;
    // let go for three ticks, and read again by a tick 400 ms late: counted
    // as read one period after the tick before, 260 ms after the last read.
    const std::vector<TickAt> ticks = {
        {K::Power, 1000}, {K::Power, 1065}, {K::Power, 1465}, {K::Power, 1530}, {NoKey, 1595},
        {NoKey, 1660},    {NoKey, 1725},    {NoKey, 1790},    {K::Power, 1855}, {K::Power, 3755},
        {K::Power, 5855}, {NoKey, 6055},    {NoKey, 6255},    {NoKey, 6455},    {K::Power, 6655},
        {NoKey, 6720},    {NoKey, 6785},    {NoKey, 6850},    {K::Power, 7250}};
    std::string routed;
    for (const TickAt& tick : ticks) {
        rule.Polled(tick.time);
        if (!tick.key) continue;
        routed += Routed(rule, {}, rule.UpdateRepeatState(Code(*tick.key), tick.time), *tick.key);
        rule.ActedOnRead(tick.time);
    }
    EXPECT_EQ(routed, "x...x.xxx");
}

struct RepeatRuleInRouter : RemoteOnDesktop, ::testing::Test {};

TEST_F(RepeatRuleInRouter, ANewPressRestartsThePointersAcceleration) {
    pointer.InitScreenBounds(1024, 768);
    for (int i = 0; i < 6; ++i) {
        if (i > 0) desktop.clock += 110;
        router.OnRead(Code(K::Digit2));
    }
    // Then 300 ms of ticks that find no key, which do not count: the gap is
    // from the previous read, not from the last tick.
    for (int tick = 0; tick < 4; ++tick) router.OnPoll(desktop.clock += 65);
    desktop.clock += 40;
    router.OnPoll(desktop.clock);
    router.OnRead(Code(K::Digit2));
    // Up and left: four one-pixel moves, then the small step (1024 / 160 = 6),
    // then one pixel again.
    ExpectEffects(desktop.effects, {Cursor(499, 399), Cursor(498, 398), Cursor(497, 397), Cursor(496, 396),
                                    Cursor(490, 390), Cursor(484, 384), Cursor(483, 383)});
}

}  // namespace
