#include "ProbeCommands.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <sstream>

#include "BenchJson.h"

namespace probe {
namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr UINT kSendFlags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
constexpr DWORD kChordDownFlags = KEYEVENTF_EXTENDEDKEY;                   // 1
constexpr DWORD kChordUpFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;   // 3
constexpr wchar_t kPopupMenuClass[] = L"#32768";
constexpr int kClassNameLength = 256;
constexpr UINT kTrackbarGetPos = WM_USER;          // TBM_GETPOS
constexpr UINT kTrackbarGetRangeMin = WM_USER + 1; // TBM_GETRANGEMIN
constexpr UINT kTrackbarGetRangeMax = WM_USER + 2; // TBM_GETRANGEMAX

struct CommandError {
    std::string message;
};

[[noreturn]] void fail(const std::string& message) { throw CommandError{message}; }

using Args = std::vector<std::string>;

// Decimal or 0x-prefixed hexadecimal, optionally negative (taken modulo 2^32 by callers).
long long parseNumber(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    const bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (digits.empty() || digits[hex ? 2 : 0] == '-' || digits[hex ? 2 : 0] == '+')
        fail("not a number: '" + text + "'");
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(digits.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0') fail("not a number: '" + text + "'");
    return negative ? -static_cast<long long>(v) : static_cast<long long>(v);
}

std::uint32_t parseU32(const std::string& text) { return static_cast<std::uint32_t>(parseNumber(text)); }

HWND parseWindow(const std::string& text) {
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(parseU32(text)));
    if (hwnd != HWND_BROADCAST && !IsWindow(hwnd)) fail("invalid window handle " + text);
    return hwnd;
}

std::string className(HWND hwnd) {
    wchar_t buf[kClassNameLength] = {};
    const int n = GetClassNameW(hwnd, buf, kClassNameLength);
    return bench::wideToUtf8(buf, n > 0 ? n : 0);
}

bool hasClass(HWND hwnd, const wchar_t* cls) {
    wchar_t buf[kClassNameLength] = {};
    return GetClassNameW(hwnd, buf, kClassNameLength) > 0 && lstrcmpiW(buf, cls) == 0;
}

// SendMessageW that gives up on a hung or dead target instead of blocking.
bool sendW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR out = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, kSendFlags, kSendTimeoutMs, &out)) return false;
    result = static_cast<LRESULT>(out);
    return true;
}

// Caption kept by the window manager part of the system: never blocks on the owner.
std::string caption(HWND hwnd) {
    wchar_t buf[1024] = {};
    const int n = GetWindowTextW(hwnd, buf, static_cast<int>(sizeof buf / sizeof buf[0]));
    return bench::wideToUtf8(buf, n > 0 ? n : 0);
}

// Text as the control itself reports it (edit contents and the like).
std::string controlText(HWND hwnd) {
    LRESULT length = 0;
    if (!sendW(hwnd, WM_GETTEXTLENGTH, 0, 0, length) || length < 0) return caption(hwnd);
    std::wstring buf(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!sendW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]), copied))
        return caption(hwnd);
    return bench::wideToUtf8(buf.c_str(), static_cast<int>(wcsnlen(buf.c_str(), buf.size())));
}

RECT windowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool isTopmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void describeWindow(bench::Json& j, HWND hwnd) {
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    j.kv("hwnd", hwnd).kv("class", className(hwnd)).kv("title", caption(hwnd))
        .rect("rect", windowRect(hwnd)).kv("topmost", isTopmost(hwnd))
        .kv("visible", IsWindowVisible(hwnd) != FALSE).kv("pid", pid).kv("tid", tid)
        .kv("style", static_cast<std::uint32_t>(GetWindowLongW(hwnd, GWL_STYLE)))
        .kv("exstyle", static_cast<std::uint32_t>(GetWindowLongW(hwnd, GWL_EXSTYLE)))
        .kv("owner", GetWindow(hwnd, GW_OWNER));
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> out;
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        out.push_back(h);
    return out;
}

