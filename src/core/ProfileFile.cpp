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
//
// Names are compared in any letter case. A line that cannot be used is
// skipped and reported; the first line that sets a key wins over later ones.
#include "core/Profiles.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <numeric>
#include <string_view>

#include "core/Sdk.h"
#include "core/Text.h"

namespace core {

namespace {

// A key by its name in an action.
struct NamedKey {
    uint8_t key;
    const char* name;
};

// Besides these the letters A to Z and the digits 0 to 9 (one character
// each), F1 to F12, Num0 to Num9, and the media keys below.
constexpr NamedKey KeyNames[] = {
    {VK_CONTROL, "Ctrl"},   {VK_SHIFT, "Shift"},       {VK_MENU, "Alt"},          {VK_LWIN, "Win"},
    {VK_SPACE, "Space"},    {VK_RETURN, "Enter"},      {VK_ESCAPE, "Esc"},        {VK_TAB, "Tab"},
    {VK_BACK, "Backspace"}, {VK_INSERT, "Insert"},     {VK_DELETE, "Delete"},     {VK_HOME, "Home"},
    {VK_END, "End"},        {VK_PRIOR, "PageUp"},      {VK_NEXT, "PageDown"},     {VK_UP, "Up"},
    {VK_DOWN, "Down"},      {VK_LEFT, "Left"},         {VK_RIGHT, "Right"},       {VK_OEM_PLUS, "Plus"},
    {VK_OEM_MINUS, "Minus"}, {VK_OEM_COMMA, "Comma"},  {VK_OEM_PERIOD, "Period"}, {VK_ADD, "NumPlus"},
    {VK_SUBTRACT, "NumMinus"},
};

// The media and browser keys and the app commands share their names: a key
// typed, or AppCommand:<name>. A key 0: the app command has no key.
struct MediaName {
    const char* name;
    uint8_t key;
    uint16_t command;
};

constexpr MediaName MediaNames[] = {
    {"MediaPlayPause", VK_MEDIA_PLAY_PAUSE, APPCOMMAND_MEDIA_PLAY_PAUSE},
    {"MediaStop", VK_MEDIA_STOP, APPCOMMAND_MEDIA_STOP},
    {"MediaNext", VK_MEDIA_NEXT_TRACK, APPCOMMAND_MEDIA_NEXTTRACK},
    {"MediaPrevious", VK_MEDIA_PREV_TRACK, APPCOMMAND_MEDIA_PREVIOUSTRACK},
    {"VolumeUp", VK_VOLUME_UP, APPCOMMAND_VOLUME_UP},
    {"VolumeDown", VK_VOLUME_DOWN, APPCOMMAND_VOLUME_DOWN},
    {"VolumeMute", VK_VOLUME_MUTE, APPCOMMAND_VOLUME_MUTE},
    {"BrowserBack", VK_BROWSER_BACK, APPCOMMAND_BROWSER_BACKWARD},
    {"BrowserForward", VK_BROWSER_FORWARD, APPCOMMAND_BROWSER_FORWARD},
    {"BrowserRefresh", VK_BROWSER_REFRESH, APPCOMMAND_BROWSER_REFRESH},
    {"BrowserStop", VK_BROWSER_STOP, APPCOMMAND_BROWSER_STOP},
    {"BrowserSearch", VK_BROWSER_SEARCH, APPCOMMAND_BROWSER_SEARCH},
    {"BrowserFavorites", VK_BROWSER_FAVORITES, APPCOMMAND_BROWSER_FAVORITES},
    {"BrowserHome", VK_BROWSER_HOME, APPCOMMAND_BROWSER_HOME},
    {"MediaPlay", 0, APPCOMMAND_MEDIA_PLAY},
    {"MediaPause", 0, APPCOMMAND_MEDIA_PAUSE},
    {"MediaRecord", 0, APPCOMMAND_MEDIA_RECORD},
    {"MediaFastForward", 0, APPCOMMAND_MEDIA_FAST_FORWARD},
    {"MediaRewind", 0, APPCOMMAND_MEDIA_REWIND},
    {"MediaChannelUp", 0, APPCOMMAND_MEDIA_CHANNEL_UP},
    {"MediaChannelDown", 0, APPCOMMAND_MEDIA_CHANNEL_DOWN},
};

// The first entry of the table for which the test is true, or null.
template <typename T, size_t N, typename Test>
const T* FirstOf(const T (&table)[N], Test test) {
    const T* found = std::find_if(std::begin(table), std::end(table), test);
    return found != std::end(table) ? found : nullptr;
}

const MediaName* MediaNamed(const std::string& name) {
    return FirstOf(MediaNames,
                   [&](const MediaName& media) { return SameInAnyCase(media.name, name.c_str()); });
}

constexpr char PointerName[] = "Pointer";
constexpr char AppCommandPrefix[] = "AppCommand:";

// A name and a number in a range of keys: "F" 1 to 12, "Num" 0 to 9.
struct KeyRange {
    const char* prefix;
    int first;
    int last;
    uint8_t firstKey;
};
constexpr KeyRange KeyRanges[] = {{"F", 1, 12, VK_F1}, {"Num", 0, 9, VK_NUMPAD0}};

// Built by appending: GCC 12 at -O2 warns (-Wrestrict) about an overlap that
// cannot happen in `"'" + std::string(text) + "'"`.
std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsInAnyCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           SameInAnyCase(std::string(text.substr(0, start.size())).c_str(), std::string(start).c_str());
}

// The number that follows the prefix in the name ("F11": 11), or -1.
int NumberAfter(std::string_view name, std::string_view prefix) {
    const std::string_view digits = name.substr(std::min(prefix.size(), name.size()));
    if (!StartsInAnyCase(name, prefix) || digits.empty() || digits.size() > 2 ||
        (digits.size() == 2 && digits[0] == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::accumulate(digits.begin(), digits.end(), 0,
                           [](int number, char digit) { return number * 10 + (digit - '0'); });
}

// The key of a name, or 0.
uint8_t KeyOfName(const std::string& name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(name[0])));
    if (const NamedKey* named =
            FirstOf(KeyNames, [&](const NamedKey& key) { return SameInAnyCase(key.name, name.c_str()); }))
        return named->key;
    if (const MediaName* media = MediaNamed(name)) return media->key;
    const KeyRange* range = FirstOf(KeyRanges, [&](const KeyRange& candidate) {
        const int number = NumberAfter(name, candidate.prefix);
        return number >= candidate.first && number <= candidate.last;
    });
    if (range == nullptr) return 0;
    return static_cast<uint8_t>(range->firstKey + NumberAfter(name, range->prefix) - range->first);
}

// The name of a key, or "" for a key without one.
std::string NameOfKey(uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (const NamedKey* named = FirstOf(KeyNames, [key](const NamedKey& entry) { return entry.key == key; }))
        return named->name;
    if (const MediaName* media =
            FirstOf(MediaNames, [key](const MediaName& entry) { return entry.key == key; }))
        return media->name;
    const KeyRange* range = FirstOf(KeyRanges, [key](const KeyRange& candidate) {
        return key >= candidate.firstKey && key <= candidate.firstKey + (candidate.last - candidate.first);
    });
    if (range == nullptr) return {};
    return range->prefix + std::to_string(range->first + (key - range->firstKey));
}

// The action of the text for the key; false when the text names none.
bool ParseAction(RemoteKey key, std::string_view text, KeyAction& action) {
    if (SameInAnyCase(std::string(text).c_str(), PointerName)) {
        action = LeaveToPointer(key);
        return true;
    }
    if (StartsInAnyCase(text, AppCommandPrefix)) {
        const MediaName* command =
            MediaNamed(std::string(Trimmed(text.substr(std::strlen(AppCommandPrefix)))));
        if (command == nullptr) return false;
        action = AppCommand(key, command->command);
        return true;
    }
    action = Type(key, 0);
    size_t count = 0;
    for (size_t start = 0; start <= text.size(); ++count) {
        const size_t plus = std::min(text.find('+', start), text.size());
        const uint8_t typed = KeyOfName(std::string(Trimmed(text.substr(start, plus - start))));
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
           SameInAnyCase(std::string(name.substr(name.size() - Extension.size())).c_str(),
                         std::string(Extension).c_str());
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
    Reader(const char* text, size_t length);

    std::vector<Section> sections;  // those that name a program or a class
    std::vector<SkippedLine> skipped;

private:
    void Read(int line, std::string_view text);
    void Setting(int line, std::string_view name, std::string_view value);
    void EndSection();
    void Skip(int line, std::string reason) { skipped.push_back({line, std::move(reason)}); }

    Section section_;
    bool inSection_ = false;
};

Reader::Reader(const char* text, size_t length) {
    const size_t end = std::min(length, ProfileFileLimit);
    size_t at = 0;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(text, end).substr(0, ByteOrderMark.size()) == ByteOrderMark)
        at = ByteOrderMark.size();
    int line = 1;
    for (; at < end; ++line) {
        const void* newline = std::memchr(text + at, '\n', end - at);
        if (newline == nullptr && length > end) break;  // the line goes on past the limit
        const size_t stop =
            newline != nullptr ? static_cast<size_t>(static_cast<const char*>(newline) - text) : end;
        std::string_view content(text + at, stop - at);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        Read(line, content);
        at = stop + 1;
    }
    if (length > end)
        Skip(line,
             "the file is longer than " + std::to_string(ProfileFileLimit) + " bytes: the rest is not read");
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
        static constexpr char Hex[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(*control);
        Skip(line, std::string("not text (a byte 0x") + Hex[byte >> 4] + Hex[byte & 0xF] + ")");
        return;
    }
    if (text.size() > ProfileLineLimit) {
        Skip(line, "line longer than " + std::to_string(ProfileLineLimit) + " characters");
        return;
    }
    text = Trimmed(text);
    if (text.empty() || text.front() == ';' || text.front() == '#') return;
    if (text.front() == '[') {
        if (text.back() != ']') {
            Skip(line, "a section line without ']'");
            return;
        }
        const std::string_view name = Trimmed(text.substr(1, text.size() - 2));
        if (name.empty()) {
            Skip(line, "a section without a name");
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
        Skip(line, "neither a [section] nor a 'name = value' line");
        return;
    }
    if (!inSection_) {
        Skip(line, "a line before any [section]");
        return;
    }
    Setting(line, Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1)));
}

