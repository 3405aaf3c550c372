// Names of the virtual keys that the key tables send.
#include "KeyDocs.h"

#include "core/Sdk.h"

namespace keydocs {

namespace {

struct NamedKey {
    uint8_t key;
    const char* name;
};

constexpr NamedKey NamedKeys[] = {
    {VK_RETURN, "Enter"},      {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},       {VK_PRIOR, "Page Up"},
    {VK_NEXT, "Page Down"},    {VK_END, "End"},
    {VK_HOME, "Home"},         {VK_LEFT, "Left"},
    {VK_UP, "Up"},             {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},         {VK_DELETE, "Delete"},
    {VK_ADD, "Num +"},         {VK_SUBTRACT, "Num -"},
    {VK_F4, "F4"},             {VK_F8, "F8"},
    {VK_F11, "F11"},           {VK_SHIFT, "Shift"},
    {VK_CONTROL, "Ctrl"},      {VK_MENU, "Alt"},
    {VK_OEM_COMMA, "Comma"},   {VK_OEM_PERIOD, "Period"},
    {VK_MEDIA_PLAY_PAUSE, "Play/Pause"}, {VK_MEDIA_STOP, "Stop"},
    {VK_MEDIA_NEXT_TRACK, "Next Track"}, {VK_MEDIA_PREV_TRACK, "Previous Track"},
    {VK_VOLUME_UP, "Volume Up"},        {VK_VOLUME_DOWN, "Volume Down"},
    {VK_VOLUME_MUTE, "Mute"},
};

}  // namespace

std::string KeyName(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const NamedKey& entry : NamedKeys)
        if (entry.key == key) return entry.name;
    return "virtual key " + std::to_string(key);
}

}  // namespace keydocs
