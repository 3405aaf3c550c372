// Key maps as tables: each row turns one remote key code into one action on
// a TV application, executed by the shared code of KeyMap.cpp.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "card/RemoteKey.h"

class TvApplication;

enum class KeyActionKind : uint8_t {
    Post,            // WM_KEYDOWN with a virtual key and lParam to the window
    PostThen,        // two WM_KEYDOWN posts, lParam 0
    Chord,           // a key chord to whichever window has the focus
    FrontChord,      // the window to the front, then a key chord
    Move,            // a relative pointer move by the application's step
    Click,           // a left click where the pointer is; no lookup
    ToggleFastStep,  // switch the pointer step; no lookup
    LookupOnly,      // only the lookup, which refreshes the cached target window
    Command,         // the application's private command message
};

struct KeyAction {
    uint8_t code;        // the card's code of the key (RemoteKey)
    KeyActionKind kind;
    uint16_t value;      // virtual key, or command number
    uint32_t parameter;  // lParam, or the second virtual key
    int8_t dx;
    int8_t dy;
    BYTE keys[4];        // chord keys, 0-terminated when fewer than four
};

constexpr KeyAction Post(RemoteKey remote, BYTE key, uint32_t lParam = 0) {
    return {static_cast<uint8_t>(remote), KeyActionKind::Post, key, lParam, 0, 0, {}};
}
constexpr KeyAction PostThen(RemoteKey remote, BYTE first, BYTE second) {
    return {static_cast<uint8_t>(remote), KeyActionKind::PostThen, first, second, 0, 0, {}};
}
constexpr KeyAction Chord(RemoteKey remote, BYTE k1, BYTE k2, BYTE k3 = 0) {
    return {static_cast<uint8_t>(remote), KeyActionKind::Chord, 0, 0, 0, 0, {k1, k2, k3, 0}};
}
constexpr KeyAction FrontChord(RemoteKey remote, BYTE k1, BYTE k2) {
    return {static_cast<uint8_t>(remote), KeyActionKind::FrontChord, 0, 0, 0, 0, {k1, k2, 0, 0}};
}
constexpr KeyAction Move(RemoteKey remote, int8_t dx, int8_t dy) {
    return {static_cast<uint8_t>(remote), KeyActionKind::Move, 0, 0, dx, dy, {}};
}
constexpr KeyAction Click(RemoteKey remote) {
    return {static_cast<uint8_t>(remote), KeyActionKind::Click, 0, 0, 0, 0, {}};
}
constexpr KeyAction ToggleFastStep(RemoteKey remote) {
    return {static_cast<uint8_t>(remote), KeyActionKind::ToggleFastStep, 0, 0, 0, 0, {}};
}
constexpr KeyAction LookupOnly(RemoteKey remote) {
    return {static_cast<uint8_t>(remote), KeyActionKind::LookupOnly, 0, 0, 0, 0, {}};
}
constexpr KeyAction Command(RemoteKey remote, uint16_t command) {
    return {static_cast<uint8_t>(remote), KeyActionKind::Command, command, 0, 0, 0, {}};
}

struct KeyMapTable {
    const KeyAction* rows;
    size_t count;
    TvApplication& application;
    HWND (*findTarget)();
};

// The row of the table for code, or null: codes without a row do nothing.
const KeyAction* FindKeyAction(const KeyMapTable& map, int code);

// Looks the target window up afresh (cached in the record) and performs the
// code's action; codes without a row do nothing at all.
void RunKeyMap(const KeyMapTable& map, int code);

// The three maps, for tools that describe the keys.
extern const KeyMapTable WinDvrKeys;
extern const KeyMapTable BeyondTvKeys;
extern const KeyMapTable QuillmarshKeys;
