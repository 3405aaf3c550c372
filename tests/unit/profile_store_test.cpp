// The profile store against files in a folder of the test's own:
// profiles.ini written as a commented example when it is missing, read
// again only after its time or size changed, its skipped lines traced, and
// the built-in profiles while it cannot be written or read.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "apps/ProfileStore.h"

namespace {



const char* const TestPrograms[] = {"player_under_test.exe"};
const char* const TestClasses[] = {"MarlowPlayerUnderTest"};
const core::KeyAction TestRows[] = {core::Type(RemoteKey::Play, 'P')};

// The text of a profiles.ini with one profile of that name.
std::string FileWith(const char* name) {
    const core::Profile profile = {name, {TestPrograms, 1}, {TestClasses, 1}, {nullptr, 0}, {TestRows, 1}};
    return core::WriteProfiles({&profile, 1});
}

std::vector<std::string> AllNames(core::List<core::Profile> profiles) {
    std::vector<std::string> names;
    for (const core::Profile& profile : profiles) names.push_back(profile.name);
    return names;
}

// The names of the profiles that the file adds, before the built-in ones.
std::vector<std::string> Names(core::List<core::Profile> profiles) {
    std::vector<std::string> names = AllNames(profiles);
    names.resize(names.size() - core::BuiltInProfiles.count);
    return names;
}

std::string LineNumber(int line) { return "using line " + std::to_string(line) + " ("; }

// What Settings is told of the file, every field of it; "none" when the
// file cannot be read.
std::string Summary(size_t profiles, size_t skipped, int firstSkippedLine) {
    return std::to_string(profiles) + " profiles, " + std::to_string(skipped) + " skipped from line " +
           std::to_string(firstSkippedLine);
}

std::string Summary(const std::optional<core::ProfileFileSummary>& summary) {
    return summary ? Summary(summary->profiles, summary->skipped, summary->firstSkippedLine) : "none";
}

class Store : public ::testing::Test {
protected:
    TempFolder folder;
    const std::string own = folder.path() + "\\Marlow Remote Control";
    const std::string file = own + "\\profiles.ini";
    ProfileStore store;

