#include "core/KeyNames.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <numeric>

#include "core/Sdk.h"
#include "core/Text.h"

namespace core {

namespace {

struct NamedKey {
    uint8_t key;
    const char* name;
};

// Besides these the letters A to Z and the digits 0 to 9 (one character
// each), F1 to F24, Num0 to Num9, and the media keys below. The punctuation
// keys are named as on a US keyboard.
constexpr NamedKey KeyNames[] = {
    {VK_CONTROL, "Ctrl"},         {VK_SHIFT, "Shift"},        {VK_MENU, "Alt"},           {VK_LWIN, "Win"},
    {VK_SPACE, "Space"},          {VK_RETURN, "Enter"},       {VK_ESCAPE, "Esc"},         {VK_TAB, "Tab"},
    {VK_BACK, "Backspace"},       {VK_INSERT, "Insert"},      {VK_DELETE, "Delete"},      {VK_HOME, "Home"},
    {VK_END, "End"},              {VK_PRIOR, "PageUp"},       {VK_NEXT, "PageDown"},      {VK_UP, "Up"},
    {VK_DOWN, "Down"},            {VK_LEFT, "Left"},          {VK_RIGHT, "Right"},        {VK_APPS, "Apps"},
    {VK_PAUSE, "Pause"},          {VK_CAPITAL, "CapsLock"},   {VK_SNAPSHOT, "PrintScreen"},
    {VK_SCROLL, "ScrollLock"},    {VK_NUMLOCK, "NumLock"},    {VK_OEM_PLUS, "Plus"},      {VK_OEM_MINUS, "Minus"},
    {VK_OEM_COMMA, "Comma"},      {VK_OEM_PERIOD, "Period"},  {VK_OEM_1, "Semicolon"},    {VK_OEM_2, "Slash"},
    {VK_OEM_3, "Backquote"},      {VK_OEM_4, "LeftBracket"},  {VK_OEM_5, "Backslash"},    {VK_OEM_6, "RightBracket"},
    {VK_OEM_7, "Quote"},          {VK_ADD, "NumPlus"},        {VK_SUBTRACT, "NumMinus"},  {VK_MULTIPLY, "NumMultiply"},
    {VK_DIVIDE, "NumDivide"},     {VK_DECIMAL, "NumDecimal"}, {NumEnterKey, "NumEnter"},
};

// The second names, read only.
constexpr NamedKey Aliases[] = {
    {VK_ESCAPE, "Escape"}, {VK_RETURN, "Return"}, {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},
    {VK_DELETE, "Del"},    {VK_INSERT, "Ins"},    {VK_CONTROL, "Control"}, {VK_LWIN, "Windows"},
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

// A name and a number in a range of keys: "F" 1 to 24, "Num" 0 to 9, and
// "Numpad" 0 to 9, read only.
struct KeyRange {
    const char* prefix;
    int first;
    int last;
    uint8_t firstKey;
    bool written;
};
constexpr KeyRange KeyRanges[] = {
    {"F", 1, 24, VK_F1, true}, {"Num", 0, 9, VK_NUMPAD0, true}, {"Numpad", 0, 9, VK_NUMPAD0, false}};

// The first entry of the table for which the test is true, or null.
template <typename T, size_t N, typename Test>
const T* FirstOf(const T (&table)[N], Test test) {
    const T* found = std::find_if(std::begin(table), std::end(table), test);
    return found != std::end(table) ? found : nullptr;
}

const MediaName* MediaNamed(std::string_view name) {
    return FirstOf(MediaNames, [&](const MediaName& media) { return SameInAnyCase(media.name, name); });
}

// The number that follows the prefix in the name ("F11": 11), or -1.
int NumberAfter(std::string_view name, std::string_view prefix) {
    const std::string_view digits = name.substr(std::min(prefix.size(), name.size()));
    if (!StartsInAnyCase(name, prefix) || digits.empty() || digits.size() > 2 ||
        (digits.size() == 2 && *digits.begin() == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::accumulate(digits.begin(), digits.end(), 0,
                           [](int number, char digit) { return number * 10 + (digit - '0'); });
}

}  // namespace

std::string KeyName(unsigned key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (const NamedKey* named = FirstOf(KeyNames, [key](const NamedKey& entry) { return entry.key == key; }))
        return named->name;
    if (const MediaName* media =
            FirstOf(MediaNames, [key](const MediaName& entry) { return entry.key != 0 && entry.key == key; }))
        return media->name;
    const KeyRange* range = FirstOf(KeyRanges, [key](const KeyRange& candidate) {
        return candidate.written && key >= candidate.firstKey &&
               key <= static_cast<unsigned>(candidate.firstKey + (candidate.last - candidate.first));
    });
    if (range == nullptr) return {};
    const int number = range->first + static_cast<int>(key - range->firstKey);  // 0 to 24
    std::string name = range->prefix;
    if (number >= 10) name += static_cast<char>('0' + number / 10);
    name += static_cast<char>('0' + number % 10);
    return name;
}

uint8_t KeyNamed(std::string_view name) {
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(*name.begin())))
        return static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(*name.begin())));
    const auto named = [&](const NamedKey& key) { return SameInAnyCase(key.name, name); };
    if (const NamedKey* found = FirstOf(KeyNames, named)) return found->key;
    if (const NamedKey* alias = FirstOf(Aliases, named)) return alias->key;
    if (const MediaName* media = MediaNamed(name)) return media->key;
    const KeyRange* range = FirstOf(KeyRanges, [&](const KeyRange& candidate) {
        const int number = NumberAfter(name, candidate.prefix);
        return number >= candidate.first && number <= candidate.last;
    });
    if (range == nullptr) return 0;
    return static_cast<uint8_t>(range->firstKey + NumberAfter(name, range->prefix) - range->first);
}

const char* AppCommandName(unsigned command) {
    const MediaName* media =
        FirstOf(MediaNames, [command](const MediaName& entry) { return entry.command == command; });
    return media != nullptr ? media->name : nullptr;
}

unsigned AppCommandNamed(std::string_view name) {
    const MediaName* media = MediaNamed(name);
    return media != nullptr ? media->command : 0;
}

}  // namespace core
