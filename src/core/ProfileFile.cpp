// profiles.ini: parsed into the core's rows, and written from them.
//
//   ; a note                      lines beginning with ; or # are notes
//   [VLC]                         a profile, named as the key display shows it
//   program = vlc.exe             a program file name; may repeat
//   class = SomeWindowClass       a window class; may repeat
//   title = * - YouTube*          a title pattern; may repeat
//   Play = Space                  a remote key's label = a key or chord (up to four keys)
//   Right = Alt+Right, once       acts once per press (", repeat": repeats while held)
//   Vol+ = AppCommand:VolumeUp    an app command (WM_APPCOMMAND) to the window
//   OK.hold = C                   the key's action when held (a long press)
//   1 = Pointer                   the key does what it does without the profile
//   Stop = Nothing ; not here     the key does nothing; a note after " ;" or " #"
//
// The file sits on top of the built-in profiles: a section named like one
// changes it key by key, any other adds a profile, which comes before them.
// A file that the earlier version wrote (a full copy of its built-in
// profiles, known by its first line) changes them only where its owner
// changed the copy. Names are compared in any letter case. A line that
// cannot be used is skipped and reported; the first line that sets a key
// wins over later ones.
#include "core/Profiles.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/EarlierProfiles.h"
#include "core/KeyNames.h"
#include "core/Text.h"

namespace core {

namespace {

constexpr char PointerName[] = "Pointer";
constexpr char NothingName[] = "Nothing";
constexpr char AppCommandPrefix[] = "AppCommand:";
constexpr char HoldSuffix[] = ".hold";
constexpr char OnceWord[] = "once";
constexpr char RepeatWord[] = "repeat";

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

bool ParsePlainAction(RemoteKey key, std::string_view text, KeyAction& action);

// The action of the text for the key, with ", once" or ", repeat" after it;
// false when the text names none.
bool ParseAction(RemoteKey key, std::string_view text, KeyAction& action) {
    const size_t comma = text.rfind(',');
    if (comma == std::string_view::npos || comma + 1 == text.size()) return ParsePlainAction(key, text, action);
    const std::string_view habit = Trimmed(text.substr(comma + 1));
    if (!SameInAnyCase(habit, OnceWord) && !SameInAnyCase(habit, RepeatWord)) return false;
    if (!ParsePlainAction(key, Trimmed(text.substr(0, comma)), action)) return false;
    action = SameInAnyCase(habit, OnceWord) ? Once(action) : Repeats(action);
    return true;
}

bool ParsePlainAction(RemoteKey key, std::string_view text, KeyAction& action) {
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

bool IsClassName(std::string_view name) { return !name.empty() && name.size() < ForegroundNameSize; }

bool IsTitlePattern(std::string_view pattern) {
    return !pattern.empty() && pattern.size() < ForegroundTitleSize;
}

// One [section] of the file as it is read; the sections of one name make one.
struct Section {
    int line = 0;
    std::string name;
    std::vector<std::string> programs;
    std::vector<std::string> windowClasses;
    std::vector<std::string> titles;
    std::vector<KeyAction> rows;
    std::vector<int> rowLines;
};

// The settings that name the windows a profile is for.
struct WindowSetting {
    const char* name;
    std::vector<std::string> Section::*names;
    bool (*valid)(std::string_view);
    SkipReason reason;  // when it is not valid
};
const WindowSetting WindowSettings[] = {
    {"program", &Section::programs, IsProgramName, SkipReason::UnknownProgram},
    {"class", &Section::windowClasses, IsClassName, SkipReason::UnknownWindowClass},
    {"title", &Section::titles, IsTitlePattern, SkipReason::UnknownTitle},
};

// Reads the file's lines into its sections, and the lines it skips.
class Reader {
public:
    Reader(const char* text, size_t end, bool cut);

    std::vector<Section> sections;
    std::vector<SkippedLine> skipped;
    bool earlierCopy = false;  // the file begins as the earlier version wrote it

private:
    void Read(int line, std::string_view text);
    void Setting(int line, std::string_view name, std::string_view value);
    void Skip(int line, SkipReason reason, std::string_view argument = {}, int otherLine = 0) {
        skipped.push_back({line, reason, std::string(argument), otherLine});
    }

    Section* section_ = nullptr;
};

Reader::Reader(const char* text, size_t end, bool cut) {
    size_t at = 0;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(text, end).substr(0, ByteOrderMark.size()) == ByteOrderMark)
        at = ByteOrderMark.size();
    const std::string_view firstLine = EarlierFileFirstLine;
    const std::string_view begins(text + at, end - at);
    earlierCopy = begins.substr(0, firstLine.size()) == firstLine &&
                  begins.substr(firstLine.size(), 1).find_first_of("\r\n") == 0;
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
        const auto same = std::find_if(sections.begin(), sections.end(),
                                       [name](const Section& other) { return SameInAnyCase(other.name, name); });
        if (same != sections.end()) {
            section_ = &*same;
            return;
        }
        sections.emplace_back();
        section_ = &sections.back();
        section_->line = line;
        section_->name = std::string(name);
        return;
    }
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        Skip(line, SkipReason::NeitherSectionNorSetting);
        return;
    }
    if (section_ == nullptr) {
        Skip(line, SkipReason::BeforeAnySection);
        return;
    }
    Setting(line, Trimmed(text.substr(0, equals)), WithoutNote(Trimmed(text.substr(equals + 1))));
}

