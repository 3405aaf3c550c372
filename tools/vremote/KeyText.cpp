#include "KeyText.h"

namespace vremote {

std::string KeyHeading(const core::RemoteKeyRow& key) {
    return std::string(key.label) + " (code " + std::to_string(Code(key.key)) + ")";
}

std::string ModeLine(keydocs::Mode mode, int code) {
    const std::string description = keydocs::Describe(mode, code);
    return std::string(keydocs::ModeName(mode)) + ": " +
           (description.empty() ? std::string("nothing") : description);
}

std::string KeyHelp(const core::RemoteKeyRow& key) {
    std::string text = KeyHeading(key);
    for (keydocs::Mode mode : keydocs::Modes) text += "\r\n" + ModeLine(mode, Code(key.key));
    return text;
}

}  // namespace vremote
