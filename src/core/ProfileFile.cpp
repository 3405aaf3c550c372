// profiles.ini: parsed into the core's rows, and written from them.
//
//   ; a note                      lines beginning with ; or # are notes
//   [VLC]                         a profile, named as the key display shows it
//   program = vlc.exe             a program file name; may repeat
//   class = SomeWindowClass       a window class; may repeat
//   Play = Space                  a remote key's label = a key or chord (up to four keys)
//   Right = Alt+Right
//   Vol+ = AppCommand:VolumeUp    an app command (WM_APPCOMMAND) to the window
//   1 = Pointer                   the key does what it does without the profile
//   Stop = Nothing ; not here     the key does nothing; a note after " ;" or " #"
//
// Names are compared in any letter case. A line that cannot be used is
// skipped and reported; the first line that sets a key wins over later ones.
#include "core/Profiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/KeyNames.h"
#include "core/Text.h"

namespace core {

namespace {

constexpr char PointerName[] = "Pointer";
constexpr char NothingName[] = "Nothing";
constexpr char AppCommandPrefix[] = "AppCommand:";

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The text before a note that ends it: a ; or # after a space or a tab.
std::string_view WithoutNote(std::string_view text) {
    for (size_t at = 1; at < text.size(); ++at) {
        if ((text[at] == ';' || text[at] == '#') && (text[at - 1] == ' ' || text[at - 1] == '\t'))
            return Trimmed(text.substr(0, at));
    }
    return text;
}

// The action of the text for the key; false when the text names none.
bool ParseAction(RemoteKey key, std::string_view text, KeyAction& action) {
    if (SameInAnyCase(text, PointerName) || SameInAnyCase(text, NothingName)) {
        action = SameInAnyCase(text, PointerName) ? LeaveToPointer(key) : DoNothing(key);
        return true;
    }
    if (StartsInAnyCase(text, AppCommandPrefix)) {
        const unsigned command = AppCommandNamed(Trimmed(text.substr(std::strlen(AppCommandPrefix))));
        if (command == 0) return false;
        action = AppCommand(key, static_cast<uint16_t>(command));
        return true;
    }
    action = Type(key, 0);
    size_t count = 0;
    for (size_t start = 0; start <= text.size(); ++count) {
        const size_t plus = std::min(text.find('+', start), text.size());
        const uint8_t typed = KeyNamed(Trimmed(text.substr(start, plus - start)));
        if (typed == 0 || count == std::size(action.keys)) return false;
        action.keys[count] = typed;
        start = plus + 1;
    }
    return true;
}

// A program file name: no folder, ending in .exe, short enough to be a
// foreground window's.
bool IsProgramName(std::string_view name) {
    constexpr std::string_view Extension = ".exe";
    return name.size() > Extension.size() && name.size() < ForegroundNameSize &&
           name.find_first_of("\\/:*?\"<>|") == std::string_view::npos &&
           SameInAnyCase(name.substr(name.size() - Extension.size()), Extension);
}

// One [section] of the file as it is read.
struct Section {
    int line = 0;
    std::string name;
    std::vector<std::string> programs;
    std::vector<std::string> windowClasses;
    std::vector<KeyAction> rows;
    std::vector<int> rowLines;
};

// Reads the file's lines into its sections, and the lines it skips.
class Reader {
public:
    Reader(const char* text, size_t end, bool cut);

    std::vector<Section> sections;  // those that name a program or a class
    std::vector<SkippedLine> skipped;

private:
    void Read(int line, std::string_view text);
    void Setting(int line, std::string_view name, std::string_view value);
    void EndSection();
    void Skip(int line, SkipReason reason, std::string_view argument = {}, int otherLine = 0) {
        skipped.push_back({line, reason, std::string(argument), otherLine});
    }

