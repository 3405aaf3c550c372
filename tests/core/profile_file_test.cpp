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

using R = core::SkipReason;

// A skipped line as text, every field of it.
std::string Skip(int line, R reason, const std::string& argument = "", int otherLine = 0) {
    return std::to_string(line) + ": reason " + std::to_string(static_cast<int>(reason)) + " '" + argument +
           "' line " + std::to_string(otherLine);
}

std::vector<std::string> SkippedOf(const core::ProfileBook& book) {
    std::vector<std::string> lines;
    for (const core::SkippedLine& skipped : book.skipped())
        lines.push_back(Skip(skipped.line, skipped.reason, skipped.argument, skipped.otherLine));
    return lines;
}

// What Settings is told of the file, every field of it.
std::string Summary(size_t profiles, size_t skipped, int firstSkippedLine) {
    return std::to_string(profiles) + " profiles, " + std::to_string(skipped) + " skipped from line " +
           std::to_string(firstSkippedLine);
}

std::string Summary(const core::ProfileBook& book) {
    const core::ProfileFileSummary summary = core::SummarizeProfileFile(book);
    return Summary(summary.profiles, summary.skipped, summary.firstSkippedLine);
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
    {"an unknown key name", "Vol++ = M", Skip(4, R::UnknownKeyName, "Vol++")},
    {"an unknown key in a chord", "Mute = Ctrl+Foo", Skip(4, R::UnknownAction, "Ctrl+Foo")},
    {"a chord that ends in +", "Mute = Ctrl+", Skip(4, R::UnknownAction, "Ctrl+")},
    {"five keys in a chord", "Mute = Ctrl+Alt+Shift+Win+M", Skip(4, R::UnknownAction, "Ctrl+Alt+Shift+Win+M")},
    {"no action", "Mute =", Skip(4, R::UnknownAction)},
    {"an unknown app command", "Mute = AppCommand:Louder", Skip(4, R::UnknownAction, "AppCommand:Louder")},
    {"a program with its folder", "program = C:\\VLC\\vlc.exe", Skip(4, R::UnknownProgram, "C:\\VLC\\vlc.exe")},
    {"a program without .exe", "program = vlc", Skip(4, R::UnknownProgram, "vlc")},
    {"a program name longer than a window's", "program = " + std::string(60, 'v') + ".exe",
     Skip(4, R::UnknownProgram, std::string(60, 'v') + ".exe")},
    {"an empty class", "class =", Skip(4, R::UnknownWindowClass)},
    {"a class of 63 characters is fine", "class = " + std::string(63, 'c'), ""},
    {"a class longer than a window's", "class = " + std::string(64, 'c'),
     Skip(4, R::UnknownWindowClass, std::string(64, 'c'))},
    {"F01 is no key name", "Mute = F01", Skip(4, R::UnknownAction, "F01")},
    {"a line of 201 characters", "; " + std::string(199, 'x'), Skip(4, R::LineTooLong)},
    {"a line of 200 characters is fine", "; " + std::string(198, 'x'), ""},
    {"a control byte", "Mute = M\x01", Skip(4, R::NotText, "\x01")},
    {"a NUL byte", std::string("Mute = M\0", 9), Skip(4, R::NotText, std::string(1, '\0'))},
    {"a key set twice: the first wins", "play = K", Skip(4, R::KeySetAlready, "Play", 3)},
    {"a line without =", "Play Space", Skip(4, R::NeitherSectionNorSetting)},
    {"a section without ]", "[Kodi", Skip(4, R::SectionWithoutEnd)},
    {"a section without a name", "[ ]", Skip(4, R::SectionWithoutName)},
    {"; alone is no key name", "Mute = ;", Skip(4, R::UnknownAction, ";")},
    {"a note without a space before it", "Mute = M;x", Skip(4, R::UnknownAction, "M;x")},
    {"a section with more after ]", "[Kodi] x", Skip(4, R::SectionWithoutEnd)},
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
              (std::vector<std::string>{Skip(1, R::BeforeAnySection), Skip(2, R::ProfileWithoutWindows, "Nothing"),
                                        Skip(3, R::UnknownKeyName, "Foo")}));
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
    EXPECT_EQ(SkippedOf(cut), std::vector<std::string>{Skip(lines + 1, R::FileTooLong)});
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
        "Prev = MediaPrevious\r\n"
        "[Other] ; a note\r\n"
        "program = other.exe # a note\r\n"
        "Play = Semicolon ; pause\r\n"
        "Stop = NOTHING\t# not here\r\n"
        "Next = escape+Numpad5+PgDn\r\n");
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    ASSERT_EQ(book.profiles().count, 2u);
    EXPECT_EQ(NamesOf(book.profiles().items[0].programs), std::vector<std::string>{"Player.EXE"});
    const core::KeyAction fourKeys = {
        K::VolumeUp, core::KeyActionKind::Chord, 0, 0, 0, 0, {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN}};
    EXPECT_EQ(RowsOf(book.profiles().items[0].keys),
              RowsOf({fourKeys, core::Type(K::SkipBack, VK_F11), core::Type(K::ChannelUp, VK_NUMPAD5),
                      core::AppCommand(K::Mute, APPCOMMAND_VOLUME_MUTE), core::LeaveToPointer(K::Digit1),
                      core::Type(K::Ok, 'M'), core::Type(K::Previous, VK_MEDIA_PREV_TRACK)}));
    const core::Profile& other = book.profiles().items[1];
    EXPECT_STREQ(other.name, "Other");
    EXPECT_EQ(NamesOf(other.programs), std::vector<std::string>{"other.exe"});
    EXPECT_EQ(RowsOf(other.keys), RowsOf({core::Type(K::Play, 0xBA), core::DoNothing(K::Stop),
                                          core::Chord(K::Next, 0x1B, 0x65, 0x22)}));
    // Written back in the first names, without the notes.
    EXPECT_EQ(core::WriteProfiles({&other, 1}).substr(core::WriteProfiles({}).size()),
              "\r\n[Other]\r\nprogram = other.exe\r\nPlay   = Semicolon\r\nStop   = Nothing\r\n"
              "Next   = Esc+Num5+PageDown\r\n");
}

TEST(ProfileFile, AnEmptyFileHasNoProfiles) {
    const core::ProfileBook book = Parse("");
    EXPECT_EQ(book.profiles().count, 0u);
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    EXPECT_EQ(Summary(book), Summary(0, 0, 0));
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
        std::string says;
    } cases[] = {
        {"[A]\nprogram = a.exe\n", Summary(1, 0, 0)},
        {"[A]\nprogram = a.exe\n[B]\nclass = B\n", Summary(2, 0, 0)},
        {"[A]\nprogram = a.exe\nFoo = M\n", Summary(1, 1, 3)},
        {"[A]\nprogram = a.exe\nPlay = Space\nFoo = M\nPlay = K\n", Summary(1, 2, 4)},
        {"[A]\nFoo = M\n[B]\nprogram = b.exe\n", Summary(1, 2, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Summary(Parse(c.text)), c.says);
    }
}

}  // namespace
