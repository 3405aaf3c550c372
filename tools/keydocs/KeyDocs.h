// What each key of the remote does, described from the program's own key
// tables and routing decisions, for the virtual remote and the README.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/RemoteKey.h"

namespace keydocs {

// Where a key goes: no TV application is the target (and, with "MediaKeys"
// 1, what changes then), or one of the three is.
enum class Mode { NoApplication, MediaKeys, WinDvr, BeyondTv, Quillmarsh };

constexpr Mode Modes[] = {Mode::NoApplication, Mode::MediaKeys, Mode::WinDvr, Mode::BeyondTv,
                          Mode::Quillmarsh};

// "No TV application", "With media keys", "WinDVR 6", "Beyond TV", "Quillmarsh".
const char* ModeName(Mode mode);

// One button of the remote as the virtual remote lays it out: a grid of
// four columns, rows from the top.
struct RemoteButton {
    uint8_t code;       // the code the card reports for the key
    const char* label;  // our name for the key
    uint8_t row;
    uint8_t column;     // 0 to 3
};

extern const RemoteButton RemoteButtons[];
extern const size_t RemoteButtonCount;
constexpr int RemoteColumns = 4;

// A short name of a virtual key: "M", "Num 5", "Page Up", "Enter".
std::string KeyName(unsigned key);

// What the key does in that mode, one line of plain text; an empty string
// when the key does nothing there.
std::string Describe(Mode mode, int code);

}  // namespace keydocs
