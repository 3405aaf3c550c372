// Texts compared as profiles.ini and the key names compare them.
#pragma once
#include <cctype>
#include <string_view>

namespace core {

inline bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// True when the texts are the same but for the letter case of ASCII letters.
inline bool SameInAnyCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (!SameLetter(*a, *b)) return false;
    return *a == *b;
}
inline bool SameInAnyCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (!SameLetter(*i, *j)) return false;
    return true;
}

// True when text begins with start, but for the letter case of ASCII letters.
inline bool StartsInAnyCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && SameInAnyCase(text.substr(0, start.size()), start);
}

}  // namespace core
