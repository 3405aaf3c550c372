// The pointer: acceleration of a held key, the screen bounds that stop it,
// and the button toggle.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

struct Pointer : ::testing::Test {
    FakeDesktop desktop;
    core::PointerState pointer;
    Pointer() { core::InitScreenBounds(pointer, 1600, 1200); }
    Effects Hold(int code, int moves) {
        desktop.effects.clear();
        for (int i = 0; i < moves; ++i) core::PointerAction(pointer, desktop, code);
        return desktop.effects;
    }
};

// A run of moves from one position on a screen of the size read at start, and
// the positions set. Nothing but a dropped move restarts the acceleration.
struct MoveRun {
    const char* what;
    int width;
    int height;  // SM_CYFULLSCREEN
    core::Point from;
    std::vector<int> codes;
    Effects effects;
};

std::vector<int> Times(int code, int count, std::vector<int> then = {}) {
    std::vector<int> codes(static_cast<size_t>(count), code);
    codes.insert(codes.end(), then.begin(), then.end());
    return codes;
}

const MoveRun MoveRuns[] = {
    // Code 9 (the Recall key) is down and to the right; 1600 / 160 = 10, 1600 / 80 = 20.
    {"one pixel four times, then the small step, then the large step", 1600, 1200, {800, 600},
     Times(9, 11),
     {"cursor 801,601", "cursor 802,602", "cursor 803,603", "cursor 804,604", "cursor 814,614",
      "cursor 824,624", "cursor 834,634", "cursor 844,644", "cursor 854,654", "cursor 874,674",
      "cursor 894,694"}},
    {"a move onto column 0 is dropped and the next goes one pixel", 1600, 1200, {15, 600},
     Times(4, 7, {6}),
     {"cursor 14,600", "cursor 13,600", "cursor 12,600", "cursor 11,600", "cursor 1,600",
      "cursor 2,600"}},  // -9 and 0: outside, not made
    {"column width - 2 is reached, width - 1 is not", 1600, 1200, {1597, 600}, Times(6, 3),
     {"cursor 1598,600"}},
    {"an odd height at start gives 19 rows more: row 736 is reached, 737 is not", 1024, 719,
     {500, 735}, Times(8, 3), {"cursor 500,736"}},
    {"an even height gives one row less: row 736 is reached, 737 is not", 1024, 738, {500, 735},
     Times(8, 3), {"cursor 500,736"}},
    {"a diagonal is dropped whole, not slid along the edge", 1024, 768, {300, 10}, Times(3, 14),
     {"cursor 301,9", "cursor 302,8", "cursor 303,7", "cursor 304,6", "cursor 305,5", "cursor 306,4",
      "cursor 307,3", "cursor 308,2", "cursor 309,1"}},
    {"narrower than 160 pixels, moves five to nine stay put and set the pointer again", 150, 100,
     {50, 50}, Times(6, 10),
     {"cursor 51,50", "cursor 52,50", "cursor 53,50", "cursor 54,50", "cursor 54,50", "cursor 54,50",
      "cursor 54,50", "cursor 54,50", "cursor 54,50", "cursor 55,50"}},
};

TEST_F(Pointer, ARunOfMovesAcceleratesAndStaysStrictlyInsideTheScreen) {
    for (const MoveRun& run : MoveRuns) {
        SCOPED_TRACE(run.what);
        core::PointerState fresh;
        core::InitScreenBounds(fresh, run.width, run.height);
        desktop.cursor = run.from;
        desktop.effects.clear();
        for (int code : run.codes) core::PointerAction(fresh, desktop, code);
        ExpectEffects(desktop.effects, run.effects);
    }
}

TEST_F(Pointer, EachDirectionKeyMovesItsOwnWay) {
    const std::pair<int, const char*> directions[] = {
        {1, "cursor 799,599"}, {2, "cursor 800,599"}, {3, "cursor 801,599"}, {4, "cursor 799,600"},
        {6, "cursor 801,600"}, {7, "cursor 799,601"}, {8, "cursor 800,601"}, {9, "cursor 801,601"},
    };
    for (const auto& [code, effect] : directions) {
        desktop.cursor = {800, 600};
        pointer.stepCounter = 0;
        ExpectEffects(Hold(code, 1), {effect});
    }
}

TEST_F(Pointer, TheBoundsFollowADisplayChange) {
    core::PointerState changed;
    core::UpdateScreenBounds(changed, (600u << 16) | 800u);
    EXPECT_EQ(changed.bounds.maxX, 799);
    EXPECT_EQ(changed.bounds.maxY, 599);
    EXPECT_EQ(changed.bounds.smallStep, 5);
    EXPECT_EQ(changed.bounds.largeStep, 10);
}

TEST_F(Pointer, SwappedButtonsLeaveTheClicksAsNamedAndTheToggleLetsGoOfTheButtonItPressed) {
    desktop.swapped = true;
    ExpectEffects(Hold(0, 1), {"button 2 @500,400", "button 4 @500,400"});  // left, as named
    ExpectEffects(Hold(10, 1), {"button 8 @500,400", "button 16 @500,400"});
    ExpectEffects(Hold(5, 1), {"button 8 @500,400"});  // right down: the primary button
    desktop.swapped = false;
    ExpectEffects(Hold(5, 1), {"button 16 @500,400"});
    EXPECT_FALSE(pointer.buttonHeld);
}

TEST_F(Pointer, AButtonStillHeldAtExitIsLetGo) {
    Hold(5, 1);
    desktop.effects.clear();
    core::ReleaseHeldButton(pointer, desktop);
    core::ReleaseHeldButton(pointer, desktop);  // once only
    ExpectEffects(desktop.effects, {"button 4 @500,400"});
}

}  // namespace
