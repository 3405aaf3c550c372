// The program's words in its STRINGTABLE, as the user reads them, and the
// words of the decisions' codes and values: every notice, doer and pointer
// action, and what Settings says of profiles.ini.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "shell/Words.h"
#include "win32/StringTable.h"

namespace {

using core::PointerAction;

TEST(Words, EachTextIsInTheStringTableWithItsPlaceholders) {
    const struct {
        UINT id;
        const char* text;
    } texts[] = {
        {IDS_MESSAGE_CAPTION, "Marlow Remote Control"},
        {IDS_TRAY_TIP, "Marlow Remote Control"},
        {IDS_TRAY_TIP_NO_RECEIVER, "Marlow Remote Control (no remote receiver)"},
        {IDS_MENU_ABOUT, "About"},
        {IDS_MENU_EXIT, "Exit"},
        {IDS_MISSING_FILTER,
         "Can't find the Marlow WDM Video Capture Filter.\n\nPlease check your hardware or drivers. "},
        {IDS_SAVE_FAILED, "Can't save the settings."},
        {IDS_EDIT_FAILED, "Can't open profiles.ini."},
        {IDS_SHUTDOWN_FAILED, "Can't run ExitWindowsEx."},
        {IDS_LAUNCH_FAILED, "Can't run launch TV application what you want."},
        {IDS_REINITIALIZE, "Please re-initialize the TV application settings."},
        {IDS_PROFILES_UNREADABLE, "profiles.ini can't be read: the built-in profiles are used"},
        {IDS_PROFILES_NONE, "profiles.ini: the built-in profiles, unchanged"},
        {IDS_PROFILES_ONE, "profiles.ini: 1 profile added or changed"},
        {IDS_PROFILES_MANY, "profiles.ini: %u profiles added or changed"},
        {IDS_SKIPPED_ONE, "profiles.ini: 1 line skipped (see line %d)"},
        {IDS_SKIPPED_MANY, "profiles.ini: %u lines skipped (see line %d)"},
        {IDS_KEY_DONE, "%s: %s"},
        {IDS_DOER_MEDIA, "Media"},
        {IDS_DOER_POINTER, "Pointer"},
    };
    for (const auto& text : texts) EXPECT_EQ(LoadText(text.id), text.text) << text.id;
}

TEST(Words, EachNoticeHasItsText) {
    EXPECT_EQ(LoadText(NoticeTextId(core::Notice::LaunchFailed)),
              "Can't run launch TV application what you want.");
    EXPECT_EQ(LoadText(NoticeTextId(core::Notice::ReinitializeSettings)),
              "Please re-initialize the TV application settings.");
}

TEST(Words, TheKeyDisplaySaysWhoDidWhat) {
    const struct {
        PointerAction action;
        const char* words;
    } actions[] = {
        {PointerAction::LeftClick, "left click"}, {PointerAction::RightClick, "right click"},
        {PointerAction::Button, "button"},        {PointerAction::Up, "up"},
        {PointerAction::Down, "down"},            {PointerAction::Left, "left"},
        {PointerAction::Right, "right"},          {PointerAction::UpLeft, "up-left"},
        {PointerAction::UpRight, "up-right"},     {PointerAction::DownLeft, "down-left"},
        {PointerAction::DownRight, "down-right"},
    };
    for (const auto& action : actions)
        EXPECT_EQ(KeyDoneText({core::KeyDoer::Pointer, nullptr, nullptr, action.action}),
                  std::string("Pointer: ") + action.words);
    EXPECT_EQ(PointerActionTextId(PointerAction::None), 0u);
    EXPECT_EQ(KeyDoneText({core::KeyDoer::Media, nullptr, "Vol+", PointerAction::None}), "Media: Vol+");
    EXPECT_EQ(KeyDoneText({core::KeyDoer::Named, "VLC", "Play", PointerAction::None}), "VLC: Play");
    // Cut to 95 bytes, as the display has always taken it.
    const std::string name(100, 'n');
    EXPECT_EQ(KeyDoneText({core::KeyDoer::Named, name.c_str(), "Play", PointerAction::None}),
              std::string(95, 'n'));
}

TEST(Words, SettingsSaysHowManyProfilesOrWhichLineToSee) {
    const struct {
        core::ProfileFileSummary summary;
        const char* says;
    } cases[] = {
        {{0, 0, 0}, "profiles.ini: the built-in profiles, unchanged"},
        {{1, 0, 0}, "profiles.ini: 1 profile added or changed"},
        {{2, 0, 0}, "profiles.ini: 2 profiles added or changed"},
        {{1, 1, 3}, "profiles.ini: 1 line skipped (see line 3)"},
        {{1, 2, 4}, "profiles.ini: 2 lines skipped (see line 4)"},
        {{0, 2, 1}, "profiles.ini: 2 lines skipped (see line 1)"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileStatusText(c.summary), c.says);
    EXPECT_EQ(ProfileStatusText(std::nullopt), "profiles.ini can't be read: the built-in profiles are used");
}

TEST(Words, SettingsSaysHowManyProgramsTakeTheKeys) {
    EXPECT_EQ(ServerStatusText(false, 0), "No program receives the keys");
    EXPECT_EQ(ServerStatusText(true, 0), "No program is connected");
    EXPECT_EQ(ServerStatusText(true, 1), "1 program is connected");
    EXPECT_EQ(ServerStatusText(true, 8), "8 programs are connected");
}

}  // namespace