BOOL CALLBACK collectChild(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

void cmdWindows(const Args&, bench::Json& j) {
    j.beginArray();
    for (HWND h : topLevelWindows()) {
        j.beginObject();
        describeWindow(j, h);
        j.endObject();
    }
    j.endArray();
}

void sendOrPost(const Args& a, bench::Json& j, bool post) {
    const HWND hwnd = parseWindow(a[0]);
    const UINT msg = parseU32(a[1]);
    const WPARAM wParam = parseU32(a[2]);
    const LPARAM lParam = static_cast<LPARAM>(parseU32(a[3]));
    LRESULT result = 0;
    if (post) {
        if (!PostMessageW(hwnd, msg, wParam, lParam))
            fail("PostMessage failed, error " + std::to_string(GetLastError()));
        result = 1;
    } else if (!sendW(hwnd, msg, wParam, lParam, result)) {
        fail("SendMessage timed out or failed, error " + std::to_string(GetLastError()));
    }
    j.beginObject().kv("result", static_cast<long long>(result)).endObject();
}

void cmdSend(const Args& a, bench::Json& j) { sendOrPost(a, j, false); }
void cmdPost(const Args& a, bench::Json& j) { sendOrPost(a, j, true); }

void describeMenuItems(bench::Json& j, HMENU menu) {
    const int count = GetMenuItemCount(menu);
    j.key("items").beginArray();
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        const int n = GetMenuStringW(menu, static_cast<UINT>(i), text, 512, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        j.beginObject().kv("pos", i).kv("id", static_cast<std::uint32_t>(GetMenuItemID(menu, i)))
            .kv("text", bench::wideToUtf8(text, n > 0 ? n : 0)).kv("state", state)
            .kv("separator", (state & MF_SEPARATOR) != 0).kv("checked", (state & MF_CHECKED) != 0)
            .kv("grayed", (state & (MF_GRAYED | MF_DISABLED)) != 0)
            .kv("default", (state & MF_DEFAULT) != 0).kv("popup", (state & MF_POPUP) != 0)
            .endObject();
    }
    j.endArray();
}

void cmdPopup(const Args&, bench::Json& j) {
    j.beginArray();
    for (HWND h : topLevelWindows()) {
        if (!IsWindowVisible(h) || !hasClass(h, kPopupMenuClass)) continue;
        j.beginObject();
        describeWindow(j, h);
        LRESULT menu = 0;
        sendW(h, MN_GETHMENU, 0, 0, menu);
        const HMENU hmenu = reinterpret_cast<HMENU>(menu);
        j.kv("hmenu", static_cast<std::uint32_t>(menu));
        if (hmenu && IsMenu(hmenu))
            describeMenuItems(j, hmenu);
        else
            j.key("items").null().kv("items_error", "menu handle not readable from this process");
        j.endObject();
    }
    j.endArray();
}

// Entries of a combo box or list box, read with the wide messages so that they
// cross the process boundary intact.
void describeList(bench::Json& j, HWND hwnd, UINT countMsg, UINT lengthMsg, UINT textMsg,
                  UINT curselMsg) {
    LRESULT count = 0;
    if (!sendW(hwnd, countMsg, 0, 0, count) || count < 0) {
        j.key("items").null();
        return;
    }
    j.key("items").beginArray();
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!sendW(hwnd, lengthMsg, static_cast<WPARAM>(i), 0, length) || length < 0) {
            j.null();
            continue;
        }
        std::wstring buf(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!sendW(hwnd, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&buf[0]), copied) ||
            copied < 0) {
            j.null();
            continue;
        }
        j.value(bench::wideToUtf8(buf.c_str(), static_cast<int>(wcsnlen(buf.c_str(), buf.size()))));
    }
    j.endArray();
    LRESULT cursel = -1;
    sendW(hwnd, curselMsg, 0, 0, cursel);
    j.kv("cursel", static_cast<long long>(cursel));
}

bool isCheckable(LONG style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: case BS_3STATE: case BS_AUTO3STATE:
        return true;
    default:
        return false;
    }
}