    void SetUp() override { store.UseFolder(folder.path().c_str()); }
    void Write(const std::string& text) {
        CreateDirectoryA(own.c_str(), nullptr);
        WriteWholeFile(file, text);
    }
    FILETIME WriteTime() const {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }
    void SetWriteTime(FILETIME time) const {
        HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    }
};

TEST_F(Store, AMissingFileIsWrittenAsAnExampleAndAnExistingOneIsKept) {
    // Not even its folder is there.
    const std::vector<std::string> used = AllNames(store.Profiles());
    EXPECT_EQ(ReadWholeFile(file), core::ExampleProfiles());
    EXPECT_EQ(used, AllNames(core::BuiltInProfiles));
    EXPECT_EQ(store.parses(), 1);  // what is used is what the file says
    EXPECT_STREQ(store.MakeSureFileExists(), file.c_str());

    Write(FileWith("Test Player"));
    ProfileStore next;  // the next run
    next.UseFolder(folder.path().c_str());
    EXPECT_EQ(Names(next.Profiles()), std::vector<std::string>{"Test Player"});
    EXPECT_EQ(ReadWholeFile(file), FileWith("Test Player"));
}

TEST_F(Store, TheFileIsReadAgainOnlyWhenItsTimeOrSizeHasChanged) {
    Write(FileWith("Test Player"));
    for (int ask = 0; ask < 3; ++ask) store.Profiles();
    EXPECT_EQ(store.parses(), 1);

    // One byte longer, with the same time: as an editor that keeps it may write it.
    const FILETIME first = WriteTime();
    Write(FileWith("Test Player 2"));
    SetWriteTime(first);
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player 2"});
    EXPECT_EQ(store.parses(), 2);

    // As long, written later.
    FILETIME written = WriteTime();
    Write(FileWith("Test Player 3"));
    written.dwHighDateTime += 1;  // about seven minutes later
    SetWriteTime(written);
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player 3"});
    EXPECT_EQ(store.parses(), 3);

    // As long, and with the same time: not looked at again.
    Write(FileWith("Test Player 4"));
    SetWriteTime(written);
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player 3"});
    EXPECT_EQ(store.parses(), 3);
}

// A user folder named outside the active code page (Wine's 1252 here) holds
// the file; the failure trace names it with '?' for each letter that the code
// page lacks.
TEST(StoreOutsideTheCodePage, TheFileIsMadeAndReadThereAndTheTraceNamesItWithQuestionMarks) {
    ASSERT_EQ(GetACP(), 1252u);
    TempFolder folder;
    const std::string user = folder.path() + "\\Ольга";  // UTF-8
    ASSERT_TRUE(CreateDirectoryW(Wide(user).c_str(), nullptr));
    ProfileStore store;
    store.UseFolder(user.c_str());
    const std::string file = user + "\\Marlow Remote Control\\profiles.ini";
    EXPECT_EQ(AllNames(store.Profiles()), AllNames(core::BuiltInProfiles));
    EXPECT_EQ(ReadWholeFile(file), core::ExampleProfiles());

    WriteWholeFile(file, FileWith("Test Player") + "Vol++ = Space\r\n");
    DebugOutput trace;
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player"});
    EXPECT_EQ(trace.With({"using line", ") of "}).size(), 1u);
    const std::string named = ") of " + folder.path() +
                              "\\?????\\Marlow Remote Control\\profiles.ini failed (0x0000000D)";
    EXPECT_EQ(trace.With({named.c_str()}).size(), 1u);
}

// Notepad before Windows 10 saves "ANSI", the active code page: such a file
// is read in it, and a UTF-8 one as UTF-8 (the same name in both).
TEST_F(Store, AFileSavedInTheCodePageIsReadInIt) {
    ASSERT_EQ(GetACP(), 1252u);
    const std::string utf8 = "[Caf\xC3\xA9 Player]\r\nprogram = caf\xC3\xA9.exe\r\nPlay = P\r\n";
    const std::string ansi = "[Caf\xE9 Player]\r\nprogram = caf\xE9.exe\r\nPlay = P\r\n";
    for (const std::string& text : {utf8, ansi}) {
        Write(text);  // each of another size, so read again
        const core::List<core::Profile> profiles = store.Profiles();
        ASSERT_EQ(Names(profiles), std::vector<std::string>{"Caf\xC3\xA9 Player"}) << text;
        EXPECT_STREQ(profiles.items[0].programs.items[0], "caf\xC3\xA9.exe");
    }
}

// The bytes of the text in UTF-16 after its byte order mark, little or big endian.
std::string Utf16File(const std::wstring& text, bool little) {
    std::string bytes;
    for (const wchar_t unit : L"\xFEFF" + text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

// Notepad's "Unicode" and "Unicode big endian".
TEST_F(Store, AFileSavedInUtf16IsReadAsSuch) {
    const std::string name = "\xD0\x9F\xD0\xBB\xD0\xB5\xD0\xB5\xD1\x80";  // Плеер in UTF-8
    const std::wstring text = L"[" + Wide(name) + L"]\r\nprogram = mpv.exe\r\nPlay = P\r\n";
    for (const bool little : {true, false}) {
        Write(Utf16File(text, little) + (little ? "" : "\n"));  // of another size; an odd byte left out
        const core::List<core::Profile> profiles = store.Profiles();
        ASSERT_EQ(Names(profiles), std::vector<std::string>{name}) << little;
        EXPECT_STREQ(profiles.items[0].programs.items[0], "mpv.exe");
        EXPECT_EQ(Summary(store.Summary()), Summary(1, 0, 0));
    }
    // Cut at the limit of its bytes between the halves of a surrogate pair.
    std::wstring huge = text;
    while (huge.size() < core::ProfileFileLimit / 2 - 2) huge += L"; a\r\n";
    huge.resize(core::ProfileFileLimit / 2 - 2, L'x');
    Write(Utf16File(huge + L"\xD83D\xDE00 and on\r\n", true));
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{name});
    EXPECT_EQ(Summary(store.Summary()), Summary(1, 1, static_cast<int>(std::count(huge.begin(), huge.end(), L'\n')) + 1));
}

TEST_F(Store, EachSkippedLineIsTracedWithTheFileTheLineAndTheReason) {
    const std::string good = FileWith("Test Player");
    const int after = static_cast<int>(std::count(good.begin(), good.end(), '\n'));
    const std::string text = good + "Vol++ = Space\r\n" + std::string(300, 'x') + "\r\n";
    Write(text);

    DebugOutput trace;
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player"});  // the rest works
    const std::pair<int, std::string> skipped[] = {{after + 1, "unknown key name 'Vol++'"},
                                                   {after + 2, "line longer than 200 characters"}};
    for (const auto& [line, reason] : skipped) {
        SCOPED_TRACE(line);
        EXPECT_EQ(trace.With({LineNumber(line).c_str()}),
                  std::vector<std::string>{"Marlow Remote Control: " + LineNumber(line) + reason + ") of " +
                                           file + " failed (0x0000000D)"});
    }
    EXPECT_EQ(Summary(store.Summary()), Summary(1, 2, after + 1));
}

TEST(SkipReasons, EachIsTracedInItsOwnWords) {
    using R = core::SkipReason;
    const struct {
        core::SkippedLine skipped;
        const char* words;
    } reasons[] = {
        {{1, R::NotText, std::string(1, '\0')}, "not text (a byte 0x00)"},
        {{1, R::NotText, "\x1F"}, "not text (a byte 0x1F)"},
        {{1, R::LineTooLong, ""}, "line longer than 200 characters"},
        {{1, R::FileTooLong, ""}, "the file is longer than 65536 bytes: the rest is not read"},
        {{1, R::SectionWithoutEnd, ""}, "a section line without ']'"},
        {{1, R::SectionWithoutName, ""}, "a section without a name"},
        {{1, R::NeitherSectionNorSetting, ""}, "neither a [section] nor a 'name = value' line"},
        {{1, R::BeforeAnySection, ""}, "a line before any [section]"},
        {{1, R::UnknownProgram, "vlc"}, "unknown program name 'vlc'"},
        {{1, R::UnknownWindowClass, ""}, "unknown window class ''"},
        {{1, R::UnknownTitle, ""}, "unknown title pattern ''"},
        {{1, R::UnknownKeyName, "Vol++"}, "unknown key name 'Vol++'"},
        {{1, R::UnknownAction, "Ctrl+Foo"}, "unknown action 'Ctrl+Foo'"},
        {{4, R::KeySetAlready, "Play", 3}, "key 'Play' is set already on line 3"},
        {{2, R::ProfileWithoutWindows, "Nothing"}, "profile 'Nothing' names no program and no class"},
    };
    for (const auto& reason : reasons) EXPECT_EQ(SkipReasonText(reason.skipped), reason.words);
}

TEST_F(Store, AHugeFileIsKnownAsHuge) {
    std::string text = FileWith("Test Player");
    while (text.size() <= core::ProfileFileLimit) text += "; a note that makes the file long\r\n";
    Write(text);
    // One byte more than the parser reads tells it that there is more.
    ASSERT_GT(text.size(), core::ProfileFileLimit);
    const int lines = static_cast<int>(std::count(text.begin(), text.begin() + core::ProfileFileLimit, '\n'));
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player"});
    EXPECT_EQ(Summary(store.Summary()), Summary(1, 1, lines + 1));
}

TEST_F(Store, WhileTheFileCannotBeWrittenOrReadTheBuiltInProfilesAreUsed) {
    // A file where its folder would be: neither can be made.
    WriteWholeFile(own, "not a folder");
    {
        DebugOutput trace;
        EXPECT_EQ(store.Profiles().items, core::BuiltInProfiles.items);
        EXPECT_EQ(trace.With({"writing", file.c_str()}).size(), 1u)
            << ::testing::PrintToString(trace.lines);
    }
    EXPECT_EQ(store.MakeSureFileExists(), nullptr);
    EXPECT_FALSE(store.Summary().has_value());
    DeleteFileA(own.c_str());

    // Held by another program that shares it with no one.
    Write(FileWith("Test Player"));
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        DebugOutput trace;
        EXPECT_EQ(store.Profiles().items, core::BuiltInProfiles.items);
        EXPECT_EQ(trace.With({"reading", file.c_str(), "(0x00000020)"}).size(), 1u);
    }
    CloseHandle(held);
    // Let go, unchanged: read at the next ask.
    EXPECT_EQ(Names(store.Profiles()), std::vector<std::string>{"Test Player"});
}

}  // namespace