    Section section_;
    bool inSection_ = false;
};

Reader::Reader(const char* text, size_t end, bool cut) {
    size_t at = 0;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(text, end).substr(0, ByteOrderMark.size()) == ByteOrderMark)
        at = ByteOrderMark.size();
    int line = 1;
    for (; at < end; ++line) {
        const void* newline = std::memchr(text + at, '\n', end - at);
        if (newline == nullptr && cut) break;  // the line goes on past the limit
        const size_t stop =
            newline != nullptr ? static_cast<size_t>(static_cast<const char*>(newline) - text) : end;
        std::string_view content(text + at, stop - at);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        Read(line, content);
        at = stop + 1;
    }
    if (cut) Skip(line, SkipReason::FileTooLong);
    EndSection();
    std::stable_sort(skipped.begin(), skipped.end(),
                     [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
}

void Reader::Read(int line, std::string_view text) {
    const auto control = std::find_if(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && byte != '\t') || byte == 0x7F;
    });
    if (control != text.end()) {
        Skip(line, SkipReason::NotText, std::string_view(&*control, 1));
        return;
    }
    if (text.size() > ProfileLineLimit) {
        Skip(line, SkipReason::LineTooLong);
        return;
    }
    text = Trimmed(text);
    if (text.empty() || text.front() == ';' || text.front() == '#') return;
    if (text.front() == '[') {
        const size_t end = text.rfind(']');  // a note may follow
        if (end != std::string_view::npos && WithoutNote(text.substr(end)) == "]") text = text.substr(0, end + 1);
        if (text.back() != ']') {
            Skip(line, SkipReason::SectionWithoutEnd);
            return;
        }
        const std::string_view name = Trimmed(text.substr(1, text.size() - 2));
        if (name.empty()) {
            Skip(line, SkipReason::SectionWithoutName);
            return;
        }
        EndSection();
        section_ = Section();
        section_.line = line;
        section_.name = std::string(name);
        inSection_ = true;
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        Skip(line, SkipReason::NeitherSectionNorSetting);
        return;
    }
    if (!inSection_) {
        Skip(line, SkipReason::BeforeAnySection);
        return;
    }
    Setting(line, Trimmed(text.substr(0, equals)), WithoutNote(Trimmed(text.substr(equals + 1))));
}

void Reader::Setting(int line, std::string_view name, std::string_view value) {
    const std::string key(name);
    if (SameInAnyCase(key, "program")) {
        if (IsProgramName(value))
            section_.programs.emplace_back(value);
        else
            Skip(line, SkipReason::UnknownProgram, value);
        return;
    }
    if (SameInAnyCase(key, "class")) {
        if (!value.empty() && value.size() < ForegroundNameSize)
            section_.windowClasses.emplace_back(value);
        else
            Skip(line, SkipReason::UnknownWindowClass, value);
        return;
    }
    const int code = CodeOfLabel(key.c_str());
    if (code < 0) {
        Skip(line, SkipReason::UnknownKeyName, name);
        return;
    }
    KeyAction action{};
    if (!ParseAction(static_cast<RemoteKey>(code), value, action)) {
        Skip(line, SkipReason::UnknownAction, value);
        return;
    }
    const auto same = std::find_if(section_.rows.begin(), section_.rows.end(),
                                   [code](const KeyAction& row) { return Code(row.key) == code; });
    if (same != section_.rows.end()) {
        const int first = section_.rowLines[static_cast<size_t>(same - section_.rows.begin())];
        Skip(line, SkipReason::KeySetAlready, KeyLabel(code), first);
        return;
    }
    section_.rows.push_back(action);
    section_.rowLines.push_back(line);
}

void Reader::EndSection() {
    if (!inSection_) return;
    inSection_ = false;
    if (section_.programs.empty() && section_.windowClasses.empty())
        Skip(section_.line, SkipReason::ProfileWithoutWindows, section_.name);
    else
        sections.push_back(std::move(section_));
}

constexpr char Header[] =
    "; Profiles for other players, for Marlow Remote Control: what the remote's\r\n"
    "; keys do while another player's window is in front and no TV application\r\n"
    "; runs (Settings: \"Profiles for other players\"). Edit it with any text\r\n"
    "; editor: it is read again when it changes, and written afresh when missing.\r\n"
    ";\r\n"
    ";   [Name]               begins a profile; the key display shows its name\r\n"
    ";   program = vlc.exe    a program file name it is for (may repeat)\r\n"
    ";   class = WindowClass  a window class it is for (may repeat)\r\n"
    ";   Play = Space         remote key = key or chord typed to the window (Ctrl+Right)\r\n"
    ";   Vol+ = AppCommand:VolumeUp   an app command to the window\r\n"
    ";   OK = Pointer         the key does what it does without a profile\r\n"
    ";   Stop = Nothing       the key does nothing while the window is in front\r\n"
    ";\r\n"
    "; A key a profile leaves out also does what it does without one; the first\r\n"
    "; line for a key counts. Lines that begin with ; are notes, and so is the\r\n"
    "; end of a line from a ; or # after a space. The README's\r\n"
    "; \"Profiles for other players\" lists the remote's keys, the key names and\r\n"
    "; the app commands.\r\n";

}  // namespace

