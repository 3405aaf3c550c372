// One vocabulary for the keyboard's keys (virtual keys) and the app commands
// (WM_APPCOMMAND): profiles.ini reads and writes it, the README's key table
// and the virtual remote say it, and the core's tests print their effects in
// it. "A", "7", "F11", "Num5", "NumPlus", "PageUp", "Ctrl", "MediaPlayPause";
// the media and browser keys share their names with their app commands.
// Some keys have a second name that is read, never written ("Escape",
// "PgUp", "Numpad5").
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The keypad's Enter is Enter with the extended-key flag: Windows gives it
// no virtual key of its own, so this unassigned one stands for it in a
// chord, and the input typed makes it VK_RETURN with the flag.
constexpr uint8_t NumEnterKey = 0x0E;

// The name of a virtual key; "" for a key without one.
std::string KeyName(unsigned key);
// The virtual key of a name, read in any letter case; 0 for none.
uint8_t KeyNamed(std::string_view name);

// The name of an app command (APPCOMMAND_*); null for one without a name.
const char* AppCommandName(unsigned command);
// The app command of a name, read in any letter case; 0 for none.
unsigned AppCommandNamed(std::string_view name);

}  // namespace core
