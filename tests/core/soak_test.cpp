// A long random session: codes and gaps as a remote and a user make them,
// TV applications opening and closing, the shutdown dialog opened and
// answered. Nothing may crash, and the state must stay sound throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "FakeDesktop.h"
#include "core/Pointer.h"

namespace {

struct Soak : RemoteOnDesktop, ::testing::Test {};

TEST_F(Soak, ARandomSessionKeepsTheStateSound) {
    // The pointer may stand on columns 1 to 1022 and rows 1 to 766 of this screen.
    constexpr int Width = 1024, Height = 768;
    std::mt19937 random(20261208);
    pointer.InitScreenBounds(Width, Height);
    InstallAll(power);
    const FakeWindow dialog = desktop.Open("dialog", "#32770", "Shut Down");
    int dialogKeys = 0;
    desktop.inDialog = [&] {
        shutdown.ShutdownDialogMade(dialog.ref);
        // A few keys reach the open dialog, then it ends.
        for (int i = 0; i < 3; ++i) {
            desktop.clock += 110;
            router.OnRead(static_cast<int>(random() % 80));
        }
        ++dialogKeys;
    };
    core::Point least = desktop.cursor, most = desktop.cursor;
    // Not checked: that a watched application has the watch's timer. The end
    // of one watched application stops the timer, and another one watched
    // stays so, unexamined, until Power starts the timer again.
    const auto read = [&](int code, uint32_t gap) -> ::testing::AssertionResult {
        desktop.clock += gap;
        router.OnRead(code);
        if (desktop.effects.size() > 10000) desktop.effects.clear();
        if (shutdown.IsOpen()) return ::testing::AssertionFailure() << "the dialog is still open";
        const core::Point at = desktop.cursor;
        least = {std::min(least.x, at.x), std::min(least.y, at.y)};
        most = {std::max(most.x, at.x), std::max(most.y, at.y)};
        if (at.x < 1 || at.x > Width - 2 || at.y < 1 || at.y > Height - 2)
            return ::testing::AssertionFailure() << "the pointer is at " << at.x << "," << at.y;
        return ::testing::AssertionSuccess();
    };
    using K = RemoteKey;
    const K directions[] = {K::Digit2, K::Digit3, K::Digit4, K::Digit5,
                            K::Digit7, K::Digit8, K::Digit9, K::Recall};
    for (int reads = 0; reads < 200000; ++reads) {
        const unsigned roll = random() % 1000;
        if (roll < 10) {
            const FakeApplication& application =
                Fake(static_cast<core::AppId>(random() % core::ApplicationCount));
            if (desktop.Named(application.main) != 0) desktop.CloseApplication(application);
            else desktop.OpenApplication(application);
        } else if (roll < 12) {
            power.ExitWatchTick();
        } else if (roll < 14) {
            // An application's selector, or one that names none.
            const size_t pick = random() % (core::ApplicationCount + 1);
            state.settings.defaultSelector =
                pick < core::ApplicationCount ? core::Applications[pick].selector : UnknownSelector();
        }
        if (roll < 100) {
            // A direction held down, read at every other tick: it takes the
            // pointer to the screen's edges.
            const int code = Code(directions[random() % 8]);
            for (int held = 5 + static_cast<int>(random() % 60); held > 0; --held, ++reads)
                ASSERT_TRUE(read(code, 110)) << "read " << reads;
            continue;
        }
        const uint32_t gap = roll < 500 ? 110 : 65 + random() % 2000;
        const int code = roll < 990 ? static_cast<int>(random() % 80) : static_cast<int>(random() % 256);
        ASSERT_TRUE(read(code, gap)) << "read " << reads;
    }
    EXPECT_GT(dialogKeys, 0);  // the session did reach the dialog
    // And the pointer every edge.
    EXPECT_EQ(least.x, 1);
    EXPECT_EQ(least.y, 1);
    EXPECT_EQ(most.x, Width - 2);
    EXPECT_EQ(most.y, Height - 2);
}

}  // namespace
