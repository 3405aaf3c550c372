// What the shell tells the state of where each application is installed.
#include <gtest/gtest.h>

#include <string>

#include "FakeDesktop.h"

namespace {

using core::AppId;

TEST(State, AnInstallLocationIsKeptUpToItsBufferAndAMissingOneIsNoInstall) {
    core::State state;
    state.Of(AppId::WinDvr).active = true;
    const std::string longPath = "C:\\" + std::string(200, 'x');
    core::InstallLocationFound(state, AppId::WinDvr, longPath.c_str());
    EXPECT_TRUE(state.Of(AppId::WinDvr).installed);
    EXPECT_FALSE(state.Of(AppId::WinDvr).active);  // a fresh install is no target
    EXPECT_EQ(state.Of(AppId::WinDvr).installPath, longPath.substr(0, core::InstallPathSize - 1));

    core::InstallLocationMissing(state, AppId::WinDvr);
    EXPECT_FALSE(state.Of(AppId::WinDvr).installed);
    EXPECT_STREQ(state.Of(AppId::WinDvr).installPath, "");
    EXPECT_FALSE(state.Of(AppId::Quillmarsh).installed);  // the others as they were
}

}  // namespace
