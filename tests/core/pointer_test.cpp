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

TEST_F(Pointer, AHeldKeyGoesOnePixelFourTimesThenTheSmallStepThenTheLargeStep) {
    desktop.cursor = {800, 600};
    // Code 9 (the Recall key) is down and to the right; 1600 / 160 = 10, 1600 / 80 = 20.
    ExpectEffects(Hold(9, 11), {"cursor 801,601", "cursor 802,602", "cursor 803,603", "cursor 804,604",
                                "cursor 814,614", "cursor 824,624", "cursor 834,634", "cursor 844,644",
                                "cursor 854,654", "cursor 874,674", "cursor 894,694"});
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

TEST_F(Pointer, AMoveThatWouldLeaveTheScreenIsNotMadeAndRestartsTheAcceleration) {
    desktop.cursor = {15, 600};
    ExpectEffects(Hold(4, 7), {"cursor 14,600", "cursor 13,600", "cursor 12,600", "cursor 11,600",
                               "cursor 1,600"});  // then -9 and 0: outside, not made
    ExpectEffects(Hold(6, 1), {"cursor 2,600"});  // one pixel again, not the small step
}

TEST_F(Pointer, ADiagonalThatWouldLeaveTheScreenIsDroppedWholeNotSlidAlongTheEdge) {
    core::InitScreenBounds(pointer, 1024, 768);
    desktop.cursor = {300, 10};
    // Up and right (code 3): each dropped move restarts the run at one pixel.
    ExpectEffects(Hold(3, 14), {"cursor 301,9", "cursor 302,8", "cursor 303,7", "cursor 304,6",
                                "cursor 305,5", "cursor 306,4", "cursor 307,3", "cursor 308,2",
                                "cursor 309,1"});
}

TEST_F(Pointer, TheBoundsFollowADisplayChangeAndAnOddHeightAtStart) {
    core::PointerState odd;
    core::InitScreenBounds(odd, 800, 571);
    EXPECT_EQ(odd.bounds.maxY, 589);
    core::UpdateScreenBounds(odd, (600u << 16) | 800u);
    EXPECT_EQ(odd.bounds.maxX, 799);
    EXPECT_EQ(odd.bounds.maxY, 599);
    EXPECT_EQ(odd.bounds.smallStep, 5);
    EXPECT_EQ(odd.bounds.largeStep, 10);
}

TEST_F(Pointer, TheToggleLetsGoOfTheButtonItPressedEvenIfTheButtonsWereSwappedMeanwhile) {
    desktop.swapped = true;
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