void Reader::Setting(int line, std::string_view name, std::string_view value) {
    Section& section = *section_;
    for (const WindowSetting& setting : WindowSettings) {
        if (!SameInAnyCase(name, setting.name)) continue;
        if (setting.valid(value))
            (section.*setting.names).emplace_back(value);
        else
            Skip(line, setting.reason, value);
        return;
    }
    std::string label(name);
    const bool hold = label.size() > std::strlen(HoldSuffix) &&
                      SameInAnyCase(std::string_view(label).substr(label.size() - std::strlen(HoldSuffix)), HoldSuffix);
    if (hold) label.resize(label.size() - std::strlen(HoldSuffix));
    const int code = CodeOfLabel(label.c_str());
    if (code < 0) {
        Skip(line, SkipReason::UnknownKeyName, name);
        return;
    }
    KeyAction action{};
    if (!ParseAction(static_cast<RemoteKey>(code), value, action)) {
        Skip(line, SkipReason::UnknownAction, value);
        return;
    }
    if (hold) action = Held(action);
    const auto same = std::find_if(section.rows.begin(), section.rows.end(), [&](const KeyAction& row) {
        return Code(row.key) == code && IsHoldRow(row) == hold;
    });
    if (same != section.rows.end()) {
        const int first = section.rowLines[static_cast<size_t>(same - section.rows.begin())];
        Skip(line, SkipReason::KeySetAlready, KeyLabel(code) + std::string(hold ? HoldSuffix : ""), first);
        return;
    }
    section.rows.push_back(action);
    section.rowLines.push_back(line);
}

bool SameRow(const KeyAction& a, const KeyAction& b) {
    return a.key == b.key && a.kind == b.kind && a.value == b.value && a.parameter == b.parameter &&
           a.dx == b.dx && a.dy == b.dy && std::equal(std::begin(a.keys), std::end(a.keys), std::begin(b.keys)) &&
           a.habit == b.habit;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& other) { return SameInAnyCase(other, name); });
}

// The changes that a section of a copy the earlier version wrote makes to the
// profile it copied (earlier): the rows, programs and classes its owner
// added, changed or took out.
void KeepOwnersChanges(Section& section, const Section& earlier) {
    std::vector<KeyAction> changed;
    for (const KeyAction& row : section.rows) {
        const bool asWritten = std::any_of(earlier.rows.begin(), earlier.rows.end(),
                                           [&row](const KeyAction& other) { return SameRow(row, other); });
        if (!asWritten) changed.push_back(row);
    }
    for (const KeyAction& row : earlier.rows) {
        const bool kept = std::any_of(section.rows.begin(), section.rows.end(), [&row](const KeyAction& other) {
            return other.key == row.key && IsHoldRow(other) == IsHoldRow(row);
        });
        if (!kept) changed.push_back(LeaveToPointer(row.key));  // a row taken out
    }
    section.rows = std::move(changed);
    section.rowLines.clear();
}

}  // namespace

