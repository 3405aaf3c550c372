// The virtual remote: lines written for presses as a function of time, and
// the layout of its buttons.
#include <gtest/gtest.h>

#include "HoldTracker.h"
#include "Layout.h"

#include <vector>

namespace {

using vremote::HoldTracker;
constexpr uint64_t T0 = 1000000;

TEST(HoldTracker, AClickShorterThanTheHoldDelayIsOneTap) {
    HoldTracker tracker;
    EXPECT_FALSE(tracker.press(16, T0));
    EXPECT_EQ(tracker.nextDue(), T0 + 350);
    EXPECT_FALSE(tracker.tick(T0 + 349));
    EXPECT_EQ(tracker.release(16, T0 + 349), "tap 16");
    EXPECT_FALSE(tracker.nextDue());
    EXPECT_FALSE(tracker.tick(T0 + 1000));
    EXPECT_FALSE(tracker.release(16, T0 + 1001));  // only one release counts
}

TEST(HoldTracker, AHoldStartsAt350MsIsRenewedEvery150MsAndEndsOnRelease) {
    HoldTracker tracker;
    tracker.press(7, T0);
    EXPECT_EQ(tracker.tick(T0 + 350), "hold 7 400");
    EXPECT_FALSE(tracker.tick(T0 + 499));
    EXPECT_EQ(tracker.tick(T0 + 500), "hold 7 400");
    // A late tick writes once and counts the next renewal from itself.
    EXPECT_EQ(tracker.tick(T0 + 900), "hold 7 400");
    EXPECT_FALSE(tracker.tick(T0 + 1049));
    EXPECT_EQ(tracker.nextDue(), T0 + 1050);
    EXPECT_EQ(tracker.release(7, T0 + 1060), "hold 7 0");
    EXPECT_FALSE(tracker.tick(T0 + 2000));
}

TEST(HoldTracker, AReleaseAfterTheDelayWhoseHoldNeverStartedStillTaps) {
    HoldTracker tracker;
    tracker.press(3, T0);
    EXPECT_EQ(tracker.release(3, T0 + 2000), "tap 3");
}

TEST(HoldTracker, LostCaptureEndsAHoldAndDropsAPressNotYetHeld) {
    HoldTracker tracker;
    tracker.press(3, T0);
    EXPECT_FALSE(tracker.cancel(3, T0 + 100));
    EXPECT_FALSE(tracker.tick(T0 + 400));
    EXPECT_FALSE(tracker.release(3, T0 + 410));

    tracker.press(3, T0 + 1000);
    tracker.tick(T0 + 1350);
    EXPECT_EQ(tracker.cancel(3, T0 + 1360), "hold 3 0");
    EXPECT_FALSE(tracker.down());
}

TEST(HoldTracker, EventsOfAnotherButtonLeaveThePressAlone) {
    HoldTracker tracker;
    tracker.press(1, T0);
    tracker.tick(T0 + 350);
    // The capture passes from button 1 to button 2: its press ends the hold
    // first, and button 1's lost capture does not touch button 2's press.
    EXPECT_EQ(tracker.press(2, T0 + 400), "hold 1 0");
    EXPECT_FALSE(tracker.cancel(1, T0 + 400));
    EXPECT_FALSE(tracker.release(1, T0 + 410));
    EXPECT_EQ(tracker.nextDue(), T0 + 750);
    EXPECT_EQ(tracker.press(5, T0 + 420), "tap 2");
    EXPECT_EQ(tracker.release(5, T0 + 430), "tap 5");
}

bool Overlap(const vremote::Box& a, const vremote::Box& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

void ExpectFits(const core::RemoteKeyRow* keys, size_t count) {
    const vremote::RemoteLayout layout = vremote::LayoutRemote(keys, count);
    ASSERT_EQ(layout.buttons.size(), count);
    EXPECT_TRUE(layout.body.right() <= vremote::RemoteWidth && layout.body.right() <= layout.panel.left);
    EXPECT_TRUE(layout.clientHeight <= vremote::MaxRemoteHeight && layout.clientWidth <= 700);
    for (size_t i = 0; i < count; ++i) {
        const vremote::Box& box = layout.buttons[i];
        EXPECT_GT(box.height, 0);
        EXPECT_TRUE(box.left > layout.body.left && box.right() < layout.body.right() &&
                    box.top > layout.body.top && box.bottom() < layout.body.bottom())
            << keys[i].label;
        const core::KeyPlace place = keys[i].place;
        for (size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(Overlap(box, layout.buttons[j])) << keys[i].label << " " << keys[j].label;
            if (place.row == keys[j].place.row) {
                EXPECT_EQ(box.left < layout.buttons[j].left, place.column < keys[j].place.column);
            }
            if (place.column == keys[j].place.column) {
                EXPECT_EQ(box.top < layout.buttons[j].top, place.row < keys[j].place.row);
            }
        }
    }
}

TEST(Layout, TheRemotesButtonsKeepTheirGridAndFit) {
    ExpectFits(core::RemoteKeys, core::RemoteKeyCount);
}

TEST(Layout, ManyRowsShrinkToFit) {
    std::vector<core::RemoteKeyRow> keys;
    for (uint8_t row = 0; row < 30; ++row)
        for (uint8_t column = 0; column < core::RemoteColumns; ++column)
            keys.push_back({RemoteKey(row * 4 + column), "key", {row, column}, core::Plain, core::NoPointer,
                            core::MachineRole::None});
    ExpectFits(keys.data(), keys.size());
}

}  // namespace
