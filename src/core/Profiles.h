// Profiles for other players: with no TV application running, the window in
// front chooses a profile by its program's file name or its window class, and
// the profile says what each of the remote's keys does there. A profile's
// map is a key map of the core's own rows; the built-in profiles are tables
// (ProfileTables.cpp), and the user's file (profiles.ini) is parsed into the
// same rows (ProfileFile.cpp), its missing file written from the built-ins.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/Windows.h"
#include "core/KeyMap.h"
#include "core/List.h"

namespace core {

struct Profile {
    const char* name;                       // as the key display shows it: "VLC"
    List<const char* const> programs;       // program file names, any letter case: "vlc.exe"
    List<const char* const> windowClasses;  // window classes, any letter case
    // Title patterns (* any text, ? one character, any letter case): when
    // given, the profile is for the windows of its programs or classes whose
    // title one of them matches, and comes before the profiles without.
    List<const char* const> titles;
    // Rows of kind Chord (typed to the window in front), AppCommand
    // (WM_APPCOMMAND to it) or Pointer (left to the media keys and the pointer).
    KeyMap keys;
};

// The profiles the program comes with, in the order in which they are written
// to a new profiles.ini.
extern const List<Profile> BuiltInProfiles;

// The first profile that names the program (compared in any letter case),
// else the first that names the window class; of those with titles only one
// whose pattern the title matches, and before any without; null when none does.
const Profile* MatchProfile(List<Profile> profiles, const Foreground& foreground);

// Why a line of profiles.ini was skipped; the argument and the other line
// that some reasons take are given with them.
enum class SkipReason {
    NotText,               // argument: the byte that is not text
    LineTooLong,           // longer than ProfileLineLimit
    FileTooLong,           // the line where the file goes past ProfileFileLimit
    SectionWithoutEnd,     // "[..." without ']'
    SectionWithoutName,    // "[ ]"
    NeitherSectionNorSetting,
    BeforeAnySection,
    UnknownProgram,        // argument: the value
    UnknownWindowClass,    // argument: the value
    UnknownTitle,          // argument: the value
    UnknownKeyName,        // argument: the name
    UnknownAction,         // argument: the value
    KeySetAlready,         // argument: the key's label; otherLine: where it is set
    ProfileWithoutWindows, // argument: the profile's name (a new one that names no program and no class)
};

// A line of profiles.ini that was skipped, and why.
struct SkippedLine {
    int line;  // counted from 1
    SkipReason reason;
    std::string argument;
    int otherLine = 0;
};

// The profiles in use with a file: the file's own, then the built-in ones
// with the file's changes. It owns every text and row that its profiles
// point to; moving it keeps them valid.
class ProfileBook {
public:
    // Defined where Owned is (ProfileFile.cpp).
    ProfileBook();
    ~ProfileBook();
    ProfileBook(ProfileBook&&) noexcept;
    ProfileBook& operator=(ProfileBook&&) noexcept;
    ProfileBook(const ProfileBook&) = delete;
    ProfileBook& operator=(const ProfileBook&) = delete;

    List<Profile> profiles() const { return {profiles_.data(), profiles_.size()}; }
    const std::vector<SkippedLine>& skipped() const { return skipped_; }
    // How many profiles the file adds or changes.
    size_t fileProfiles() const { return fileProfiles_; }

private:
    friend ProfileBook ParseProfiles(const char* text, size_t length, bool cut);

public:
    struct Owned;  // defined where it is made (ProfileFile.cpp)

private:
    std::vector<Profile> profiles_;
    std::vector<SkippedLine> skipped_;
    size_t fileProfiles_ = 0;
    std::vector<std::unique_ptr<Owned>> owned_;
};

// At most this much of a file is read; the lines after it are skipped.
constexpr size_t ProfileFileLimit = 64 * 1024;
// A longer line is skipped.
constexpr size_t ProfileLineLimit = 200;

// Parses the text of profiles.ini (length bytes, not 0-terminated; NUL bytes
// are not text; a UTF-8 byte order mark and CRLF line ends are read). A line
// that cannot be used is skipped and named in skipped(), in line order; the
// rest is used. Of two lines for the same key in a profile the first counts,
// and the second is skipped. The file's sections lie on top of the built-in
// profiles (see ProfileFile.cpp).
ProfileBook ParseProfiles(const char* text, size_t length);
// The same for the whole of a text converted from the file's bytes: cut,
// when the file goes on past ProfileFileLimit of its bytes, so that its
// last line, cut short, is not read and the rest is skipped.
ProfileBook ParseProfiles(const char* text, size_t length, bool cut);

// The text of a profiles.ini that holds these profiles, after the comments
// that explain its format; ParseProfiles reads it back to the same rows.
std::string WriteProfiles(List<Profile> profiles);
// The text of a new profiles.ini: those comments alone, which change nothing.
const char* ExampleProfiles();

// A row's action as profiles.ini says it: "Alt+Right", "AppCommand:VolumeUp",
// "Pointer"; "" for a row the file cannot hold.
std::string ProfileActionText(const KeyAction& action);

// What Settings says of the file: how many profiles it adds or changes, how
// many of its lines were skipped and the first of them (0 when none was).
struct ProfileFileSummary {
    size_t profiles;
    size_t skipped;
    int firstSkippedLine;
};
ProfileFileSummary SummarizeProfileFile(const ProfileBook& book);

// True for the keys whose profile action repeats while the key is held (their
// rows' RepeatsInPlayers: the four directions, the volume keys and the seek
// keys). Every other key acts once per press.
bool RepeatsInProfile(int code);
// True when the profile's row repeats while its key is held: as the row
// says, else as its key does.
bool RepeatsWhileHeld(const KeyAction& row);

// True when the text matches the pattern: * any text, ? one character,
// letters in any case.
bool MatchesPattern(const char* pattern, const char* text);

}  // namespace core