struct ProfileBook::Owned {
    std::string name;
    std::vector<std::string> programs;
    std::vector<std::string> windowClasses;
    std::vector<std::string> titles;
    std::vector<const char*> programNames;
    std::vector<const char*> classNames;
    std::vector<const char*> titleNames;
    std::vector<KeyAction> rows;

    bool SameAs(const Owned& other) const {
        return programs == other.programs && windowClasses == other.windowClasses && titles == other.titles &&
               std::equal(rows.begin(), rows.end(), other.rows.begin(), other.rows.end(), SameRow);
    }

    Profile View() {
        const auto pointers = [](const std::vector<std::string>& texts, std::vector<const char*>& views) {
            views.resize(texts.size());
            std::transform(texts.begin(), texts.end(), views.begin(), [](const std::string& text) { return text.c_str(); });
            return List<const char* const>{views.data(), views.size()};
        };
        return {name.c_str(), pointers(programs, programNames), pointers(windowClasses, classNames),
                pointers(titles, titleNames), {rows.data(), rows.size()}};
    }
};

namespace {

std::vector<std::string> Texts(List<const char* const> names) { return {names.begin(), names.end()}; }

void AddNew(std::vector<std::string>& to, const std::vector<std::string>& names) {
    std::copy_if(names.begin(), names.end(), std::back_inserter(to),
                 [&to](const std::string& name) { return !Holds(to, name); });
}

// A built-in profile with a section's changes: its rows key by key, and the
// programs, classes and titles it adds (and, of a copy of the earlier
// version's, those it took out).
void ApplyChanges(ProfileBook::Owned& profile, const Section& section, const Section* earlier) {
    for (const KeyAction& change : section.rows) {
        const auto same = std::find_if(profile.rows.begin(), profile.rows.end(), [&change](const KeyAction& row) {
            return row.key == change.key && IsHoldRow(row) == IsHoldRow(change);
        });
        if (same != profile.rows.end())
            *same = change;
        else
            profile.rows.push_back(change);
    }
    const auto takeOut = [](std::vector<std::string>& names, const std::vector<std::string>& written,
                            const std::vector<std::string>& kept) {
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [&](const std::string& name) { return Holds(written, name) && !Holds(kept, name); }),
                    names.end());
    };
    if (earlier != nullptr) {
        takeOut(profile.programs, earlier->programs, section.programs);
        takeOut(profile.windowClasses, earlier->windowClasses, section.windowClasses);
    }
    AddNew(profile.programs, section.programs);
    AddNew(profile.windowClasses, section.windowClasses);
    AddNew(profile.titles, section.titles);
}

Section* Named(std::vector<Section>& sections, const char* name) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [name](const Section& section) { return SameInAnyCase(section.name, name); });
    return found != sections.end() ? &*found : nullptr;
}

}  // namespace

namespace {

constexpr char Example[] =
    "; Your profiles for Marlow Remote Control's \"Profiles for other players\".\r\n"
    "; The program has its own for the common players; a section named like one\r\n"
    "; changes it key by key, any other adds a profile. Read again when saved.\r\n"
    ";\r\n"
    ";   [Kodi]\r\n"
    ";   Skip+ = Pointer        the key as without a profile (Nothing: no action)\r\n"
    ";\r\n"
    ";   [My player]\r\n"
    ";   program = player.exe   its program file, or class = its window class\r\n"
    ";   title = * - Site*      only windows so titled (* any text, ? a character)\r\n"
    ";   Play = Space           a key or chord typed to it: Ctrl+Right\r\n"
    ";   FF = Right, once       once per press (\", repeat\": repeats while held)\r\n"
    ";   Vol+ = AppCommand:VolumeUp\r\n"
    ";   OK.hold = C            held about a second, the key does this instead\r\n"
    ";\r\n"
    "; The README's \"Profiles for other players\" lists the built-in profiles,\r\n"
    "; the remote's keys, the key names and the app commands.\r\n";

std::unique_ptr<ProfileBook::Owned> OwnedFrom(Section&& section) {
    auto owned = std::make_unique<ProfileBook::Owned>();
    owned->name = std::move(section.name);
    owned->programs = std::move(section.programs);
    owned->windowClasses = std::move(section.windowClasses);
    owned->titles = std::move(section.titles);
    owned->rows = std::move(section.rows);
    return owned;
}

std::unique_ptr<ProfileBook::Owned> OwnedFrom(const Profile& profile) {
    auto owned = std::make_unique<ProfileBook::Owned>();
    owned->name = profile.name;
    owned->programs = Texts(profile.programs);
    owned->windowClasses = Texts(profile.windowClasses);
    owned->titles = Texts(profile.titles);
    owned->rows.assign(profile.keys.rows, profile.keys.rows + profile.keys.count);
    return owned;
}

}  // namespace

