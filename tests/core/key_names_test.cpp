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
    EXPECT_EQ(core::KeyName(VK_F12 + 1), "");  // F13: no name
    EXPECT_STREQ(core::AppCommandName(APPCOMMAND_MEDIA_CHANNEL_UP), "MediaChannelUp");
    EXPECT_EQ(core::AppCommandNamed("browserback"), unsigned(APPCOMMAND_BROWSER_BACKWARD));
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