void Reader::Setting(int line, std::string_view name, std::string_view value) {
    const std::string key(name);
    if (SameInAnyCase(key.c_str(), "program")) {
        if (IsProgramName(value))
            section_.programs.emplace_back(value);
        else
            Skip(line, "unknown program name " + Quoted(value));
        return;
    }
    if (SameInAnyCase(key.c_str(), "class")) {
        if (!value.empty() && value.size() < ForegroundNameSize)
            section_.windowClasses.emplace_back(value);
        else
            Skip(line, "unknown window class " + Quoted(value));
        return;
    }
    const int code = CodeOfLabel(key.c_str());
    if (code < 0) {
        Skip(line, "unknown key name " + Quoted(name));
        return;
    }
    KeyAction action{};
    if (!ParseAction(static_cast<RemoteKey>(code), value, action)) {
        Skip(line, "unknown action " + Quoted(value));
        return;
    }
    const auto same = std::find_if(section_.rows.begin(), section_.rows.end(),
                                   [code](const KeyAction& row) { return Code(row.key) == code; });
    if (same != section_.rows.end()) {
        const int first = section_.rowLines[static_cast<size_t>(same - section_.rows.begin())];
        Skip(line, "key " + Quoted(KeyLabel(code)) + " is set already on line " + std::to_string(first));
        return;
    }
    section_.rows.push_back(action);
    section_.rowLines.push_back(line);
}

