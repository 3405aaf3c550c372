// FakeTvApp.exe: stands in for one of the TV applications the remote control
// drives, a row of the program's own table (core::Applications). It shows
// windows that answer that application's window identities, logs what reaches
// them (window messages and low-level keyboard/mouse hook events) as JSON
// lines, and closes itself on the application's own close: its close command
// in its command message, or its close chord seen by its keyboard hook. Under
// a file name of no row (vlc.exe) it plays another player: the windows its
// settings name, which show the keys and app commands they receive; each may
// hold an edit control that has its focus (a page's text field), and they may
// be children of another program's window (a Store app's core window in its
// frame). It may also be a WinLIRC client of the program's key server.
#include <winsock2.h>  // before <windows.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "BenchJson.h"
#include "FakeConfig.h"
#include "core/KeyNames.h"

namespace fakeapp {
namespace {

constexpr UINT kShutdownRequest = WM_APP + 1;
constexpr UINT kSocketEvent = WM_APP + 2;
constexpr int kReceiveBytes = 4096;
constexpr UINT_PTR kTimerShow = 1;
constexpr UINT_PTR kTimerExit = 2;
constexpr UINT_PTR kTimerCloseWindow = 3;
constexpr UINT_PTR kTimerClosing = 4;
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 240;
constexpr int kWindowMargin = 20;
constexpr int kWindowsPerRow = 3;
constexpr UINT kFirstNamedPrivateMessage = WM_USER;
constexpr UINT kLastNamedPrivateMessage = 0xBFFF;
constexpr int kConfigErrorExitCode = 2;
constexpr size_t kShownLines = 10;  // what a window shows of the input it received
constexpr int kTextMargin = 8;
constexpr int kEditHeight = 24;
constexpr char kControlClass[] = "FakeTvAppControl";
constexpr UINT kMouseHWheel = 0x020E;  // WM_MOUSEHWHEEL, newer than the headers' target

struct MessageName {
    UINT msg;
    const char* name;
};

// Messages worth logging; WM_MOUSEMOVE is only logged from the mouse hook.
constexpr MessageName kMessageNames[] = {
    {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_KEYUP, "WM_KEYUP"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"},
    {WM_CHAR, "WM_CHAR"}, {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_DEADCHAR, "WM_DEADCHAR"}, {WM_SYSDEADCHAR, "WM_SYSDEADCHAR"},
    {WM_CLOSE, "WM_CLOSE"}, {WM_QUERYENDSESSION, "WM_QUERYENDSESSION"},
    {WM_ENDSESSION, "WM_ENDSESSION"}, {WM_POWERBROADCAST, "WM_POWERBROADCAST"},
    {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_COMMAND, "WM_COMMAND"}, {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_APPCOMMAND, "WM_APPCOMMAND"}, {WM_HOTKEY, "WM_HOTKEY"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
    {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
    {WM_RBUTTONDBLCLK, "WM_RBUTTONDBLCLK"},
    {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"}, {WM_MBUTTONUP, "WM_MBUTTONUP"},
    {WM_MBUTTONDBLCLK, "WM_MBUTTONDBLCLK"},
    {WM_XBUTTONDOWN, "WM_XBUTTONDOWN"}, {WM_XBUTTONUP, "WM_XBUTTONUP"},
    {WM_XBUTTONDBLCLK, "WM_XBUTTONDBLCLK"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"}, {kMouseHWheel, "WM_MOUSEHWHEEL"},
};

// Name of a message to log, or empty when the message is not logged.
std::string messageName(UINT msg) {
    for (const auto& entry : kMessageNames)
        if (entry.msg == msg) return entry.name;
    if (msg >= kFirstNamedPrivateMessage && msg <= kLastNamedPrivateMessage)
        return "MSG" + std::to_string(msg);
    return {};
}

struct FakeWindow {
    WindowSpec spec;
    HWND hwnd = nullptr;
    HWND edit = nullptr;  // its edit control, which takes its focus; none without one
    std::deque<std::string> shown;  // input it received, newest first
};

// The keys held down as the low-level keyboard hook sees them, the left and
// right modifier keys as their generic codes.
class HeldKeys {
public:
    void update(DWORD vk, bool down) {
        if (down)
            held_.insert(generic(vk));
        else
            held_.erase(generic(vk));
    }

    // Whether vk, going down, completes the chord: it is the chord's last key
    // and every other key of the chord is held.
    bool completes(const uint8_t (&keys)[4], DWORD vk) const {
        const size_t length = core::ChordLength(keys);
        return length > 0 && generic(vk) == keys[length - 1] &&
               std::all_of(keys, keys + length - 1, [this](uint8_t key) { return held_.count(key) != 0; });
    }

private:
    static DWORD generic(DWORD vk) {
        switch (vk) {
        case VK_LMENU: case VK_RMENU: return VK_MENU;
        case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
        case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
        default: return vk;
        }
    }

    std::set<DWORD> held_;
};

class App {
public:
    App(HINSTANCE instance, Config config) : instance_(instance), config_(std::move(config)) {}

    int run(const std::string& exePath, const std::vector<std::string>& args);

    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK controlProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK keyboardHook(int, WPARAM, LPARAM);
    static LRESULT CALLBACK mouseHook(int, WPARAM, LPARAM);

private:
    bench::Json event(const char* ev) const {
        bench::Json j;
        j.beginObject().kv("t_us", bench::nowMicros()).kv("pid", pid_).kv("ev", ev);
        return j;
    }
    void write(bench::Json& j);
    void openLog();
    void logStart(const std::string& exePath, const std::vector<std::string>& args);
    void createWindows();
    HWND parentWindow();
    void connectLirc(DWORD port);
    void receiveLirc();
    void destroyWindow(size_t index);
    void shutdown(int code);
    void close();
    FakeWindow* findWindow(HWND hwnd);
    LRESULT onWindowMessage(HWND, UINT, WPARAM, LPARAM);
    LRESULT onControlMessage(HWND, UINT, WPARAM, LPARAM);
    void onKey(const KBDLLHOOKSTRUCT& key, bool down);
    void onMouse(WPARAM msg, const MSLLHOOKSTRUCT& mouse);
    static void show(FakeWindow* window, const std::string& line);
    void paint(HWND hwnd, const FakeWindow* window);

    HINSTANCE instance_;
    std::string name_;  // the application's name, or the file name it runs as
    Config config_;
    DWORD pid_ = GetCurrentProcessId();
    HANDLE log_ = INVALID_HANDLE_VALUE;
    HWND control_ = nullptr;
    HHOOK keyboardHook_ = nullptr;
    HHOOK mouseHook_ = nullptr;
    SOCKET lirc_ = INVALID_SOCKET;
    std::vector<FakeWindow> windows_;
    HeldKeys held_;
    bool exiting_ = false;
    bool closing_ = false;
    int exitCode_ = 0;
};


App* g_app = nullptr;

void App::openLog() {
    log_ = CreateFileA(config_.logPath.c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void App::write(bench::Json& j) {
    j.endObject();
    if (log_ == INVALID_HANDLE_VALUE) return;
    const std::string line = j.str() + "\n";
    DWORD written = 0;
    WriteFile(log_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(log_);
}

void App::logStart(const std::string& exePath, const std::vector<std::string>& args) {
    bench::Json j = event("start");
    j.kv("identity", identityName(config_.application)).key("args").beginArray();
    for (const auto& arg : args) j.value(bench::ansiToUtf8(arg));
    j.endArray().kv("exe", bench::ansiToUtf8(exePath)).kv("log", bench::ansiToUtf8(config_.logPath));
    write(j);
}

FakeWindow* App::findWindow(HWND hwnd) {
    for (auto& w : windows_)
        if (w.hwnd == hwnd) return &w;
    return nullptr;
}

void App::createWindows() {
    for (size_t i = 0; i < windows_.size(); ++i) {
        const WindowSpec& spec = windows_[i].spec;
        WNDCLASSA wc{};
        wc.lpfnWndProc = windowProc;
        wc.hInstance = instance_;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = spec.cls.c_str();
        RegisterClassA(&wc);  // fails harmlessly when two windows share a class

        const int x = kWindowMargin + static_cast<int>(i % kWindowsPerRow) * (kWindowWidth + kWindowMargin);
        const int y = kWindowMargin + static_cast<int>(i / kWindowsPerRow) * (kWindowHeight + kWindowMargin);
        const HWND parent = parentWindow();
        // A child without its parent is not made: the window event says why.
        const DWORD style = config_.parentClass.empty() ? WS_OVERLAPPEDWINDOW : WS_CHILD | WS_VISIBLE;
        const HWND hwnd = CreateWindowExA(0, spec.cls.c_str(), spec.title.c_str(), style,
                                          x, y, kWindowWidth, kWindowHeight, parent, nullptr,
                                          instance_, reinterpret_cast<LPVOID>(i));
        bench::Json j = event("window");
        j.kv("hwnd", hwnd).kv("class", bench::ansiToUtf8(spec.cls))
            .kv("title", bench::ansiToUtf8(spec.title)).kv("index", i);
        if (!hwnd) j.kv("error", static_cast<unsigned long>(GetLastError()));
        write(j);
        if (hwnd && config_.edit)
            windows_[i].edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", config_.edit->c_str(),
                                               WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0,
                                               kWindowHeight / 2, kWindowWidth / 2, kEditHeight, hwnd,
                                               nullptr, instance_, nullptr);
    }
    for (auto& w : windows_) {
        if (!w.hwnd) continue;
        ShowWindow(w.hwnd, SW_SHOWNORMAL);
        UpdateWindow(w.hwnd);
    }
}

// The first top-level window of the "parent" setting's class (another
// program's), or none.
HWND App::parentWindow() {
    return config_.parentClass.empty() ? nullptr : FindWindowA(config_.parentClass.c_str(), nullptr);
}

void App::destroyWindow(size_t index) {
    if (index < windows_.size() && windows_[index].hwnd) DestroyWindow(windows_[index].hwnd);
}

// The application's own close: at once, or after close_delay with its
// windows still there, as a real application takes a while to close.
void App::close() {
    if (config_.closeDelayMs == 0) {
        shutdown(0);
    } else if (!closing_) {
        closing_ = true;
        bench::Json j = event("closing");
        write(j);
        SetTimer(control_, kTimerClosing, config_.closeDelayMs, nullptr);
    }
}

void App::shutdown(int code) {
    if (exiting_) return;
    exiting_ = true;
    exitCode_ = code;
    bench::Json j = event("exit");
    j.kv("code", code);
    write(j);
    for (size_t i = 0; i < windows_.size(); ++i) destroyWindow(i);
    PostQuitMessage(code);
}

// Each window shows the last key messages and commands it received, so that
// a person watching sees the application react.
void App::show(FakeWindow* window, const std::string& line) {
    if (window == nullptr || window->hwnd == nullptr) return;
    window->shown.push_front(line);
    if (window->shown.size() > kShownLines) window->shown.pop_back();
    InvalidateRect(window->hwnd, nullptr, TRUE);
}

void App::paint(HWND hwnd, const FakeWindow* window) {
    static const std::deque<std::string> nothing;
    const std::deque<std::string>& shown = window ? window->shown : nothing;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const std::string heading = "Fake " + name_ +
                                (shown.empty() ? ": nothing received yet" : ": received, newest first");
    int y = kTextMargin;
    TextOutA(dc, kTextMargin, y, heading.c_str(), static_cast<int>(heading.size()));
    for (const std::string& line : shown) {
        y += metrics.tmHeight;
        TextOutA(dc, kTextMargin * 2, y, line.c_str(), static_cast<int>(line.size()));
    }
    EndPaint(hwnd, &ps);
}

LRESULT App::onWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const size_t index = reinterpret_cast<size_t>(create->lpCreateParams);
        if (index < windows_.size()) windows_[index].hwnd = hwnd;
    }
    FakeWindow* window = findWindow(hwnd);
    const std::string name = msg == WM_MOUSEMOVE ? std::string() : messageName(msg);
    if (window && !name.empty() && !exiting_) {  // "exit" stays the last event
        bench::Json j = event("msg");
        j.kv("hwnd", hwnd).kv("class", bench::ansiToUtf8(window->spec.cls))
            .kv("title", bench::ansiToUtf8(window->spec.title)).kv("msg", name)
            .kv("wParam", static_cast<std::uint32_t>(wParam))
            .kv("lParam", static_cast<std::uint32_t>(lParam));
        write(j);
    }
    const core::Application* application = config_.application;
    if (application != nullptr && application->commandMessage != 0 && msg == application->commandMessage) {
        show(window, "command " + std::to_string(wParam));
        if (application->close.kind == core::CloseKind::Command && wParam == application->close.command &&
            !config_.ignoreClose)
            close();
        return 0;
    }
    switch (msg) {
    case WM_CLOSE:
        if (!config_.ignoreClose) close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_PAINT:
        paint(hwnd, window);
        return 0;
    case WM_SETFOCUS:
        if (window && window->edit) SetFocus(window->edit);
        return 0;
    case WM_KEYDOWN: {
        const std::string name = core::KeyName(static_cast<unsigned>(wParam));
        show(window, "key " + (name.empty() ? std::to_string(wParam) : name));
        return 0;
    }
    case WM_APPCOMMAND:
        show(window, "app command " + std::to_string(GET_APPCOMMAND_LPARAM(lParam)));
        return TRUE;
    case WM_DESTROY:
        if (window && !exiting_) {
            bench::Json j = event("destroy");
            j.kv("hwnd", hwnd).kv("class", bench::ansiToUtf8(window->spec.cls))
                .kv("title", bench::ansiToUtf8(window->spec.title));
            write(j);
        }
        if (window) window->hwnd = nullptr;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

void App::connectLirc(DWORD port) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    lirc_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    server.sin_port = htons(static_cast<u_short>(port));
    const bool connected = connect(lirc_, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
    bench::Json j = event("lirc_connect");
    j.kv("ok", connected).kv("error", static_cast<long long>(connected ? 0 : WSAGetLastError()));
    write(j);
    if (!connected) return;
    WSAAsyncSelect(lirc_, control_, kSocketEvent, FD_READ | FD_CLOSE);
    send(lirc_, "VERSION\n", 8, 0);
}

void App::receiveLirc() {
    char bytes[kReceiveBytes];
    const int received = recv(lirc_, bytes, sizeof bytes, 0);
    if (received <= 0) return;
    const std::string text(bytes, static_cast<size_t>(received));
    bench::Json j = event("lirc_received");
    j.kv("text", text);
    write(j);
    // Its first window shows the lines, as a client's log would.
    if (windows_.empty()) return;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) show(&windows_[0], text.substr(start, end - start));
        start = end + 1;
    }
}

LRESULT App::onControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kSocketEvent) {
        receiveLirc();
        return 0;
    }
    if (msg == kShutdownRequest) {
        close();
        return 0;
    }
    if (msg != WM_TIMER) return DefWindowProcA(hwnd, msg, wParam, lParam);
    KillTimer(hwnd, wParam);
    switch (wParam) {
    case kTimerShow:
        createWindows();
        if (config_.closeWindowAfter)
            SetTimer(control_, kTimerCloseWindow, config_.closeWindowAfter->afterMs, nullptr);
        break;
    case kTimerExit:
        shutdown(0);
        break;
    case kTimerCloseWindow:
        destroyWindow(config_.closeWindowAfter->index);
        break;
    case kTimerClosing:
        shutdown(0);
        break;
    default:
        break;
    }
    return 0;
}

void App::onKey(const KBDLLHOOKSTRUCT& key, bool down) {
    bench::Json j = event("ll_key");
    j.kv("vk", key.vkCode).kv("scan", key.scanCode).kv("flags", key.flags).kv("down", down)
        .kv("injected", (key.flags & LLKHF_INJECTED) != 0);
    write(j);
    held_.update(key.vkCode, down);
    const core::Application* application = config_.application;
    const bool closeChord = down && application != nullptr &&
                            application->close.kind != core::CloseKind::Command &&
                            held_.completes(application->close.keys, key.vkCode);
    // Closing from inside the hook would hold up everyone's input: do it afterwards.
    if (closeChord && !config_.ignoreClose && !exiting_) PostMessageA(control_, kShutdownRequest, 0, 0);
}

void App::onMouse(WPARAM msg, const MSLLHOOKSTRUCT& mouse) {
    bench::Json j = event("ll_mouse");
    const std::string name = messageName(static_cast<UINT>(msg));
    if (name.empty()) j.kv("msg", static_cast<std::uint32_t>(msg)); else j.kv("msg", name);
    j.kv("x", mouse.pt.x).kv("y", mouse.pt.y).kv("flags", mouse.flags)
        .kv("data", static_cast<std::uint32_t>(mouse.mouseData));
    write(j);
}

LRESULT CALLBACK App::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return g_app->onWindowMessage(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK App::controlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return g_app->onControlMessage(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK App::keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        g_app->onKey(key, wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK App::mouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) g_app->onMouse(wParam, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int App::run(const std::string& exePath, const std::vector<std::string>& args) {
    name_ = config_.application ? config_.application->name
                                : exePath.substr(exePath.find_last_of("\\/") + 1);
    openLog();
    logStart(exePath, args);
    if (!config_.errors.empty()) {
        for (const auto& message : config_.errors) {
            bench::Json j = event("error");
            j.kv("message", bench::ansiToUtf8(message));
            write(j);
        }
        bench::Json j = event("exit");
        j.kv("code", kConfigErrorExitCode);
        write(j);
        return kConfigErrorExitCode;
    }

    // A slow start: whoever waits for this program to be ready for input
    // (WinExec does) waits this long.
    if (config_.busyStartMs != 0) Sleep(config_.busyStartMs);

    WNDCLASSA wc{};
    wc.lpfnWndProc = controlProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kControlClass;
    RegisterClassA(&wc);
    // Message-only: it carries timers and requests but is no top-level window.
    control_ = CreateWindowExA(0, kControlClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, nullptr);

    keyboardHook_ = SetWindowsHookExA(WH_KEYBOARD_LL, keyboardHook, instance_, 0);
    mouseHook_ = SetWindowsHookExA(WH_MOUSE_LL, mouseHook, instance_, 0);
    if (!keyboardHook_ || !mouseHook_) {
        bench::Json j = event("error");
        j.kv("message", "low-level hooks not installed");
        write(j);
    }

    for (const auto& spec : config_.windows) windows_.push_back({spec, nullptr, nullptr, {}});
    if (config_.exitAfterMs) SetTimer(control_, kTimerExit, *config_.exitAfterMs, nullptr);
    if (config_.delayMs == 0)
        onControlMessage(control_, WM_TIMER, kTimerShow, 0);
    else
        SetTimer(control_, kTimerShow, config_.delayMs, nullptr);

    if (config_.lircPort) connectLirc(*config_.lircPort);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (lirc_ != INVALID_SOCKET) closesocket(lirc_);
    if (keyboardHook_) UnhookWindowsHookEx(keyboardHook_);
    if (mouseHook_) UnhookWindowsHookEx(mouseHook_);
    if (log_ != INVALID_HANDLE_VALUE) CloseHandle(log_);
    return exitCode_;
}

}  // namespace
}  // namespace fakeapp

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string exePath = path;
    const std::vector<std::string> args(__argv + 1, __argv + __argc);
    fakeapp::Config config = fakeapp::buildConfig(exePath, args);
    fakeapp::App app(instance, std::move(config));
    fakeapp::g_app = &app;
    return app.run(exePath, args);
}
