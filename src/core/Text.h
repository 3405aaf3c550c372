// Texts compared as profiles.ini and the key labels compare them.
#pragma once
#include <cctype>

namespace core {

// True when the texts are the same but for the letter case of ASCII letters.
inline bool SameInAnyCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

}  // namespace core
