// The pointer: acceleration of a held key, the screen bounds that stop it,
// and the button toggle.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

using K = RemoteKey;
constexpr core::Point At = {500, 400};

struct Pointer : ::testing::Test {
    FakeDesktop desktop;
    core::Pointer pointer{desktop};
    Pointer() { pointer.InitScreenBounds(1600, 1200); }
    Effects Press(K key) {
        return desktop.Of([&] { pointer.Act(Code(key)); });
    }
};

// A run of moves from one position on a screen of the size read at start, and
// the positions set. Nothing but a dropped move restarts the acceleration.
struct MoveRun {
    const char* what;
    int width;
    int height;  // SM_CYFULLSCREEN
    core::Point from;
    std::vector<K> keys;
    Effects effects;
};

std::vector<K> Times(K key, int count, std::vector<K> then = {}) {
    std::vector<K> keys(static_cast<size_t>(count), key);
    keys.insert(keys.end(), then.begin(), then.end());
    return keys;
}

const MoveRun MoveRuns[] = {
    // Recall (code 9) is down and to the right; 1600 / 160 = 10, 1600 / 80 = 20.
    {"one pixel four times, then the small step, then the large step", 1600, 1200, {800, 600},
     Times(K::Recall, 11),
     {Cursor(801, 601), Cursor(802, 602), Cursor(803, 603), Cursor(804, 604), Cursor(814, 614),
      Cursor(824, 624), Cursor(834, 634), Cursor(844, 644), Cursor(854, 654), Cursor(874, 674),
      Cursor(894, 694)}},
    {"a move onto column 0 is dropped and the next goes one pixel", 1600, 1200, {15, 600},
     Times(K::Digit5, 7, {K::Digit7}),
     {Cursor(14, 600), Cursor(13, 600), Cursor(12, 600), Cursor(11, 600), Cursor(1, 600),
      Cursor(2, 600)}},  // -9 and 0: outside, not made
    {"column width - 2 is reached, width - 1 is not", 1600, 1200, {1597, 600}, Times(K::Digit7, 3),
     {Cursor(1598, 600)}},
    {"an odd height at start gives 19 rows more: row 736 is reached, 737 is not", 1024, 719,
     {500, 735}, Times(K::Digit9, 3), {Cursor(500, 736)}},
    {"an even height gives one row less: row 736 is reached, 737 is not", 1024, 738, {500, 735},
     Times(K::Digit9, 3), {Cursor(500, 736)}},
    {"a diagonal is dropped whole, not slid along the edge", 1024, 768, {300, 10}, Times(K::Digit4, 14),
     {Cursor(301, 9), Cursor(302, 8), Cursor(303, 7), Cursor(304, 6), Cursor(305, 5), Cursor(306, 4),
      Cursor(307, 3), Cursor(308, 2), Cursor(309, 1)}},
    {"narrower than 160 pixels, moves five to nine stay put and set the pointer again", 150, 100,
     {50, 50}, Times(K::Digit7, 10),
     {Cursor(51, 50), Cursor(52, 50), Cursor(53, 50), Cursor(54, 50), Cursor(54, 50), Cursor(54, 50),
      Cursor(54, 50), Cursor(54, 50), Cursor(54, 50), Cursor(55, 50)}},
};

TEST_F(Pointer, ARunOfMovesAcceleratesAndStaysStrictlyInsideTheScreen) {
    for (const MoveRun& run : MoveRuns) {
        SCOPED_TRACE(run.what);
        core::Pointer fresh{desktop};
        fresh.InitScreenBounds(run.width, run.height);
        desktop.cursor = run.from;
        const auto moves = [&] {
            for (K key : run.keys) fresh.Act(Code(key));
        };
        ExpectEffects(desktop.Of(moves), run.effects);
    }
}

TEST_F(Pointer, EachDirectionKeyMovesItsOwnWay) {
    const std::pair<K, Effect> directions[] = {
        {K::Digit2, Cursor(799, 599)}, {K::Digit3, Cursor(800, 599)}, {K::Digit4, Cursor(801, 599)},
        {K::Digit5, Cursor(799, 600)}, {K::Digit7, Cursor(801, 600)}, {K::Digit8, Cursor(799, 601)},
        {K::Digit9, Cursor(800, 601)}, {K::Recall, Cursor(801, 601)},
    };
    for (const auto& [key, effect] : directions) {
        desktop.cursor = {800, 600};
        pointer.NewRun();
        ExpectEffects(Press(key), {effect});
    }
}

TEST_F(Pointer, TheBoundsFollowADisplayChange) {
    core::Pointer changed{desktop};
    changed.UpdateScreenBounds((600u << 16) | 800u);
    EXPECT_EQ(changed.bounds().maxX, 799);
    EXPECT_EQ(changed.bounds().maxY, 599);
    EXPECT_EQ(changed.bounds().smallStep, 5);
    EXPECT_EQ(changed.bounds().largeStep, 10);
}

TEST_F(Pointer, SwappedButtonsLeaveTheClicksAsNamedAndTheToggleLetsGoOfTheButtonItPressed) {
    desktop.swapped = true;
    // Left, as named.
    ExpectEffects(Press(K::Digit1), {Button(MOUSEEVENTF_LEFTDOWN, At), Button(MOUSEEVENTF_LEFTUP, At)});
    ExpectEffects(Press(K::Digit0), {Button(MOUSEEVENTF_RIGHTDOWN, At), Button(MOUSEEVENTF_RIGHTUP, At)});
    ExpectEffects(Press(K::Digit6), {Button(MOUSEEVENTF_RIGHTDOWN, At)});  // right down: the primary button
    desktop.swapped = false;
    ExpectEffects(Press(K::Digit6), {Button(MOUSEEVENTF_RIGHTUP, At)});
    EXPECT_FALSE(pointer.ButtonHeld());
}

TEST_F(Pointer, AButtonStillHeldAtExitIsLetGo) {
    Press(K::Digit6);
    const auto exit = [&] {
        pointer.ReleaseHeldButton();
        pointer.ReleaseHeldButton();  // once only
    };
    ExpectEffects(desktop.Of(exit), {Button(MOUSEEVENTF_LEFTUP, At)});
}

}  // namespace