struct ProfileBook::Owned {
    std::string name;
    std::vector<std::string> programs;
    std::vector<std::string> windowClasses;
    std::vector<const char*> programNames;
    std::vector<const char*> classNames;
    std::vector<KeyAction> rows;
};

ProfileBook::ProfileBook() = default;
ProfileBook::~ProfileBook() = default;
ProfileBook::ProfileBook(ProfileBook&&) noexcept = default;
ProfileBook& ProfileBook::operator=(ProfileBook&&) noexcept = default;

ProfileBook ParseProfiles(const char* text, size_t length) {
    return ParseProfiles(text, std::min(length, ProfileFileLimit), length > ProfileFileLimit);
}

ProfileBook ParseProfiles(const char* text, size_t length, bool cut) {
    Reader reader(text, length, cut);
    ProfileBook book;
    for (Section& section : reader.sections) {
        auto owned = std::make_unique<ProfileBook::Owned>();
        owned->name = std::move(section.name);
        owned->programs = std::move(section.programs);
        owned->windowClasses = std::move(section.windowClasses);
        owned->rows = std::move(section.rows);
        for (const std::string& program : owned->programs) owned->programNames.push_back(program.c_str());
        for (const std::string& windowClass : owned->windowClasses)
            owned->classNames.push_back(windowClass.c_str());
        book.profiles_.push_back({owned->name.c_str(),
                                  {owned->programNames.data(), owned->programNames.size()},
                                  {owned->classNames.data(), owned->classNames.size()},
                                  {owned->rows.data(), owned->rows.size()}});
        book.owned_.push_back(std::move(owned));
    }
    book.skipped_ = std::move(reader.skipped);
    return book;
}

std::string WriteProfiles(List<Profile> profiles) {
    std::string text = Header;
    for (const Profile& profile : profiles) {
        text += "\r\n[" + std::string(profile.name) + "]\r\n";
        for (const char* program : profile.programs) text += "program = " + std::string(program) + "\r\n";
        for (const char* windowClass : profile.windowClasses)
            text += "class = " + std::string(windowClass) + "\r\n";
        for (size_t i = 0; i < profile.keys.count; ++i) {
            const KeyAction& row = profile.keys.rows[i];
            std::string label = KeyLabel(Code(row.key));
            label.resize(std::max<size_t>(label.size(), 6), ' ');
            text += label + " = " + ProfileActionText(row) + "\r\n";
        }
    }
    return text;
}

std::string ProfileActionText(const KeyAction& action) {
    switch (action.kind) {
        case KeyActionKind::Pointer:
            return PointerName;
        case KeyActionKind::Nothing:
            return NothingName;
        case KeyActionKind::AppCommand: {
            const char* command = AppCommandName(action.value);
            return command != nullptr ? AppCommandPrefix + std::string(command) : "";
        }
        case KeyActionKind::Chord: {
            std::string text;
            for (size_t i = 0; i < ChordLength(action); ++i) {
                const std::string name = KeyName(action.keys[i]);
                if (name.empty()) return {};
                text += (i == 0 ? "" : "+") + name;
            }
            return text;
        }
        default:
            return {};
    }
}

ProfileFileSummary SummarizeProfileFile(const ProfileBook& book) {
    const std::vector<SkippedLine>& skipped = book.skipped();
    return {book.profiles().count, skipped.size(), skipped.empty() ? 0 : skipped.front().line};
}

}  // namespace core
