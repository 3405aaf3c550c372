// profiles.ini: every line that cannot be used is skipped and named while the
// rest still works; what the program writes reads back to its own rows; and
// what Settings says of the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Profiles.h"
#include "core/Sdk.h"

namespace {

using K = RemoteKey;

core::ProfileBook Parse(const std::string& text) {
    return core::ParseProfiles(text.data(), text.size());
}

// A row as text, every field of it, so that a difference shows which.
std::string RowText(const core::KeyAction& row) {
    std::string text = std::string(KeyLabel(Code(row.key))) + ": kind " +
                       std::to_string(static_cast<int>(row.kind)) + " value " + std::to_string(row.value) +
                       " parameter " + std::to_string(row.parameter) + " move " + std::to_string(row.dx) +
                       "," + std::to_string(row.dy) + " keys";
    for (uint8_t key : row.keys) text += " " + std::to_string(key);
    return text;
}

std::vector<std::string> RowsOf(const core::KeyMap& keys) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < keys.count; ++i) rows.push_back(RowText(keys.rows[i]));
    return rows;
}

std::vector<std::string> RowsOf(std::initializer_list<core::KeyAction> rows) {
    std::vector<std::string> texts;
    for (const core::KeyAction& row : rows) texts.push_back(RowText(row));
    return texts;
}

std::vector<std::string> NamesOf(core::List<const char* const> names) {
    return {names.begin(), names.end()};
}

std::vector<std::string> SkippedOf(const core::ProfileBook& book) {
    std::vector<std::string> lines;
    for (const core::SkippedLine& skipped : book.skipped())
        lines.push_back(std::to_string(skipped.line) + ": " + skipped.reason);
    return lines;
}

// -- lines that cannot be used

// Line 4 of a good profile: whatever it holds, Play and Stop still work.
std::string WithLine4(const std::string& line) {
    return "[VLC]\nprogram = vlc.exe\nPlay = Space\n" + line + "\nStop = S\n";
}

struct BadLine {
    const char* what;
    std::string line;
    std::string skipped;  // "" when the line is fine
};

const BadLine BadLines[] = {
    {"an unknown key name", "Vol++ = M", "4: unknown key name 'Vol++'"},
    {"an unknown key in a chord", "Mute = Ctrl+Foo", "4: unknown action 'Ctrl+Foo'"},
    {"a chord that ends in +", "Mute = Ctrl+", "4: unknown action 'Ctrl+'"},
    {"five keys in a chord", "Mute = Ctrl+Alt+Shift+Win+M", "4: unknown action 'Ctrl+Alt+Shift+Win+M'"},
    {"no action", "Mute =", "4: unknown action ''"},
    {"an unknown app command", "Mute = AppCommand:Louder", "4: unknown action 'AppCommand:Louder'"},
    {"a program with its folder", "program = C:\\VLC\\vlc.exe", "4: unknown program name 'C:\\VLC\\vlc.exe'"},
    {"a program without .exe", "program = vlc", "4: unknown program name 'vlc'"},
    {"a program name longer than a window's", "program = " + std::string(60, 'v') + ".exe",
     "4: unknown program name '" + std::string(60, 'v') + ".exe'"},
    {"an empty class", "class =", "4: unknown window class ''"},
    {"a class of 63 characters is fine", "class = " + std::string(63, 'c'), ""},
    {"a class longer than a window's", "class = " + std::string(64, 'c'),
     "4: unknown window class '" + std::string(64, 'c') + "'"},
    {"F01 is no key name", "Mute = F01", "4: unknown action 'F01'"},
    {"a line of 201 characters", "; " + std::string(199, 'x'), "4: line longer than 200 characters"},
    {"a line of 200 characters is fine", "; " + std::string(198, 'x'), ""},
    {"a control byte", "Mute = M\x01", "4: not text (a byte 0x01)"},
    {"a NUL byte", std::string("Mute = M\0", 9), "4: not text (a byte 0x00)"},
    {"a key set twice: the first wins", "play = K", "4: key 'Play' is set already on line 3"},
    {"a line without =", "Play Space", "4: neither a [section] nor a 'name = value' line"},
    {"a section without ]", "[Kodi", "4: a section line without ']'"},
    {"a section without a name", "[ ]", "4: a section without a name"},
};

