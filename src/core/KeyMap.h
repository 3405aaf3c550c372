// Key maps as tables: each row turns one remote key into one action on a TV
// application. The tables are in KeyTables.cpp, one per application.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/RemoteKey.h"

namespace core {

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
    ShutdownCommand, // the same, with its command that shuts the PC down
    AppCommand,      // a profile's WM_APPCOMMAND (APPCOMMAND_*) to the window in front
    Pointer,         // a profile leaves the key to the media keys and the pointer
    Nothing,         // a profile's key that does nothing there
};

// How a profile's row acts while its key is held, as flags; none: as the
// key's own habit says (RemoteKeyRow::repeatsInPlayers).
enum RowHabit : uint8_t {
    AsTheKey = 0,
    RowOnce = 1,     // acts once per press
    RowRepeats = 2,  // repeats while the key is held
    RowHold = 4,     // the key's long-press action, not its press's
};

struct KeyAction {
    RemoteKey key;
    KeyActionKind kind;
    uint16_t value;      // virtual key, or command number
    uint32_t parameter;  // lParam, or the second virtual key
    int8_t dx;
    int8_t dy;
    uint8_t keys[4];     // chord keys, 0-terminated when fewer than four
    uint8_t habit;       // RowHabit flags (profiles only)
};

// A profile's row that acts once per press, one that repeats while the key
// is held, and the key's long-press action.
constexpr KeyAction WithHabit(KeyAction row, RowHabit habit) {
    row.habit = static_cast<uint8_t>(row.habit | habit);
    return row;
}
constexpr KeyAction Once(KeyAction row) { return WithHabit(row, RowOnce); }
constexpr KeyAction Repeats(KeyAction row) { return WithHabit(row, RowRepeats); }
constexpr KeyAction Held(KeyAction row) { return WithHabit(row, RowHold); }
constexpr bool IsHoldRow(const KeyAction& row) { return (row.habit & RowHold) != 0; }

constexpr KeyAction Post(RemoteKey key, uint8_t vk, uint32_t lParam = 0) {
    return {key, KeyActionKind::Post, vk, lParam, 0, 0, {}, 0};
}
constexpr KeyAction PostThen(RemoteKey key, uint8_t first, uint8_t second) {
    return {key, KeyActionKind::PostThen, first, second, 0, 0, {}, 0};
}
constexpr KeyAction Chord(RemoteKey key, uint8_t k1, uint8_t k2, uint8_t k3 = 0) {
    return {key, KeyActionKind::Chord, 0, 0, 0, 0, {k1, k2, k3, 0}, 0};
}
// One key typed, down then up, to whichever window has the focus.
constexpr KeyAction Type(RemoteKey key, uint8_t vk) {
    return {key, KeyActionKind::Chord, 0, 0, 0, 0, {vk, 0, 0, 0}, 0};
}
constexpr KeyAction FrontChord(RemoteKey key, uint8_t k1, uint8_t k2) {
    return {key, KeyActionKind::FrontChord, 0, 0, 0, 0, {k1, k2, 0, 0}, 0};
}
constexpr KeyAction Move(RemoteKey key, int8_t dx, int8_t dy) {
    return {key, KeyActionKind::Move, 0, 0, dx, dy, {}, 0};
}
constexpr KeyAction Click(RemoteKey key) { return {key, KeyActionKind::Click, 0, 0, 0, 0, {}, 0}; }
constexpr KeyAction ToggleFastStep(RemoteKey key) {
    return {key, KeyActionKind::ToggleFastStep, 0, 0, 0, 0, {}, 0};
}
constexpr KeyAction LookupOnly(RemoteKey key) {
    return {key, KeyActionKind::LookupOnly, 0, 0, 0, 0, {}, 0};
}
constexpr KeyAction Command(RemoteKey key, uint16_t command) {
    return {key, KeyActionKind::Command, command, 0, 0, 0, {}, 0};
}
constexpr KeyAction ShutdownCommand(RemoteKey key, uint16_t command) {
    return {key, KeyActionKind::ShutdownCommand, command, 0, 0, 0, {}, 0};
}
constexpr KeyAction AppCommand(RemoteKey key, uint16_t command) {
    return {key, KeyActionKind::AppCommand, command, 0, 0, 0, {}, 0};
}
constexpr KeyAction LeaveToPointer(RemoteKey key) {
    return {key, KeyActionKind::Pointer, 0, 0, 0, 0, {}, 0};
}
constexpr KeyAction DoNothing(RemoteKey key) { return {key, KeyActionKind::Nothing, 0, 0, 0, 0, {}, 0}; }

struct KeyMap {
    const KeyAction* rows;
    size_t count;

    // The row for code, or null: codes without a row do nothing at all.
    const KeyAction* Find(int code) const { return Find(code, false); }
    // The code's long-press row, or null.
    const KeyAction* FindHold(int code) const { return Find(code, true); }

private:
    const KeyAction* Find(int code, bool hold) const {
        for (size_t i = 0; i < count; ++i)
            if (Code(rows[i].key) == code && IsHoldRow(rows[i]) == hold) return &rows[i];
        return nullptr;
    }
};

// The number of keys of a chord, 0-terminated when fewer than four.
constexpr size_t ChordLength(const uint8_t (&keys)[4]) {
    size_t length = 0;
    while (length < 4 && keys[length] != 0) ++length;
    return length;
}
constexpr size_t ChordLength(const KeyAction& action) { return ChordLength(action.keys); }

// The system's media keys, typed when "MediaKeys" is 1 and no TV application
// runs: every player and Windows itself follow them.
extern const KeyMap MediaKeys;

}  // namespace core
