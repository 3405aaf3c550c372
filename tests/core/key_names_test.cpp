// The one vocabulary of key names: profiles.ini, the README's key table, the
// virtual remote and these tests' effects all spell a key the same way.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/Applications.h"
#include "core/KeyNames.h"
#include "core/Profiles.h"
#include "core/Sdk.h"

namespace {

constexpr unsigned HighestVirtualKey = 0xFF;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(KeyNames, AKeyIsNamedAsProfilesIniWritesIt) {
    const std::pair<unsigned, const char*> names[] = {
        {'M', "M"},           {'7', "7"},          {VK_F11, "F11"},         {VK_NUMPAD5, "Num5"},
        {VK_ADD, "NumPlus"},  {VK_PRIOR, "PageUp"}, {VK_CONTROL, "Ctrl"},   {VK_OEM_PERIOD, "Period"},
        {VK_MEDIA_PLAY_PAUSE, "MediaPlayPause"},    {VK_VOLUME_MUTE, "VolumeMute"},
    };
    for (const auto& [key, name] : names) EXPECT_EQ(core::KeyName(key), name);
    EXPECT_EQ(core::KeyName(0x88), "");  // F24 + 1: no name
    EXPECT_STREQ(core::AppCommandName(APPCOMMAND_MEDIA_CHANNEL_UP), "MediaChannelUp");
    EXPECT_EQ(core::AppCommandNamed("browserback"), unsigned(APPCOMMAND_BROWSER_BACKWARD));
}

// Every key of a standard keyboard, with its number from Microsoft's
// "Virtual-Key Codes" page.
TEST(KeyNames, EveryKeyOfAStandardKeyboardHasANameOfItsDocumentedVirtualKey) {
    const std::pair<unsigned, const char*> names[] = {
        {0xBA, "Semicolon"},  {0xBF, "Slash"},        {0xC0, "Backquote"},  {0xDB, "LeftBracket"},
        {0xDC, "Backslash"},  {0xDD, "RightBracket"}, {0xDE, "Quote"},      {0xBB, "Plus"},
        {0xBD, "Minus"},      {0xBC, "Comma"},        {0xBE, "Period"},     {0x6A, "NumMultiply"},
        {0x6B, "NumPlus"},    {0x6D, "NumMinus"},     {0x6E, "NumDecimal"}, {0x6F, "NumDivide"},
        {0x60, "Num0"},       {0x69, "Num9"},         {0x7C, "F13"},        {0x86, "F23"},
        {0x87, "F24"},        {0x5D, "Apps"},         {0x13, "Pause"},      {0x14, "CapsLock"},
        {0x2C, "PrintScreen"}, {0x91, "ScrollLock"},  {0x90, "NumLock"},
    };
    for (const auto& [key, name] : names) {
        EXPECT_EQ(core::KeyName(key), name);
        EXPECT_EQ(core::KeyNamed(name), key) << name;
    }
    // The keypad's Enter: a name of its own, not Enter's (0x0D).
    EXPECT_EQ(core::KeyName(core::KeyNamed("NumEnter")), "NumEnter");
    EXPECT_NE(core::KeyNamed("numenter"), 0x0Du);
}

TEST(KeyNames, ASecondNameIsReadInAnyLetterCaseAndTheFirstIsWritten) {
    const std::pair<const char*, const char*> aliases[] = {
        {"Escape", "Esc"}, {"Return", "Enter"}, {"PgUp", "PageUp"}, {"PgDn", "PageDown"}, {"Del", "Delete"},
        {"Ins", "Insert"}, {"Control", "Ctrl"}, {"Windows", "Win"}, {"Numpad0", "Num0"}, {"Numpad9", "Num9"},
    };
    for (const auto& [alias, name] : aliases) {
        EXPECT_EQ(core::KeyName(core::KeyNamed(alias)), name) << alias;
        EXPECT_EQ(core::KeyName(core::KeyNamed(Lower(alias))), name) << alias;
    }
    EXPECT_EQ(core::KeyNamed("Numpad10"), 0u);
    EXPECT_EQ(core::KeyNamed("F25"), 0u);
}

TEST(KeyNames, EveryNameReadsBackToItsKeyInAnyLetterCase) {
    for (unsigned key = 1; key <= HighestVirtualKey; ++key) {
        const std::string name = core::KeyName(key);
        if (name.empty()) continue;
        EXPECT_EQ(core::KeyNamed(name), key) << name;
        EXPECT_EQ(core::KeyNamed(Lower(name)), key) << name;
    }
}

void ExpectNamed(const core::KeyMap& map) {
    for (const core::KeyAction& row : core::List<core::KeyAction>{map.rows, map.count}) {
        SCOPED_TRACE(KeyLabel(Code(row.key)));
        for (size_t i = 0; i < core::ChordLength(row); ++i) EXPECT_NE(core::KeyName(row.keys[i]), "");
        if (row.kind == core::KeyActionKind::Post || row.kind == core::KeyActionKind::PostThen) {
            EXPECT_NE(core::KeyName(row.value), "");
        }
        if (row.kind == core::KeyActionKind::PostThen) {
            EXPECT_NE(core::KeyName(row.parameter), "");
        }
    }
}

TEST(KeyNames, EveryKeyTheMapsAndProfilesSendHasAName) {
    for (const core::Application& application : core::Applications) ExpectNamed(*application.keys);
    ExpectNamed(core::MediaKeys);
    for (const core::Profile& profile : core::BuiltInProfiles) ExpectNamed(profile.keys);
}

}  // namespace