TEST(ProfileFile, ALineThatCannotBeUsedIsSkippedAndNamedAndTheRestWorks) {
    for (const BadLine& bad : BadLines) {
        SCOPED_TRACE(bad.what);
        const core::ProfileBook book = Parse(WithLine4(bad.line));
        EXPECT_EQ(SkippedOf(book),
                  bad.skipped.empty() ? std::vector<std::string>{} : std::vector<std::string>{bad.skipped});
        ASSERT_EQ(book.profiles().count, 1u);
        const core::Profile& vlc = book.profiles().items[0];
        EXPECT_STREQ(vlc.name, "VLC");
        EXPECT_EQ(NamesOf(vlc.programs), std::vector<std::string>{"vlc.exe"});
        EXPECT_EQ(RowsOf(vlc.keys), RowsOf({core::Type(K::Play, VK_SPACE), core::Type(K::Stop, 'S')}));
    }
}

TEST(ProfileFile, LinesOutsideAUsableProfileAreSkippedAndTheOthersWork) {
    const core::ProfileBook book = Parse(
        "Play = Space\n"  // 1: before any section
        "[Nothing]\n"     // 2: names no program and no class
        "Foo = M\n"       // 3: an unknown key, found before line 2 is skipped
        "[MPC]\n"         // 4
        "class = MediaPlayerClassicW\n"
        "Play = Space\n");
    EXPECT_EQ(SkippedOf(book),
              (std::vector<std::string>{"1: a line before any [section]",
                                        "2: profile 'Nothing' names no program and no class",
                                        "3: unknown key name 'Foo'"}));
    ASSERT_EQ(book.profiles().count, 1u);
    EXPECT_STREQ(book.profiles().items[0].name, "MPC");
    EXPECT_EQ(NamesOf(book.profiles().items[0].windowClasses),
              std::vector<std::string>{"MediaPlayerClassicW"});
    EXPECT_EQ(RowsOf(book.profiles().items[0].keys), RowsOf({core::Type(K::Play, VK_SPACE)}));
}

TEST(ProfileFile, A64KiBFileIsReadWholeAndOfALongerOneTheLineCutThereAndAllAfterAreSkippedOnce) {
    std::string text = "[VLC]\nprogram = vlc.exe\nPlay = Space\n";
    // Notes of 100 bytes, then one that leaves room for the last line, which
    // has no line end and ends the file at 65536 bytes.
    const std::string last = "Stop = S";
    int lines = 3;
    for (; text.size() + 100 + last.size() <= 65536; ++lines) text += ";" + std::string(98, '-') + "\n";
    text += ";" + std::string(65536 - last.size() - text.size() - 2, '-') + "\n" + last;
    ++lines;
    ASSERT_EQ(text.size(), 65536u);
    const core::ProfileBook whole = Parse(text);
    EXPECT_EQ(SkippedOf(whole), std::vector<std::string>{});
    ASSERT_EQ(whole.profiles().count, 1u);
    EXPECT_EQ(RowsOf(whole.profiles().items[0].keys),
              RowsOf({core::Type(K::Play, VK_SPACE), core::Type(K::Stop, 'S')}));

    const core::ProfileBook cut = Parse(text + "+Alt\n[Kodi]\nprogram = kodi.exe\n");
    EXPECT_EQ(SkippedOf(cut), std::vector<std::string>{std::to_string(lines + 1) +
                                                       ": the file is longer than 65536 bytes: the rest is "
                                                       "not read"});
    ASSERT_EQ(cut.profiles().count, 1u);
    EXPECT_EQ(RowsOf(cut.profiles().items[0].keys), RowsOf({core::Type(K::Play, VK_SPACE)}));
}

