// The key display on a real desktop: it shows the text as its title near the
// bottom of the work area, leaves the window in front in front, lets clicks
// through, and hides again after its time, with no timer left running.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "shell/KeyDisplay.h"

namespace {

std::string Title(HWND window) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// Dispatches messages until the condition holds or the time is up; true
// when it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return true;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

class Display : public ::testing::Test {
protected:
    HWND player = nullptr;  // the window in front, as a player's would be

    void SetUp() override {
        player = CreateTopLevelWindow("MarlowPlayerUnderTest", "Player", DefWindowProcA,
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetForegroundWindow(player);
        PumpUntil([this] { return GetForegroundWindow() == player; }, 5000);
        ASSERT_EQ(GetForegroundWindow(), player);
    }
    void TearDown() override { DestroyWindow(player); }
};

TEST_F(Display, ShowsTheTextAsItsTitleNearTheBottomAndLeavesThePlayerInFront) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    EXPECT_EQ(display.window(), nullptr);  // nothing made before the first text
    display.Show("VLC: Play");
    HWND window = display.window();
    ASSERT_NE(window, nullptr);
    PumpFor(200);
    char windowClass[64] = {};
    GetClassNameA(window, windowClass, sizeof windowClass);
    EXPECT_STREQ(windowClass, "Marlow Remote Control Key Display");
    EXPECT_EQ(Title(window), "VLC: Play");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetForegroundWindow(), player);
    EXPECT_EQ(GetActiveWindow(), player);
    const LONG_PTR styles = GetWindowLongPtrA(window, GWL_EXSTYLE);
    const LONG_PTR wanted[] = {WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_NOACTIVATE,
                               WS_EX_TRANSPARENT, WS_EX_LAYERED};
    for (LONG_PTR style : wanted) EXPECT_EQ(styles & style, style) << std::hex << style;

    // Centred in the work area, in its lower part.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT shown;
    GetWindowRect(window, &shown);
    EXPECT_LE(std::abs((shown.left + shown.right) - (work.left + work.right)), 1);
    EXPECT_GT(shown.top, (work.top + work.bottom) / 2);
    EXPECT_LE(shown.bottom, work.bottom);

    // Sized to its text.
    display.Show("Pointer: left click and more");
    RECT wider;
    GetWindowRect(window, &wider);
    EXPECT_EQ(Title(window), "Pointer: left click and more");
    EXPECT_GT(wider.right - wider.left, shown.right - shown.left);
    EXPECT_EQ(wider.bottom - wider.top, shown.bottom - shown.top);
}

TEST_F(Display, ShowsATextOutsideTheCodePageWholeAndNoTextThatIsNotUtf8) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    display.Show("Плеер: Play");  // UTF-8
    ASSERT_NE(display.window(), nullptr);
    wchar_t title[64] = {};
    GetWindowTextW(display.window(), title, 64);
    EXPECT_EQ(std::wstring(title), L"\u041F\u043B\u0435\u0435\u0440: Play");

    DebugOutput trace;
    display.Show("Pl\xE4yer: Play");  // Latin-1, not UTF-8
    GetWindowTextW(display.window(), title, 64);
    EXPECT_EQ(std::wstring(title), L"\u041F\u043B\u0435\u0435\u0440: Play");
    EXPECT_EQ(trace.With({"reading a text as UTF-8 failed (0x00000459)"}).size(), 1u);
}

TEST_F(Display, AClickGoesToTheWindowUnderIt) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    display.Show("Media: Vol+");
    RECT shown;
    GetWindowRect(display.window(), &shown);
    // The player under the display's middle.
    SetWindowPos(player, nullptr, shown.left - 50, shown.top - 50, shown.right - shown.left + 100,
                 shown.bottom - shown.top + 100, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(200);
    const POINT middle = {(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(middle), player);
    EXPECT_EQ(SendMessageA(display.window(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(player),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
}

TEST_F(Display, HidesAfterItsTimeCountedFromTheLastTextAndThenRunsNoTimer) {
    // Two seconds, so that the margins hold on a slow machine.
    constexpr DWORD ShowMs = 2000;
    KeyDisplay display(GetModuleHandleA(nullptr), ShowMs);
    display.Show("VLC: Vol+");
    HWND window = display.window();
    PumpFor(ShowMs / 2);
    display.Show("VLC: Vol-");
    const DWORD last = GetTickCount();
    // Past the first text's time, short of the last one's.
    PumpFor(ShowMs * 3 / 4);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(PumpUntil([window] { return !IsWindowVisible(window); }, 15000));
    EXPECT_GE(GetTickCount() - last + 20, ShowMs);  // timers never fire early
    EXPECT_EQ(Title(window), "VLC: Vol-");
    EXPECT_EQ(GetForegroundWindow(), player);
    // Its timer was killed when it hid.
    EXPECT_FALSE(KillTimer(window, KeyDisplayTimerId));
}

TEST_F(Display, TheProgramsDisplayHidesAboutASecondAfterItsText) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    display.Show("Beyond TV: Ch+");
    const DWORD shown = GetTickCount();
    HWND window = display.window();
    EXPECT_TRUE(PumpUntil([window] { return !IsWindowVisible(window); }, 15000));
    EXPECT_GE(GetTickCount() - shown + 20, KeyDisplayShowMs);
}

}  // namespace
