#include "win32/WideText.h"

#include <cstring>
#include <cwchar>

#include "win32/FailureTrace.h"

namespace {

int Utf16Of(const char* text, int length, wchar_t* wide, int size) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, wide, size);
}

// WC_ERR_INVALID_CHARS, which refuses a lone surrogate, came with Windows
// Vista (the headers show it from there on); Windows XP refuses the flag
// itself.
constexpr DWORD RefuseLoneSurrogates = 0x80;

int Utf8Of(const wchar_t* text, int length, char* utf8, int size) {
    const int written = WideCharToMultiByte(CP_UTF8, RefuseLoneSurrogates, text, length, utf8, size,
                                            nullptr, nullptr);
    if (written == 0 && GetLastError() == ERROR_INVALID_FLAGS)
        return WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, size, nullptr, nullptr);
    return written;
}

// The text of that length converted by convert (which measures when given
// no room), or empty with the failure traced as what.
template <typename To, typename From>
To Converted(const From* text, size_t length,
             int (*convert)(const From*, int, typename To::value_type*, int), const char* what) {
    if (length == 0) return To();
    DWORD error = ERROR_BUFFER_OVERFLOW;
    if (length <= LongestWideText) {
        const int count = static_cast<int>(length);
        const int size = convert(text, count, nullptr, 0);
        To converted(static_cast<size_t>(size > 0 ? size : 0), typename To::value_type());
        if (size > 0 && convert(text, count, &converted[0], size) == size) return converted;
        error = GetLastError();
    }
    TraceFailure(what, error);
    return To();
}

// The UTF-16 text after a byte order mark (FF FE little endian, FE FF big
// endian) in UTF-8, the mark with it; false for bytes without one. An odd
// last byte and a last high surrogate, a file cut short, are left out; a
// lone surrogate elsewhere becomes U+FFFD.
bool Utf16FileInUtf8(const char* bytes, size_t length, std::string& utf8) {
    if (length < 2) return false;
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    const bool little = first == 0xFF && second == 0xFE;
    if (!little && !(first == 0xFE && second == 0xFF)) return false;
    std::wstring wide(length / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i + (little ? 0 : 1)]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + (little ? 1 : 0)]);
        wide[i] = static_cast<wchar_t>(high << 8 | low);
    }
    if (wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
    const int count = static_cast<int>(wide.size());  // at most half a file's limit
    utf8.assign(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
    return true;
}

}  // namespace

std::wstring ToWide(const char* text) {
    return Converted<std::wstring>(text, std::strlen(text), Utf16Of, "reading a text as UTF-8");
}

std::string ToUtf8(const wchar_t* text) {
    return Converted<std::string>(text, std::wcslen(text), Utf8Of, "writing a text as UTF-8");
}

std::string FileTextInUtf8(const char* bytes, size_t length) {
    std::string utf8;
    if (Utf16FileInUtf8(bytes, length, utf8)) return utf8;
    size_t judged = length;  // up to the last line end, when there is one
    while (judged > 0 && bytes[judged - 1] != '\n') --judged;
    if (judged == 0) judged = length;
    if (judged == 0 || Utf16Of(bytes, static_cast<int>(judged), nullptr, 0) > 0)
        return std::string(bytes, length);
    const int count = static_cast<int>(length);
    std::wstring wide(length, L'\0');  // a code page's character is one UTF-16 unit at most
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes, count, &wide[0], count)));
    utf8.assign(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(Utf8Of(wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                           static_cast<int>(utf8.size()))));
    return utf8;
}
