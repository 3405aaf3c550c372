// First presses and auto-repeats as a function of the state, the code and the time.
#include <gtest/gtest.h>

#include "pointer/Pointer.h"
#include "receiver/KeyPoll.h"

namespace {

TEST(RepeatRule, SameCodeWithin249MsIsARepeat) {
    RepeatState state{4, 1000, 0};
    EXPECT_TRUE(UpdateRepeatState(state, 4, 1249));
    EXPECT_EQ(state.repeatCount, 1);
    EXPECT_EQ(state.lastKeyTime, 1249u);
    EXPECT_FALSE(UpdateRepeatState(state, 4, 1499));  // exactly 250 ms later
    EXPECT_EQ(state.repeatCount, 0);
}

TEST(RepeatRule, ADifferentCodeIsAFirstPressHoweverShortTheGap) {
    RepeatState state{4, 1000, 3};
    EXPECT_FALSE(UpdateRepeatState(state, 5, 1001));
    EXPECT_EQ(state.repeatCount, 0);
    EXPECT_EQ(state.lastKeyCode, 5);
}

TEST(RepeatRule, AHeldKeyStaysOneRunBecauseEachReadIsComparedWithTheLast) {
    RepeatState state;
    UpdateRepeatState(state, 16, 5000);
    for (int read = 1; read <= 30; ++read)
        EXPECT_TRUE(UpdateRepeatState(state, 16, 5000 + 100 * read)) << read;
    EXPECT_EQ(state.repeatCount, 30);
}

TEST(RepeatRule, TheTickCounterWrapDoesNoHarm) {
    RepeatState state;
    UpdateRepeatState(state, 9, 0xFFFFFFC0u);
    EXPECT_TRUE(UpdateRepeatState(state, 9, 0x00000024u));  // 100 ms later, past 2^32
    EXPECT_FALSE(UpdateRepeatState(state, 9, 0x00000024u + 300));
}

TEST(RepeatRule, AFirstPressRestartsPointerAccelerationARepeatDoesNot) {
    RepeatState state;
    UpdateRepeatState(state, 2, 100);
    StepCounter = 7;
    UpdateRepeatState(state, 2, 165);
    EXPECT_EQ(StepCounter, 7);
    UpdateRepeatState(state, 3, 230);
    EXPECT_EQ(StepCounter, 0);
}

}  // namespace
