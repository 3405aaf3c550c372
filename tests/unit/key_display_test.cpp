// The key display on a real desktop: it shows the text as its title near the
// bottom of the work area in a size that grows with the system DPI, paints
// each new text, leaves the window in front in front, lets clicks through,
// and hides again after its time, with no timer left running.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "shell/KeyDisplay.h"

namespace {

std::string Title(HWND window) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
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
    PumpUntil([window] { return IsWindowVisible(window) != FALSE; }, 5000);
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

    // A new text of the same size is painted again: digits are all as wide.
    display.Show("WinDVR 6: 1");
    ASSERT_TRUE(PumpUntil([window] { return !GetUpdateRect(window, nullptr, FALSE); }, 5000));
    GetWindowRect(window, &shown);
    display.Show("WinDVR 6: 2");
    RECT same;
    GetWindowRect(window, &same);
    EXPECT_TRUE(EqualRect(&shown, &same));
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE)) << "not to be painted with its new text";
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
    const POINT middle = {(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
    PumpUntil([this, middle] { return WindowFromPoint(middle) == player; }, 5000);
    EXPECT_EQ(WindowFromPoint(middle), player);
    EXPECT_EQ(SendMessageA(display.window(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(player),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
}

TEST_F(Display, HidesAfterItsTimeCountedFromTheLastTextAndThenRunsNoTimer) {
    constexpr UINT ShowMs = 2000;
    KeyDisplay display(GetModuleHandleA(nullptr), ShowMs);
    display.Show("VLC: Vol+");
    HWND window = display.window();
    PumpUntilTimer(ShowMs / 2);
    display.Show("VLC: Vol-");
    // Past the first text's time, short of the last one's.
    PumpUntilTimer(ShowMs * 3 / 4);
    EXPECT_TRUE(IsWindowVisible(window));
    PumpUntilTimer(ShowMs / 2);  // past the last one's
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(Title(window), "VLC: Vol-");
    EXPECT_EQ(GetForegroundWindow(), player);
    // Its timer was killed when it hid.
    EXPECT_FALSE(KillTimer(window, KeyDisplayTimerId));
}

TEST_F(Display, TheProgramsDisplayHidesAboutASecondAfterItsText) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    display.Show("Beyond TV: Ch+");
    HWND window = display.window();
    PumpUntilTimer(500);
    EXPECT_TRUE(IsWindowVisible(window)) << "gone within half a second";
    PumpUntilTimer(1500);
    EXPECT_FALSE(IsWindowVisible(window)) << "still there two seconds after its text";
}

SIZE ShownSize(const char* text) {
    KeyDisplay display(GetModuleHandleA(nullptr));
    display.Show(text);
    RECT shown;
    GetWindowRect(display.window(), &shown);
    return {shown.right - shown.left, shown.bottom - shown.top};
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(DisplayAtAnotherDpi, IsAsMuchLargerAsTheDpi) {
    const SIZE here = ShownSize("Beyond TV: Ch+");
    const double scale = 144.0 / ScreenDpi();
    constexpr DWORD larger = 144;
    HKEY desktop = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &desktop);
    RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&larger),
                   sizeof larger);
    // In a process of its own, which reads the system DPI as it starts, aware
    // of it as the program is. It ends with the size, or with 0 when it did
    // not see that DPI.
    SIZE there = {};
    const auto sizeThere = [&there](int code) {
        there = {LOWORD(code), HIWORD(code)};
        return code != 0;
    };
    EXPECT_EXIT(
        {
            using SetDpiAware = BOOL(WINAPI*)();
            reinterpret_cast<SetDpiAware>(
                GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware"))();
            if (ScreenDpi() != static_cast<int>(larger)) std::exit(0);
            const SIZE size = ShownSize("Beyond TV: Ch+");
            std::exit(MAKELONG(size.cx, size.cy));
        },
        sizeThere, "");
    RegDeleteValueA(desktop, "LogPixels");
    RegCloseKey(desktop);
    // As much larger as the DPI, but for the rounding of the glyphs.
    EXPECT_NEAR(there.cx / double(here.cx), scale, scale / 15) << here.cx << " to " << there.cx;
    EXPECT_NEAR(there.cy / double(here.cy), scale, scale / 15) << here.cy << " to " << there.cy;
}

}  // namespace
