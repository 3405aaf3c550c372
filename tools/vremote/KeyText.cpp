#include "KeyText.h"

namespace vremote {

std::string KeyHeading(const keydocs::RemoteButton& button) {
    return std::string(button.label) + " (code " + std::to_string(button.code) + ")";
}

std::string ModeLine(keydocs::Mode mode, int code) {
    const std::string description = keydocs::Describe(mode, code);
    return std::string(keydocs::ModeName(mode)) + ": " +
           (description.empty() ? std::string("nothing") : description);
}

std::string KeyHelp(const keydocs::RemoteButton& button) {
    std::string text = KeyHeading(button);
    for (keydocs::Mode mode : keydocs::Modes) text += "\r\n" + ModeLine(mode, button.code);
    return text;
}

const keydocs::RemoteButton* FindButton(int code) {
    for (size_t i = 0; i < keydocs::RemoteButtonCount; ++i) {
        if (keydocs::RemoteButtons[i].code == code) return &keydocs::RemoteButtons[i];
    }
    return nullptr;
}

}  // namespace vremote
