// The exit watch of the applications that Power started: it ends when their
// windows have gone, and its timer stops when nothing is watched.
#include <gtest/gtest.h>

#include "FakeDesktop.h"

namespace {

using core::AppId;

struct ExitWatch : RemoteOnDesktop, ::testing::Test {
    ExitWatch() { InstallAll(power); }
};

TEST_F(ExitWatch, PowerStartsTheDefaultWatchesItAndTheWatchEndsWhenTheUserClosesIt) {
    state.settings.defaultSelector = WinDvr.row.selector;
    ExpectEffects(Press(RemoteKey::Power), {Started(WinDvr), "watch on"});
    EXPECT_TRUE(power.Of(AppId::WinDvr).active);
    EXPECT_TRUE(power.Of(AppId::WinDvr).watched);

    desktop.OpenApplication(WinDvr);  // it comes up
    ExpectEffects(Tick(), {});
    desktop.CloseApplication(WinDvr);  // the user closes it with its own close box
    ExpectEffects(Tick(), {"watch off"});
    EXPECT_FALSE(power.Of(AppId::WinDvr).active);
    EXPECT_FALSE(power.Of(AppId::WinDvr).watched);
    // A new Power starts it again.
    ExpectEffects(Press(RemoteKey::Power), {Started(WinDvr), "watch on"});
}

TEST_F(ExitWatch, AFailedStartIsReportedAndNothingIsWatched) {
    desktop.startSucceeds = false;
    state.settings.defaultSelector = WinDvr.row.selector;
    const Effect failed = Message(core::Notice::LaunchFailed, MB_OK);
    ExpectEffects(Press(RemoteKey::Power), {Started(WinDvr), failed, "watch on"});
    EXPECT_FALSE(power.Of(AppId::WinDvr).active);
    EXPECT_FALSE(power.Of(AppId::WinDvr).watched);
    // The watch finds nothing and stops on its third tick.
    ExpectEffects(Then({Tick(), Tick()}), {});
    ExpectEffects(Tick(), {"watch off"});
}

TEST_F(ExitWatch, TheWatchLooksOnlyAtWinDvrWhileItIsWatchedAndItsEndStopsTheTimer) {
    for (AppId id : {AppId::Quillmarsh, AppId::WinDvr}) power.Of(id).active = power.Of(id).watched = true;
    power.StartWatchTimer();
    desktop.OpenApplication(WinDvr);  // Quillmarsh has gone, WinDVR runs
    ExpectEffects(Tick(), {});
    EXPECT_TRUE(power.Of(AppId::Quillmarsh).watched);
    desktop.CloseApplication(WinDvr);
    ExpectEffects(Tick(), {"watch off"});
    EXPECT_FALSE(power.Of(AppId::WinDvr).watched);
    EXPECT_TRUE(power.Of(AppId::Quillmarsh).watched);  // unexamined until a new watch
    EXPECT_TRUE(power.Of(AppId::Quillmarsh).active);
}

// Which windows of a watched application keep the watch going: any by which
// the application is known, its main window or its key-target window.
TEST_F(ExitWatch, TheWatchOfEachApplicationGoesOnWhileAnyOfItsWindowsRemains) {
    for (const core::Application& row : core::Applications) {
        const FakeApplication& application = Fake(row.id);
        const PurposeWindow* const keeps[] = {&application.main, &application.keyTarget, nullptr};
        for (const PurposeWindow* kept : keeps) {
            SCOPED_TRACE(application.name + " keeping " + (kept ? kept->name : "nothing"));
            RemoteOnDesktop other;
            other.desktop.OpenApplication(application);
            for (const FakeWindow& window : application.windows)
                if (kept == nullptr || window.name != kept->name) other.desktop.Close(window);
            other.state = state;
            core::ApplicationRun& own = other.power.Of(row.id);
            own.active = own.watched = true;
            other.power.StartWatchTimer();
            ExpectEffects(other.Tick(), kept ? Effects{} : Effects{"watch off"});
            EXPECT_EQ(own.watched, kept != nullptr);
            EXPECT_EQ(own.active, kept != nullptr);
        }
    }
}

}  // namespace
