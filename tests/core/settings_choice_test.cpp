// The Settings dialog's list and choice.
#include <gtest/gtest.h>

#include <string>

#include "FakeDesktop.h"
#include "core/SettingsChoice.h"

namespace {

using core::AppId;

std::vector<std::string> Texts(const core::ApplicationList& list) {
    return std::vector<std::string>(list.texts, list.texts + list.count);
}

TEST(SettingsChoice, TheListHoldsTheInstalledApplicationsAndSelectsTheDefault) {
    core::State state;
    state.Of(AppId::BeyondTv).installed = state.Of(AppId::WinDvr).installed = true;
    state.settings.defaultSelector = WinDvr.row.selector;
    const core::ApplicationList list = core::ListForSettings(state);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{BeyondTv.row.menuText, WinDvr.row.menuText}));
    EXPECT_EQ(list.selected, 1);
}

TEST(SettingsChoice, ADefaultNotListedSelectsTheLastChoiceElseTheFirst) {
    core::State state;
    state.Of(AppId::Quillmarsh).installed = state.Of(AppId::BeyondTv).installed = true;
    state.settings.defaultSelector = UnknownSelector();
    EXPECT_EQ(core::ListForSettings(state).selected, 0);
    state.settings.listIndex = 1;
    EXPECT_EQ(core::ListForSettings(state).selected, 1);
}

TEST(SettingsChoice, OnlyAChangedChoiceIsToBeStored) {
    core::State state;
    state.settings.defaultSelector = Quillmarsh.row.selector;
    EXPECT_FALSE(core::ChooseDefault(state, 0, Quillmarsh.row.menuText));
    EXPECT_TRUE(core::ChooseDefault(state, 1, BeyondTv.row.menuText));
    EXPECT_EQ(state.settings.defaultSelector, BeyondTv.row.selector);
    EXPECT_FALSE(core::ChooseDefault(state, 2, "Unknown"));
    EXPECT_FALSE(core::ChooseDefault(state, -1, ""));  // nothing chosen
    EXPECT_EQ(state.settings.defaultSelector, BeyondTv.row.selector);
    EXPECT_EQ(state.settings.listIndex, -1);
    // An entry whose text could not be read: its place is kept for the next
    // time, and the default stays.
    core::ChooseUnreadableEntry(state, 2);
    EXPECT_EQ(state.settings.listIndex, 2);
    EXPECT_EQ(state.settings.defaultSelector, BeyondTv.row.selector);
}

TEST(SettingsChoice, TheMediaKeysBoxIsToBeStoredOnlyWhenItChanged) {
    core::State state;
    EXPECT_FALSE(core::ChooseMediaKeys(state, false));
    EXPECT_TRUE(core::ChooseMediaKeys(state, true));
    EXPECT_TRUE(state.settings.mediaKeys);
    EXPECT_FALSE(core::ChooseMediaKeys(state, true));
    EXPECT_TRUE(core::ChooseMediaKeys(state, false));
    EXPECT_FALSE(state.settings.mediaKeys);
}

}  // namespace