ProfileBook::ProfileBook() = default;
ProfileBook::~ProfileBook() = default;
ProfileBook::ProfileBook(ProfileBook&&) noexcept = default;
ProfileBook& ProfileBook::operator=(ProfileBook&&) noexcept = default;

ProfileBook ParseProfiles(const char* text, size_t length) {
    return ParseProfiles(text, std::min(length, ProfileFileLimit), length > ProfileFileLimit);
}

ProfileBook ParseProfiles(const char* text, size_t length, bool cut) {
    Reader reader(text, length, cut);
    std::vector<Section> earlier;
    if (reader.earlierCopy) earlier = Reader(EarlierProfilesText, std::strlen(EarlierProfilesText), false).sections;
    ProfileBook book;
    // The file's own profiles first, so that they come before the built-in ones.
    for (Section& section : reader.sections) {
        const bool builtIn = std::any_of(BuiltInProfiles.begin(), BuiltInProfiles.end(), [&](const Profile& profile) {
            return SameInAnyCase(section.name.c_str(), profile.name);
        });
        if (builtIn) continue;
        if (section.programs.empty() && section.windowClasses.empty()) {
            // Among the lines skipped as they were read, in line order.
            const auto after = std::find_if(reader.skipped.begin(), reader.skipped.end(),
                                            [&section](const SkippedLine& skipped) { return skipped.line > section.line; });
            reader.skipped.insert(after, {section.line, SkipReason::ProfileWithoutWindows, section.name, 0});
        } else
            book.owned_.push_back(OwnedFrom(std::move(section)));
    }
    book.fileProfiles_ = book.owned_.size();
    for (const Profile& profile : BuiltInProfiles) {
        book.owned_.push_back(OwnedFrom(profile));
        Section* changes = Named(reader.sections, profile.name);
        if (changes == nullptr) continue;
        const Section* written = reader.earlierCopy ? Named(earlier, profile.name) : nullptr;
        if (written != nullptr) KeepOwnersChanges(*changes, *written);
        const ProfileBook::Owned before = *book.owned_.back();
        ApplyChanges(*book.owned_.back(), *changes, written);
        book.fileProfiles_ += !book.owned_.back()->SameAs(before);
    }
    for (const auto& owned : book.owned_) book.profiles_.push_back(owned->View());
    book.skipped_ = std::move(reader.skipped);
    return book;
}

const char* ExampleProfiles() { return Example; }

std::string WriteProfiles(List<Profile> profiles) {
    std::string text = Example;
    for (const Profile& profile : profiles) {
        text += "\r\n[" + std::string(profile.name) + "]\r\n";
        for (const char* program : profile.programs) text += "program = " + std::string(program) + "\r\n";
        for (const char* windowClass : profile.windowClasses)
            text += "class = " + std::string(windowClass) + "\r\n";
        for (const char* title : profile.titles) text += "title = " + std::string(title) + "\r\n";
        for (size_t i = 0; i < profile.keys.count; ++i) {
            const KeyAction& row = profile.keys.rows[i];
            std::string label = KeyLabel(Code(row.key)) + std::string(IsHoldRow(row) ? HoldSuffix : "");
            label.resize(std::max<size_t>(label.size(), 6), ' ');
            std::string habit;
            if ((row.habit & RowOnce) != 0) habit = std::string(", ") + OnceWord;
            if ((row.habit & RowRepeats) != 0) habit = std::string(", ") + RepeatWord;
            text += label + " = " + ProfileActionText(row) + habit + "\r\n";
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
    return {book.fileProfiles(), skipped.size(), skipped.empty() ? 0 : skipped.front().line};
}

}  // namespace core
