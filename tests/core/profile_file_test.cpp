// profiles.ini: every line that cannot be used is skipped and named while the
// rest still works; what the program writes reads back to its own rows; and
// what Settings says of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Profiles.h"
#include "core/Sdk.h"

namespace {

using K = RemoteKey;

core::ProfileBook Parse(const std::string& text) {
    return core::ParseProfiles(text.data(), text.size());
}

// The profiles a file adds: those before the built-in ones.
core::List<core::Profile> Own(const core::ProfileBook& book) {
    return {book.profiles().items, book.profiles().count - core::BuiltInProfiles.count};
}

// The profile of that name in use.
const core::Profile& Named(const core::ProfileBook& book, const char* name) {
    for (const core::Profile& profile : book.profiles())
        if (std::string(profile.name) == name) return profile;
    throw std::runtime_error(name);
}

// A row as text, every field of it, so that a difference shows which.
std::string RowText(const core::KeyAction& row) {
    std::string text = std::string(KeyLabel(Code(row.key))) + ": kind " +
                       std::to_string(static_cast<int>(row.kind)) + " value " + std::to_string(row.value) +
                       " parameter " + std::to_string(row.parameter) + " move " + std::to_string(row.dx) +
                       "," + std::to_string(row.dy) + " keys";
    for (uint8_t key : row.keys) text += " " + std::to_string(key);
    return text + " habit " + std::to_string(row.habit);
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

// The book's profiles from `from` on are the built-in ones, every field of them.
// The profiles from `from` on are the built-in ones, by name but for a prefix.
void ExpectBuiltIn(const core::ProfileBook& book, size_t from = 0, const std::string& prefix = "",
                   size_t count = core::BuiltInProfiles.count) {
    ASSERT_GE(book.profiles().count, from + count);
    for (size_t i = 0; i < count; ++i) {
        const core::Profile& built = core::BuiltInProfiles.items[i];
        const core::Profile& read = book.profiles().items[from + i];
        SCOPED_TRACE(built.name);
        EXPECT_EQ(read.name, prefix + built.name);
        EXPECT_EQ(NamesOf(read.programs), NamesOf(built.programs));
        EXPECT_EQ(NamesOf(read.windowClasses), NamesOf(built.windowClasses));
        EXPECT_EQ(NamesOf(read.titles), NamesOf(built.titles));
        EXPECT_EQ(RowsOf(read.keys), RowsOf(built.keys));
    }
}

// A built-in profile's rows with those of the same keys replaced, then the added ones.
std::vector<std::string> RowsChanged(const core::Profile& builtIn, std::initializer_list<core::KeyAction> replaced,
                                     std::initializer_list<core::KeyAction> added = {}) {
    std::vector<std::string> rows;
    for (const core::KeyAction& row : core::List<core::KeyAction>{builtIn.keys.rows, builtIn.keys.count}) {
        const auto by = std::find_if(replaced.begin(), replaced.end(),
                                     [&](const core::KeyAction& r) { return r.key == row.key; });
        rows.push_back(RowText(by != replaced.end() ? *by : row));
    }
    for (const core::KeyAction& row : added) rows.push_back(RowText(row));
    return rows;
}

// -- lines that cannot be used

// Line 4 of a good profile: whatever it holds, Play and Stop still work.
std::string WithLine4(const std::string& line) {
    return "[Mine]\nprogram = mine.exe\nPlay = Space\n" + line + "\nStop = S\n";
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
    {"an empty title", "title =", Skip(4, R::UnknownTitle)},
    {"an unknown habit", "Mute = M, twice", Skip(4, R::UnknownAction, "M, twice")},
    {"a habit without an action", "Mute = , once", Skip(4, R::UnknownAction, ", once")},
    {"a hold of no key", "Foo.hold = C", Skip(4, R::UnknownKeyName, "Foo.hold")},
    {"a hold without a key", ".hold = C", Skip(4, R::UnknownKeyName, ".hold")},
    {"a key's press and hold are two rows", "Play.hold = C", ""},
    {"a hold set twice", "Stop.HOLD = C\nstop.hold = D", Skip(5, R::KeySetAlready, "Stop.hold", 4)},
};

TEST(ProfileFile, ALineThatCannotBeUsedIsSkippedAndNamedAndTheRestWorks) {
    for (const BadLine& bad : BadLines) {
        SCOPED_TRACE(bad.what);
        const core::ProfileBook book = Parse(WithLine4(bad.line));
        EXPECT_EQ(SkippedOf(book),
                  bad.skipped.empty() ? std::vector<std::string>{} : std::vector<std::string>{bad.skipped});
        ASSERT_EQ(Own(book).count, 1u);
        const core::Profile& mine = Own(book).items[0];
        EXPECT_STREQ(mine.name, "Mine");
        EXPECT_EQ(NamesOf(mine.programs), std::vector<std::string>{"mine.exe"});
        std::vector<std::string> presses = RowsOf(mine.keys);
        presses.erase(std::remove_if(presses.begin(), presses.end(),
                                     [](const std::string& row) { return row.find("habit 4") != std::string::npos; }),
                      presses.end());
        EXPECT_EQ(presses, RowsOf({core::Type(K::Play, VK_SPACE), core::Type(K::Stop, 'S')}));
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
    ASSERT_EQ(Own(book).count, 1u);
    EXPECT_STREQ(Own(book).items[0].name, "MPC");
    EXPECT_EQ(NamesOf(Own(book).items[0].windowClasses), std::vector<std::string>{"MediaPlayerClassicW"});
    EXPECT_EQ(RowsOf(Own(book).items[0].keys), RowsOf({core::Type(K::Play, VK_SPACE)}));
}

TEST(ProfileFile, A64KiBFileIsReadWholeAndOfALongerOneTheLineCutThereAndAllAfterAreSkippedOnce) {
    std::string text = "[Mine]\nprogram = mine.exe\nPlay = Space\n";
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
    ASSERT_EQ(Own(whole).count, 1u);
    EXPECT_EQ(RowsOf(Own(whole).items[0].keys),
              RowsOf({core::Type(K::Play, VK_SPACE), core::Type(K::Stop, 'S')}));

    const core::ProfileBook cut = Parse(text + "+Alt\n[Kodi]\nprogram = kodi.exe\n");
    EXPECT_EQ(SkippedOf(cut), std::vector<std::string>{Skip(lines + 1, R::FileTooLong)});
    ASSERT_EQ(Own(cut).count, 1u);
    EXPECT_EQ(RowsOf(Own(cut).items[0].keys), RowsOf({core::Type(K::Play, VK_SPACE)}));
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
        "Next = escape+Numpad5+PgDn\r\n"
        "OK.Hold = C\r\n"
        "title = * - Site*\r\n"
        "FF = Right , ONCE\r\n"
        "Enter = Return, repeat ; a note\r\n");
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    ASSERT_EQ(Own(book).count, 2u);
    EXPECT_EQ(NamesOf(Own(book).items[0].programs), std::vector<std::string>{"Player.EXE"});
    const core::KeyAction fourKeys = {
        K::VolumeUp, core::KeyActionKind::Chord, 0, 0, 0, 0, {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN}, 0};
    EXPECT_EQ(RowsOf(Own(book).items[0].keys),
              RowsOf({fourKeys, core::Type(K::SkipBack, VK_F11), core::Type(K::ChannelUp, VK_NUMPAD5),
                      core::AppCommand(K::Mute, APPCOMMAND_VOLUME_MUTE), core::LeaveToPointer(K::Digit1),
                      core::Type(K::Ok, 'M'), core::Type(K::Previous, VK_MEDIA_PREV_TRACK)}));
    const core::Profile& other = book.profiles().items[1];
    EXPECT_STREQ(other.name, "Other");
    EXPECT_EQ(NamesOf(other.programs), std::vector<std::string>{"other.exe"});
    EXPECT_EQ(NamesOf(other.titles), std::vector<std::string>{"* - Site*"});
    EXPECT_EQ(RowsOf(other.keys),
              RowsOf({core::Type(K::Play, 0xBA), core::DoNothing(K::Stop), core::Chord(K::Next, 0x1B, 0x65, 0x22),
                      core::Held(core::Type(K::Ok, 'C')), core::Once(core::Type(K::FastForward, VK_RIGHT)),
                      core::Repeats(core::Type(K::Enter, VK_RETURN))}));
    // Written back in the first names, without the notes.
    EXPECT_EQ(core::WriteProfiles({&other, 1}).substr(core::WriteProfiles({}).size()),
              "\r\n[Other]\r\nprogram = other.exe\r\ntitle = * - Site*\r\nPlay   = Semicolon\r\n"
              "Stop   = Nothing\r\nNext   = Esc+Num5+PageDown\r\nOK.hold = C\r\nFF     = Right, once\r\n"
              "Enter  = Enter, repeat\r\n");
}

TEST(ProfileFile, AnEmptyFileOrTheExampleLeavesTheBuiltInProfiles) {
    for (const std::string& text : {std::string(), std::string(core::ExampleProfiles())}) {
        const core::ProfileBook book = Parse(text);
        EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
        EXPECT_EQ(Summary(book), Summary(0, 0, 0));
        ExpectBuiltIn(book);
    }
}

// -- the file the program writes

TEST(ProfileFile, TheBuiltInProfilesWrittenReadBackToTheSameRows) {
    // Under names of their own, so that each is read as a profile of the file's.
    std::vector<std::string> names;
    std::vector<core::Profile> copies(core::BuiltInProfiles.begin(), core::BuiltInProfiles.end());
    for (const core::Profile& profile : copies) names.push_back(std::string("My ") + profile.name);
    for (size_t i = 0; i < copies.size(); ++i) copies[i].name = names[i].c_str();
    const std::string text = core::WriteProfiles({copies.data(), copies.size()});
    const core::ProfileBook book = Parse(text);
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    ASSERT_EQ(Own(book).count, copies.size());
    ExpectBuiltIn(book, 0, "My ", copies.size());
    ExpectBuiltIn(book, copies.size());
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

// -- the file on top of the built-in profiles

TEST(ProfileFile, ASectionNamedLikeABuiltInProfileChangesItKeyByKeyAndANewOneComesFirst) {
    const core::Profile& builtIn = core::BuiltInProfiles.items[0];
    const core::ProfileBook book = Parse(std::string("[") + builtIn.name + "]\n"
                                         "program = Other.exe\n"
                                         "Play = Nothing\n"
                                         "Vol+ = Pointer\n"
                                         "Recall = F1\n"
                                         "OK.hold = C\n"
                                         "[SMPlayer]\n"
                                         "program = smplayer.exe\n"
                                         "Play = Space\n");
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    EXPECT_EQ(Summary(book), Summary(2, 0, 0));
    ASSERT_EQ(book.profiles().count, core::BuiltInProfiles.count + 1);
    EXPECT_STREQ(book.profiles().items[0].name, "SMPlayer");
    const core::Profile& changed = Named(book, builtIn.name);
    std::vector<std::string> programs = NamesOf(builtIn.programs);
    programs.push_back("Other.exe");
    EXPECT_EQ(NamesOf(changed.programs), programs);
    EXPECT_EQ(RowsOf(changed.keys),
              RowsChanged(builtIn, {core::DoNothing(K::Play), core::LeaveToPointer(K::VolumeUp)},
                          {core::Type(K::Recall, VK_F1), core::Held(core::Type(K::Ok, 'C'))}));
    // Every other built-in profile is as the program has it.
    for (size_t i = 1; i < core::BuiltInProfiles.count; ++i)
        EXPECT_EQ(RowsOf(book.profiles().items[i + 1].keys), RowsOf(core::BuiltInProfiles.items[i].keys));
}

std::string FullCopy() {
    std::ifstream file(MARLOW_TEST_DATA "/profiles-full-copy.ini", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error(from);
    return text.replace(at, from.size(), to);
}

// The earlier version wrote the whole of its profiles into a new file, which
// then replaced the built-in ones: such a file keeps what its owner changed
// and takes the program's own rows for the rest.
TEST(ProfileFile, AFullCopyTheEarlierVersionWroteKeepsItsOwnersChangesOnly) {
    const std::string copy = FullCopy();
    ASSERT_EQ(copy.substr(0, 20), "; Profiles for other");
    const core::ProfileBook asWritten = Parse(copy);
    EXPECT_EQ(SkippedOf(asWritten), std::vector<std::string>{});
    EXPECT_EQ(Summary(asWritten), Summary(0, 0, 0));
    ExpectBuiltIn(asWritten);

    // Its owner typed K for VLC's Play, took out its Mute row and opera.exe,
    // and added a program.
    std::string changed = Replaced(copy, "[VLC]\r\nprogram = vlc.exe\r\nFull   = F\r\nPlay   = Space\r\n",
                                   "[VLC]\r\nprogram = vlc.exe\r\nprogram = vlc2.exe\r\nFull   = F\r\nPlay   = K\r\n");
    changed = Replaced(changed, "Mute   = M\r\nPrev   = P\r\n", "Prev   = P\r\n");
    changed = Replaced(changed, "program = opera.exe\r\n", "");
    const core::ProfileBook book = Parse(changed);
    EXPECT_EQ(SkippedOf(book), std::vector<std::string>{});
    EXPECT_EQ(Summary(book), Summary(2, 0, 0));
    const core::Profile& vlc = Named(book, "VLC");
    const core::Profile& builtIn = core::BuiltInProfiles.items[0];
    ASSERT_STREQ(builtIn.name, "VLC");
    EXPECT_EQ(NamesOf(vlc.programs), (std::vector<std::string>{"vlc.exe", "vlc2.exe"}));
    EXPECT_EQ(RowsOf(vlc.keys), RowsChanged(builtIn, {core::Type(K::Play, 'K'), core::LeaveToPointer(K::Mute)}));
    for (const char* program : Named(book, "Browser").programs) EXPECT_STRNE(program, "opera.exe");

    // In a file of the new kind, a row or program left out is no change.
    const core::ProfileBook own = Parse("; my profiles\r\n" + changed.substr(changed.find("\r\n[")));
    EXPECT_EQ(RowText(*Named(own, "VLC").keys.Find(Code(K::Mute))), RowText(*builtIn.keys.Find(Code(K::Mute))));
    const core::Foreground opera = [] {
        core::Foreground front;
        std::snprintf(front.program, sizeof front.program, "opera.exe");
        return front;
    }();
    EXPECT_NE(core::MatchProfile(own.profiles(), opera), nullptr);
}

}  // namespace