// -- what a user may write

TEST(ProfileFile, NamesAreReadInAnyLetterCaseWithABomAndWindowsLineEnds) {
    const core::ProfileBook book = Parse(
        "\xEF\xBB\xBF; notes\r\n"
        "# more notes\r\n"
        "[Player]\r\n"
        "\tPROGRAM\t=\tPlayer.EXE \r\n"
        "vol+ = ctrl+shift+alt+win\r\n"
        "SKIP- = f11\r\n"
        "ch+ = num5\r\n"
        "Mute = appcommand: volumemute\r\n"
        "1 = pointer\r\n"
        "ok = m\r\n"
        "Prev = MediaPrevious\r\n");
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    ASSERT_EQ(book.profiles().count, 1u);
    EXPECT_EQ(NamesOf(book.profiles().items[0].programs), std::vector<std::string>{"Player.EXE"});
    const core::KeyAction fourKeys = {
        K::VolumeUp, core::KeyActionKind::Chord, 0, 0, 0, 0, {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN}};
    EXPECT_EQ(RowsOf(book.profiles().items[0].keys),
              RowsOf({fourKeys, core::Type(K::SkipBack, VK_F11), core::Type(K::ChannelUp, VK_NUMPAD5),
                      core::AppCommand(K::Mute, APPCOMMAND_VOLUME_MUTE), core::LeaveToPointer(K::Digit1),
                      core::Type(K::Ok, 'M'), core::Type(K::Previous, VK_MEDIA_PREV_TRACK)}));
}

TEST(ProfileFile, AnEmptyFileHasNoProfiles) {
    const core::ProfileBook book = Parse("");
    EXPECT_EQ(book.profiles().count, 0u);
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    EXPECT_EQ(core::DescribeProfileFile(book), "profiles.ini: no profiles");
}

// -- the file the program writes

TEST(ProfileFile, TheBuiltInProfilesWrittenReadBackToTheSameRows) {
    const std::string text = core::WriteProfiles(core::BuiltInProfiles);
    const core::ProfileBook book = Parse(text);
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    ASSERT_EQ(book.profiles().count, core::BuiltInProfiles.count);
    for (size_t i = 0; i < core::BuiltInProfiles.count; ++i) {
        const core::Profile& built = core::BuiltInProfiles.items[i];
        const core::Profile& read = book.profiles().items[i];
        SCOPED_TRACE(built.name);
        EXPECT_STREQ(read.name, built.name);
        EXPECT_EQ(NamesOf(read.programs), NamesOf(built.programs));
        EXPECT_EQ(NamesOf(read.windowClasses), NamesOf(built.windowClasses));
        EXPECT_EQ(RowsOf(read.keys), RowsOf(built.keys));
    }
    // Notepad before Windows 10 shows only CRLF line ends as lines.
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST(ProfileFile, SettingsSaysHowManyProfilesOrWhichLineToSee) {
    const struct {
        std::string text;
        const char* says;
    } cases[] = {
        {"[A]\nprogram = a.exe\n", "profiles.ini: 1 profile"},
        {"[A]\nprogram = a.exe\n[B]\nclass = B\n", "profiles.ini: 2 profiles"},
        {"[A]\nprogram = a.exe\nFoo = M\n", "profiles.ini: 1 line skipped (see line 3)"},
        {"[A]\nprogram = a.exe\nPlay = Space\nFoo = M\nPlay = K\n",
         "profiles.ini: 2 lines skipped (see line 4)"},
        {"[A]\nFoo = M\n[B]\nprogram = b.exe\n", "profiles.ini: 2 lines skipped (see line 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(core::DescribeProfileFile(Parse(c.text)), c.says);
    }
}

}  // namespace
