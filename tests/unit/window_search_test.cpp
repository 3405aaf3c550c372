// The window lookups and the dialogs' placement, on real windows.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "win32/WindowSearch.h"

namespace {

// True when first lies in front of second in the desktop's Z order.
bool InFront(HWND first, HWND second) {
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr;
         w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == first) return true;
        if (w == second) return false;
    }
    return false;
}

// Each lookup's window lies behind decoys, each of which a lookup that
// compares the wrong way would find first: a window of another class with
// the same title, a title that differs in letter case only, one that holds
// the text further in, one that goes on after it, and the program's own key
// display showing what a key did there.
TEST(WindowSearch, EachLookupPassesOverTheDecoysInFrontOfItsWindow) {
    // Made from the back to the front: each new window goes in front.
    TestWindow exact("MarlowVideo", "InterVideo WinDVR 6");
    TestWindow panel("MarlowPanel", "WinDVR 6 - Live");
    TestWindow own("MarlowOwnClass", "FormMainWindow - Own");
    TestWindow ownOtherTitle("MarlowOwnClass", "formMainWindow - Own");
    TestWindow otherClassSameTitle("MarlowLookAlike", "FormMainWindow - Own");
    TestWindow otherCase("MarlowLookAlike", "winDVR 6 - Live");
    TestWindow furtherIn("MarlowLookAlike", "Old WinDVR 6 - Live");
    TestWindow exactOtherCase("MarlowLookAlike", "intervideo windvr 6");
    TestWindow goesOn("MarlowLookAlike", "InterVideo WinDVR 6 (old)");
    TestWindow keyDisplay(KeyDisplayClass, "WinDVR 6: Ch+");
    ASSERT_TRUE(InFront(goesOn.handle(), exact.handle()));  // the decoys lie in front
    ASSERT_TRUE(InFront(furtherIn.handle(), panel.handle()));
    ASSERT_TRUE(InFront(keyDisplay.handle(), panel.handle()));

    struct Row {
        const char* what;
        core::WindowIdentity identity;
        HWND found;
    };
    const Row rows[] = {
        {"the whole title, exactly", core::ByExactTitle("InterVideo WinDVR 6"), exact.handle()},
        {"a beginning, case-sensitive", core::ByTitlePrefix("WinDVR 6"), panel.handle()},
        {"a beginning among the class's windows",
         core::ByClassAndTitlePrefix("MarlowOwnClass", "FormMainWindow"), own.handle()},
        {"FindWindow by class", core::FoundByClass("MarlowPanel"), panel.handle()},
        {"FindWindowEx by class", core::DesktopChildOfClass("MarlowOwnClass"),
         ownOtherTitle.handle()},
        {"FindWindowEx by class, none", core::DesktopChildOfClass("MarlowNoSuchClass"), nullptr},
        // Windows compares a class name and, in FindWindow and
        // FindWindowEx, a whole title without regard to letter case.
        {"FindWindow by class, any case", core::FoundByClass("marlowpanel"), panel.handle()},
        {"FindWindowEx by the whole title, any case",
         core::DesktopChildTitled("InterVideo WinDVR 6"), exactOtherCase.handle()},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FindWindowByIdentity(row.identity), row.found) << row.what;
}

// The window in front named as a profile is matched against it: its class,
// and its program's file name, without the folder.
TEST(WindowInFront, NamesTheForegroundWindowsClassAndProgramFileName) {
    HWND player = CreateTopLevelWindow("MarlowPlayerUnderTest", "Player", DefWindowProcA,
                                       WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetForegroundWindow(player);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* own = std::strrchr(path, '\\') + 1;  // this test program's file name

    const core::Foreground front = WindowInFront();
    EXPECT_EQ(front.window, reinterpret_cast<core::WindowRef>(player));
    EXPECT_STREQ(front.windowClass, "MarlowPlayerUnderTest");
    EXPECT_STREQ(front.program, own);
    DestroyWindow(player);
}

// A class and a program file name outside the active code page are named
// in UTF-8 (the program's own name is ASCII: the end-to-end tests show a
// Chinese one).
TEST(WindowInFront, NamesAClassOutsideTheCodePageInUtf8) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"\u64AD\u653E\u5668";  // 播放器
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Player",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(window);
    const core::Foreground front = WindowInFront();
    EXPECT_EQ(front.window, reinterpret_cast<core::WindowRef>(window));
    EXPECT_STREQ(front.windowClass, "\xE6\x92\xAD\xE6\x94\xBE\xE5\x99\xA8");
    DestroyWindow(window);
}

// A class of 63 characters is named whole; a longer one is not named at all
// (a cut name could match another class's profile), and the trace says why.
TEST(WindowInFront, AClassOfMoreThan63CharactersIsNotNamedCut) {
    for (const size_t length : {63u, 64u, 100u}) {
        const std::string windowClass = "MarlowLong" + std::string(length - 10, 'x');
        HWND window = CreateTopLevelWindow(windowClass.c_str(), "Long", DefWindowProcA,
                                           WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetForegroundWindow(window);
        DebugOutput trace;
        const core::Foreground front = WindowInFront();
        EXPECT_EQ(front.window, reinterpret_cast<core::WindowRef>(window)) << length;
        EXPECT_EQ(front.windowClass, length == 63 ? windowClass : "") << length;
        EXPECT_EQ(trace.With({"long class name of the window in front", "(0x0000006F)"}).size(),
                  length == 63 ? 0u : 1u) << length;
        DestroyWindow(window);
    }
}

struct Place {
    int width;
    int x;
    int y;
};

TEST(Placement, EachListedWidthHasItsPlaceAndOthersStayWhereTheyAre) {
    const Place places[] = {{640, 160, 200}, {800, 280, 250}, {1024, 350, 300},
                            {1152, 420, 300}, {1280, 420, 300}, {1600, 580, 340}};
    for (const Place& place : places) {
        TestWindow window("MarlowPlacement", "placed");
        PlaceDialogForWidth(window.handle(), place.width);
        RECT rect;
        GetWindowRect(window.handle(), &rect);
        EXPECT_EQ(rect.left, place.x) << place.width;
        EXPECT_EQ(rect.top, place.y) << place.width;
        EXPECT_TRUE(GetWindowLongA(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << place.width;
    }
    for (int width : {1023, 1366, 1920}) {
        TestWindow window("MarlowPlacement", "placed");
        SetWindowPos(window.handle(), HWND_NOTOPMOST, 5, 6, 0, 0, SWP_NOSIZE);
        PlaceDialogForWidth(window.handle(), width);
        RECT rect;
        GetWindowRect(window.handle(), &rect);
        EXPECT_EQ(rect.left, 5) << width;
        EXPECT_EQ(rect.top, 6) << width;
        EXPECT_FALSE(GetWindowLongA(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << width;
    }
}

}  // namespace