void describeControl(bench::Json& j, HWND hwnd) {
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    j.beginObject().kv("hwnd", hwnd).kv("parent", GetParent(hwnd))
        .kv("id", static_cast<long long>(GetDlgCtrlID(hwnd))).kv("class", className(hwnd))
        .kv("text", controlText(hwnd)).kv("style", static_cast<std::uint32_t>(style))
        .rect("rect", windowRect(hwnd)).kv("visible", IsWindowVisible(hwnd) != FALSE)
        .kv("enabled", IsWindowEnabled(hwnd) != FALSE);
    LRESULT value = 0;
    if (hasClass(hwnd, L"ComboBox")) {
        describeList(j, hwnd, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL);
    } else if (hasClass(hwnd, L"ListBox")) {
        describeList(j, hwnd, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL);
    } else if (hasClass(hwnd, L"Button") && isCheckable(style)) {
        if (sendW(hwnd, BM_GETCHECK, 0, 0, value)) j.kv("checked", static_cast<long long>(value));
    } else if (hasClass(hwnd, L"msctls_trackbar32")) {
        LRESULT low = 0, high = 0;
        if (sendW(hwnd, kTrackbarGetPos, 0, 0, value) && sendW(hwnd, kTrackbarGetRangeMin, 0, 0, low) &&
            sendW(hwnd, kTrackbarGetRangeMax, 0, 0, high))
            j.kv("pos", static_cast<long long>(value)).kv("min", static_cast<long long>(low))
                .kv("max", static_cast<long long>(high));
    }
    j.endObject();
}

void cmdDialog(const Args& a, bench::Json& j) {
    const HWND hwnd = parseWindow(a[0]);
    if (hwnd == HWND_BROADCAST) fail("invalid window handle " + a[0]);
    std::vector<HWND> children;
    EnumChildWindows(hwnd, collectChild, reinterpret_cast<LPARAM>(&children));
    j.beginObject();
    describeWindow(j, hwnd);
    j.key("controls").beginArray();
    for (HWND child : children) describeControl(j, child);
    j.endArray().endObject();
}

void cmdCursor(const Args& a, bench::Json& j) {
    if (a.size() == 1) fail("cursor takes no argument or X Y");
    if (a.size() == 2 && !SetCursorPos(static_cast<int>(parseNumber(a[0])), static_cast<int>(parseNumber(a[1]))))
        fail("SetCursorPos failed, error " + std::to_string(GetLastError()));
    POINT p{};
    if (!GetCursorPos(&p)) fail("GetCursorPos failed, error " + std::to_string(GetLastError()));
    j.beginObject().kv("x", p.x).kv("y", p.y).endObject();
}

void cmdMetrics(const Args&, bench::Json& j) {
    struct Metric {
        int index;
        const char* name;
    };
    static constexpr Metric kMetrics[] = {
        {SM_CXSCREEN, "SM_CXSCREEN"}, {SM_CYSCREEN, "SM_CYSCREEN"},
        {SM_CXFULLSCREEN, "SM_CXFULLSCREEN"}, {SM_CYFULLSCREEN, "SM_CYFULLSCREEN"},
        {SM_SWAPBUTTON, "SM_SWAPBUTTON"},
    };
    j.beginObject();
    for (const auto& m : kMetrics) j.kv(m.name, GetSystemMetrics(m.index));
    j.endObject();
}

// "VK,VK,...": virtual keys, decimal or 0x-prefixed.
std::vector<BYTE> parseKeys(const std::string& text) {
    std::vector<BYTE> keys;
    std::istringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        const long long vk = parseNumber(item);
        if (vk <= 0 || vk > 0xFE) fail("not a virtual key: '" + item + "'");
        keys.push_back(static_cast<BYTE>(vk));
    }
    if (keys.empty()) fail("no keys given");
    return keys;
}

// Presses the keys in order and releases them in reverse, as a chord.
void cmdKeys(const Args& a, bench::Json& j) {
    if (a.size() == 2) fail("keys takes VK,VK,... [DOWN_FLAGS UP_FLAGS]");
    const std::vector<BYTE> keys = parseKeys(a[0]);
    const DWORD downFlags = a.size() > 1 ? parseU32(a[1]) : kChordDownFlags;
    const DWORD upFlags = a.size() > 2 ? parseU32(a[2]) : kChordUpFlags;
    const std::uint64_t start = bench::nowMicros();
    for (BYTE vk : keys) keybd_event(vk, static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), downFlags, 0);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it)
        keybd_event(*it, static_cast<BYTE>(MapVirtualKeyW(*it, MAPVK_VK_TO_VSC)), upFlags, 0);
    j.beginObject().kv("result", keys.size() * 2).kv("t_us", start).endObject();
}

