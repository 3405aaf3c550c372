// Pointer emulation on the real cursor of the test's display.
#include <gtest/gtest.h>

#include "InputRecorder.h"
#include "pointer/Pointer.h"
#include "remote/KeyPoll.h"

namespace {

constexpr LPARAM Resolution(int width, int height) { return MAKELPARAM(width, height); }

POINT Cursor() {
    POINT point;
    GetCursorPos(&point);
    return point;
}

class Pointer : public ::testing::Test {
protected:
    InputRecorder recorder;
    void SetUp() override {
        // Wine connects to the display at its first look at it; before that
        // the cursor cannot be moved and reads as 0, 0.
        GetSystemMetrics(SM_CXFULLSCREEN);
        UpdateScreenBounds(0, Resolution(1024, 768));
        StepCounter = 0;
        ButtonHeld = 0;
        SwapMouseButton(FALSE);
    }
    void TearDown() override {
        SwapMouseButton(FALSE);
        ButtonHeld = 0;
    }
    void Place(int x, int y) { SetCursorPos(x, y); }
    std::vector<WPARAM> Buttons() {
        recorder.Pump();
        std::vector<WPARAM> buttons;
        for (const MouseInput& input : recorder.mouse) buttons.push_back(input.message);
        return buttons;
    }
};

TEST_F(Pointer, BoundsOnDisplayChange) {
    EXPECT_EQ(ScreenBounds.maxX, 1023);
    EXPECT_EQ(ScreenBounds.maxY, 767);
    EXPECT_EQ(ScreenBounds.smallStep, 6);
    EXPECT_EQ(ScreenBounds.largeStep, 12);
}

// A held direction key: four one-pixel moves, five of width/160, then width/80.
TEST_F(Pointer, AHeldKeyAccelerates) {
    Place(100, 300);
    RepeatState state;
    std::vector<int> steps;
    for (int read = 0; read < 12; ++read) {
        const int before = Cursor().x;
        UpdateRepeatState(state, 6, 1000 + 65 * read);
        PointerAction(6);
        steps.push_back(Cursor().x - before);
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 1, 1, 1, 6, 6, 6, 6, 6, 12, 12, 12}));
    EXPECT_EQ(Cursor().y, 300);

    UpdateRepeatState(state, 6, 1000 + 65 * 12 + 250);  // a fresh press starts again
    const int before = Cursor().x;
    PointerAction(6);
    EXPECT_EQ(Cursor().x - before, 1);
}

TEST_F(Pointer, EightDirections) {
    const POINT expected[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    const int codes[] = {1, 2, 3, 4, 6, 7, 8, 9};
    for (int i = 0; i < 8; ++i) {
        Place(500, 400);
        StepCounter = 0;
        PointerAction(codes[i]);
        EXPECT_EQ(Cursor().x, 500 + expected[i].x) << codes[i];
        EXPECT_EQ(Cursor().y, 400 + expected[i].y) << codes[i];
    }
}

TEST_F(Pointer, AMoveThatWouldReachAnEdgeIsDroppedWhole) {
    Place(1, 300);
    StepCounter = 3;
    PointerAction(4);  // x = 0 is not inside
    EXPECT_EQ(Cursor().x, 1);
    EXPECT_EQ(StepCounter, 0);

    Place(500, 1);
    PointerAction(3);  // x stays inside, y would not: no sliding along the edge
    EXPECT_EQ(Cursor().x, 500);
    EXPECT_EQ(Cursor().y, 1);

    Place(1022, 766);
    PointerAction(9);
    EXPECT_EQ(Cursor().x, 1022);
    PointerAction(7);  // y = 767 is on the last row
    EXPECT_EQ(Cursor().x, 1022);
    PointerAction(4);
    EXPECT_EQ(Cursor().x, 1021);
}

TEST_F(Pointer, ANarrowScreenHasASmallStepOfZero) {
    UpdateScreenBounds(0, Resolution(150, 768));
    Place(70, 300);
    StepCounter = 4;
    PointerAction(6);
    EXPECT_EQ(Cursor().x, 70);
    EXPECT_EQ(StepCounter, 5);  // the unchanged position is still inside
}

TEST_F(Pointer, ClicksPassThePositionAndUseTheNamedButtons) {
    Place(300, 200);
    SwapMouseButton(TRUE);
    PointerAction(0);
    PointerAction(10);
    EXPECT_EQ(Buttons(), (std::vector<WPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                              WM_RBUTTONUP}));
    EXPECT_EQ(Cursor().x, 300);
    EXPECT_EQ(ButtonHeld, 0);
}

// The swap setting is read at every press; what went down comes up, even
// when the buttons were swapped in between.
TEST_F(Pointer, TheToggleLetsGoOfTheButtonThatWentDown) {
    PointerAction(5);
    SwapMouseButton(TRUE);
    PointerAction(5);
    PointerAction(5);
    SwapMouseButton(FALSE);
    PointerAction(5);
    EXPECT_EQ(Buttons(), (std::vector<WPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                              WM_RBUTTONUP}));
    EXPECT_EQ(ButtonHeld, 0);
}

TEST_F(Pointer, AButtonHeldByTheToggleIsReleasedOnTheWayOut) {
    PointerAction(5);
    SwapMouseButton(TRUE);  // what went down comes up
    ReleaseHeldButton();
    ReleaseHeldButton();
    EXPECT_EQ(Buttons(), (std::vector<WPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(ButtonHeld, 0);
}

TEST_F(Pointer, CodesAboveTenDoNothing) {
    Place(400, 400);
    for (int code = 11; code <= 255; ++code) PointerAction(code);
    EXPECT_TRUE(Buttons().empty());
    EXPECT_EQ(Cursor().x, 400);
    EXPECT_EQ(StepCounter, 0);
}

}  // namespace
