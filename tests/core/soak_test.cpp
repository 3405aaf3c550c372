// A long random session: codes and gaps as a remote and a user make them,
// TV applications opening and closing, the shutdown dialog opened and
// answered. Nothing may crash, and the state must stay sound throughout.
#include <gtest/gtest.h>

#include <random>

#include "FakeDesktop.h"
#include "core/Pointer.h"
#include "core/Remote.h"

namespace {

using core::AppId;

TEST(Soak, ARandomSessionKeepsTheStateSound) {
    std::mt19937 random(20261208);
    FakeDesktop desktop;
    core::State state;
    core::InitScreenBounds(state.pointer, 1024, 768);
    for (AppId id : {AppId::Quillmarsh, AppId::BeyondTv, AppId::WinDvr})
        state.Of(id).installed = true;
    core::Remote remote(state, desktop);
    const core::WindowRef dialog = desktop.Open("dialog", "#32770", "Shut Down");
    int dialogKeys = 0;
    desktop.inDialog = [&] {
        state.shutdownDialog = dialog;
        // A few keys reach the open dialog, then it ends.
        for (int i = 0; i < 3; ++i) {
            desktop.clock += 110;
            remote.OnRead(static_cast<int>(random() % 80));
        }
        ++dialogKeys;
    };
    const AppId apps[] = {AppId::Quillmarsh, AppId::BeyondTv, AppId::WinDvr};
    for (int read = 0; read < 200000; ++read) {
        const unsigned roll = random() % 1000;
        if (roll < 5) desktop.OpenApplication(apps[random() % 3]);
        else if (roll < 10) desktop.CloseApplication(apps[random() % 3]);
        else if (roll < 12) remote.ExitWatchTick();
        else if (roll < 14) state.settings.defaultSelector = 5 + static_cast<int>(random() % 5);
        desktop.clock += roll < 500 ? 110 : 65 + random() % 2000;
        const int code = roll < 990 ? static_cast<int>(random() % 80) : static_cast<int>(random() % 256);
        remote.OnRead(code);

        ASSERT_FALSE(state.shutdownDialogOpen);
        const core::ScreenBounds& bounds = state.pointer.bounds;
        ASSERT_TRUE(desktop.cursor.x > bounds.minX && desktop.cursor.x < bounds.maxX &&
                    desktop.cursor.y > bounds.minY && desktop.cursor.y < bounds.maxY)
            << "read " << read;
        for (AppId id : apps) ASSERT_FALSE(state.Of(id).watched && !state.watchTimerRunning);
        if (desktop.effects.size() > 10000) desktop.effects.clear();
    }
    EXPECT_GT(dialogKeys, 0);  // the session did reach the dialog
}

}  // namespace