// Types the keys as one SendInput: pressed in order, released in reverse.
void cmdType(const Args& a, bench::Json& j) {
    const std::vector<BYTE> keys = parseKeys(a[0]);
    std::vector<INPUT> inputs;
    for (size_t i = 0; i < keys.size() * 2; ++i) {
        const bool up = i >= keys.size();
        const BYTE vk = up ? keys[keys.size() * 2 - 1 - i] : keys[i];
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    const std::uint64_t start = bench::nowMicros();
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) fail("SendInput failed, error " + std::to_string(GetLastError()));
    j.beginObject().kv("result", sent).kv("t_us", start).endObject();
}

void describeForeground(bench::Json& j) {
    const HWND front = GetForegroundWindow();
    j.beginObject();
    if (front != nullptr)
        describeWindow(j, front);
    else
        j.key("hwnd").null();
    j.endObject();
}

// The window in front: its description, or hwnd null.
void cmdForeground(const Args&, bench::Json& j) { describeForeground(j); }

// Brings the window to the front (SetForegroundWindow) and describes the
// window in front afterwards.
void cmdFront(const Args& a, bench::Json& j) {
    const HWND hwnd = parseWindow(a[0]);
    if (hwnd == HWND_BROADCAST) fail("invalid window handle " + a[0]);
    SetForegroundWindow(hwnd);
    describeForeground(j);
}

void cmdMouse(const Args& a, bench::Json& j) {
    const std::uint64_t start = bench::nowMicros();
    mouse_event(parseU32(a[0]), parseU32(a[1]), parseU32(a[2]), a.size() > 3 ? parseU32(a[3]) : 0, 0);
    j.beginObject().kv("result", 1).kv("t_us", start).endObject();
}

void cmdTime(const Args&, bench::Json& j) {
    j.beginObject().kv("t_us", bench::nowMicros()).kv("pid", GetCurrentProcessId()).endObject();
}

struct Command {
    const char* name;
    size_t minArgs;
    size_t maxArgs;
    void (*run)(const Args&, bench::Json&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"windows", 0, 0, cmdWindows, "windows"},
    {"send", 4, 4, cmdSend, "send HWND MSG WPARAM LPARAM"},
    {"post", 4, 4, cmdPost, "post HWND MSG WPARAM LPARAM"},
    {"popup", 0, 0, cmdPopup, "popup"},
    {"dialog", 1, 1, cmdDialog, "dialog HWND"},
    {"cursor", 0, 2, cmdCursor, "cursor [X Y]"},
    {"metrics", 0, 0, cmdMetrics, "metrics"},
    {"keys", 1, 3, cmdKeys, "keys VK,VK,... [DOWN_FLAGS UP_FLAGS]"},
    {"type", 1, 1, cmdType, "type VK,VK,..."},
    {"foreground", 0, 0, cmdForeground, "foreground"},
    {"front", 1, 1, cmdFront, "front HWND"},
    {"mouse", 3, 4, cmdMouse, "mouse FLAGS DX DY [DATA]"},
    {"time", 0, 0, cmdTime, "time"},
};

std::string errorJson(const std::string& message) {
    bench::Json j;
    j.beginObject().kv("error", message).endObject();
    return j.str();
}

}  // namespace

Reply runCommand(const std::vector<std::string>& words) {
    if (words.empty()) return {errorJson("no command"), false};
    for (const auto& c : kCommands) {
        if (words[0] != c.name) continue;
        const Args args(words.begin() + 1, words.end());
        if (args.size() < c.minArgs || args.size() > c.maxArgs)
            return {errorJson(std::string("usage: ") + c.usage), false};
        try {
            bench::Json j;
            c.run(args, j);
            return {j.str(), true};
        } catch (const CommandError& e) {
            return {errorJson(e.message), false};
        }
    }
    std::string known;
    for (const auto& c : kCommands) known += std::string(known.empty() ? "" : ", ") + c.name;
    return {errorJson("unknown command '" + words[0] + "' (known: " + known + ", serve, quit)"), false};
}

}  // namespace probe
