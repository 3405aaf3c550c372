// Compact JSON writing and small Win32 helpers shared by the test-bench programs
// (FakeTvApp.exe and probe.exe). Each document is built on one line so that logs
// and replies can be read line by line.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

namespace bench {

// Microseconds of the performance counter; Wine bases it on the monotonic clock,
// so values from different processes of one machine are comparable.
inline std::uint64_t nowMicros() {
    LARGE_INTEGER freq{}, count{};
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&count);
    const std::uint64_t f = static_cast<std::uint64_t>(freq.QuadPart);
    const std::uint64_t c = static_cast<std::uint64_t>(count.QuadPart);
    if (f == 0) return 0;
    constexpr std::uint64_t kMicrosPerSecond = 1000000;
    return (c / f) * kMicrosPerSecond + (c % f) * kMicrosPerSecond / f;
}

inline std::string wideToUtf8(const wchar_t* text, int length = -1) {
    if (!text) return {};
    if (length < 0) length = static_cast<int>(wcslen(text));
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

inline std::string ansiToUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], size);
    return wideToUtf8(wide.data(), size);
}

inline std::string hwndText(HWND hwnd) {
    char buf[2 + 2 * sizeof(void*) + 1];
    std::snprintf(buf, sizeof buf, "0x%08lx",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return buf;
}

// Builds one JSON document. Strings are taken as UTF-8 and escaped; commas are
// placed automatically between members and elements.
class Json {
public:
    Json& beginObject() { open('{'); return *this; }
    Json& endObject() { close('}'); return *this; }
    Json& beginArray() { open('['); return *this; }
    Json& endArray() { close(']'); return *this; }

    Json& key(const char* name) {
        separate();
        appendString(name);
        out_ += ':';
        needComma_ = false;
        return *this;
    }

    Json& null() {
        separate();
        out_ += "null";
        return *this;
    }

    template <class T>
    Json& value(const T& v) {
        separate();
        if constexpr (std::is_same_v<T, bool>) {
            out_ += v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, HWND>) {
            appendString(hwndText(v));
        } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
            out_ += std::to_string(static_cast<long long>(v));
        } else if constexpr (std::is_integral_v<T>) {
            out_ += std::to_string(static_cast<unsigned long long>(v));
        } else {
            appendString(std::string(v));
        }
        return *this;
    }

    template <class T>
    Json& kv(const char* name, const T& v) { return key(name).value(v); }

    Json& rect(const char* name, const RECT& r) {
        return key(name).beginArray().value(r.left).value(r.top).value(r.right).value(r.bottom)
            .endArray();
    }

    const std::string& str() const { return out_; }

private:
    void separate() {
        if (needComma_) out_ += ',';
        needComma_ = true;
    }
    void open(char c) {
        separate();
        out_ += c;
        needComma_ = false;
    }
    void close(char c) {
        out_ += c;
        needComma_ = true;
    }
    void appendString(const std::string& s) {
        out_ += '"';
        for (unsigned char c : s) {
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out_ += esc;
                } else {
                    out_ += static_cast<char>(c);
                }
            }
        }
        out_ += '"';
    }

    std::string out_;
    bool needComma_ = false;
};

}  // namespace bench