void Reader::EndSection() {
    if (!inSection_) return;
    inSection_ = false;
    if (section_.programs.empty() && section_.windowClasses.empty())
        Skip(section_.line, "profile " + Quoted(section_.name) + " names no program and no class");
    else
        sections.push_back(std::move(section_));
}

std::string Counted(size_t count, const char* one, const char* more) {
    return std::to_string(count) + " " + (count == 1 ? one : more);
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
    ";\r\n"
    "; A key a profile leaves out also does what it does without one; the first\r\n"
    "; line for a key counts. Lines that begin with ; are notes. The README's\r\n"
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
    Reader reader(text, length);
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
        case KeyActionKind::AppCommand: {
            const MediaName* command =
                FirstOf(MediaNames, [&](const MediaName& media) { return media.command == action.value; });
            return command != nullptr ? AppCommandPrefix + std::string(command->name) : "";
        }
        case KeyActionKind::Chord: {
            std::string text;
            for (size_t i = 0; i < ChordLength(action); ++i) {
                const std::string name = NameOfKey(action.keys[i]);
                if (name.empty()) return {};
                text += (i == 0 ? "" : "+") + name;
            }
            return text;
        }
        default:
            return {};
    }
}

std::string DescribeProfileFile(const ProfileBook& book) {
    const std::vector<SkippedLine>& skipped = book.skipped();
    if (!skipped.empty())
        return "profiles.ini: " + Counted(skipped.size(), "line", "lines") + " skipped (see line " +
               std::to_string(skipped.front().line) + ")";
    const size_t count = book.profiles().count;
    return "profiles.ini: " +
           (count == 0 ? std::string("no profiles") : Counted(count, "profile", "profiles"));
}

}  // namespace core
