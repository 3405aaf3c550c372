// First presses and auto-repeats as a function of the state, the code and the time.
#include <gtest/gtest.h>

#include "ReceiverDouble.h"
#include "apps/TvApplication.h"
#include "card/CaptureFilter.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "remote/KeyPoll.h"
#include "remote/KeyRouter.h"

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

DWORD WINAPI LaterClock() { return 1200; }

TEST(RepeatRule, ATickThatFindsNoKeyLeavesTheRepeatStateAlone) {
    ReceiverDouble receiver;
    receiver.statusValue = 1;  // no key waits
    ReceiverControl = &receiver;
    KeyRepeat = {7, 1000, 2};
    PollOnce(nullptr, LaterClock);
    EXPECT_EQ(KeyRepeat.lastKeyCode, 7);
    EXPECT_EQ(KeyRepeat.lastKeyTime, 1000u);
    EXPECT_EQ(KeyRepeat.repeatCount, 2);
    ReceiverControl = nullptr;
}

// Which reads of a held key reach the router, in each mode.
class Suppression : public ::testing::Test {
protected:
    void TearDown() override {
        ShutdownDialogOpen = 0;
        QuillmarshApp.active = BeyondTvApp.active = WinDvrApp.active = 0;
    }
    // The codes routed for a read with the given repeat count (0: a first press).
    static int Routed(int code, int repeatCount) {
        const RepeatState state{code, 0, repeatCount};
        return SuppressRepeat(state, repeatCount != 0, code);
    }
};

TEST_F(Suppression, TheOneShotKeysActOnlyOnTheirFirstReadInEveryMode) {
    for (int mode = 0; mode < 3; ++mode) {
        ShutdownDialogOpen = mode == 2 ? 1 : 0;
        BeyondTvApp.active = mode == 1 ? 1 : 0;
        for (int code : {PowerKey, StandbyKey, ShutdownOrStandbyKey, ShutdownKey}) {
            EXPECT_EQ(Routed(code, 0), code) << "mode " << mode << " code " << code;
            for (int count : {1, 2, 9, 10, 20})
                EXPECT_EQ(Routed(code, count), SuppressedKey)
                    << "mode " << mode << " code " << code << " repeat " << count;
        }
    }
}

TEST_F(Suppression, OtherKeysKeepTheirRepeats) {
    for (int count : {1, 2, 9, 10, 11})  // no target: every read, so the pointer accelerates
        EXPECT_EQ(Routed(2, count), 2) << count;
    WinDvrApp.active = 1;  // a target: reads 0, 10, 20, ...
    EXPECT_EQ(Routed(2, 0), 2);
    EXPECT_EQ(Routed(2, 9), SuppressedKey);
    EXPECT_EQ(Routed(2, 10), 2);
    EXPECT_EQ(Routed(2, 20), 2);
}

TEST_F(Suppression, OnlyAFirstPressAnswersTheShutdownDialog) {
    ShutdownDialogOpen = 1;
    EXPECT_EQ(Routed(15, 0), 15);
    for (int count : {1, 10}) EXPECT_EQ(Routed(15, count), SuppressedKey) << count;
}

}  // namespace
