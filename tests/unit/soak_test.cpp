// A long random session driven straight through the poll, without the timer:
// codes, gaps, TV application windows opening and closing, the shutdown
// dialog open and closed. Nothing may crash, and the state must stay sound.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

#include "InputRecorder.h"
#include "ReceiverDouble.h"
#include "apps/TvApplication.h"
#include "card/CaptureFilter.h"
#include "pointer/Pointer.h"
#include "power/Shutdown.h"
#include "remote/KeyPoll.h"
#include "shell/Program.h"
#include "shell/RemoteTimer.h"
#include "shell/Settings.h"

namespace {

const int Reads = [] {
    const char* text = std::getenv("MARLOW_SOAK_READS");
    return text ? std::atoi(text) : 100000;
}();

DWORD SimulatedTime = 0;
DWORD WINAPI SimulatedClock() { return SimulatedTime; }

bool IsFlag(int value) { return value == 0 || value == 1; }

struct Identity {
    const char* windowClass;
    const char* title;
};

const Identity Identities[] = {
    {"VarnelMainPanel_Class", "Quillmarsh"},
    {"Streamzap.WM.D3D", "Beyond TV"},
    {"MarlowSoakPlayer", "InterVideo WinDVR 6"},
    {"MarlowSoakPanel", "WinDVR 6 panel"},
};

TEST(Soak, ARandomSessionKeepsEveryInvariant) {
    InputRecorder recorder;
    recorder.blockMoves = true;
    ReceiverDouble receiver;
    receiver.keepRequests = false;
    receiver.statusValue = 0;
    ReceiverControl = &receiver;

    // Power and the shutdown keys must not open modal boxes in a test:
    // a selector outside 6 to 8 makes Power do nothing and 24 mean standby.
    DefaultAppSelector = 5;
    QuillmarshApp.installed = BeyondTvApp.installed = WinDvrApp.installed = 0;
    UpdateScreenBounds(0, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    SetCursorPos(ScreenBounds.maxX / 2, ScreenBounds.maxY / 2);
    HWND owner = recorder.CreateWindowOf("MarlowSoakOwner", "owner");
    MainWindow = owner;  // Power starts the exit watch on the main window
    PrepareWatchTimer();

    std::mt19937 random(20261206);
    const DWORD gaps[] = {10, 65, 65, 65, 65, 130, 249, 250, 251, 400, 5000};
    std::map<int, HWND> open;  // identity index -> window
    HWND dialog = nullptr;
    DWORD handlesAfterWarmUp = 0;
    int lastCode = 0;

    for (int read = 0; read < Reads; ++read) {
        SimulatedTime += gaps[random() % (sizeof gaps / sizeof gaps[0])];
        const unsigned pick = random() % 100;
        int code = pick < 40 ? lastCode                                   // held key
                   : pick < 70 ? static_cast<int>(random() % 11)          // pointer keys
                   : pick < 90 ? static_cast<int>(random() % 80)          // key-map keys
                               : static_cast<int>(random() % 256);
        lastCode = code;
        const unsigned fault = random() % 100;
        receiver.results.clear();
        if (fault == 0) receiver.results = {S_FALSE};              // status read fails
        else if (fault == 1) receiver.results = {S_OK, E_FAIL};    // transfer fails: 255
        receiver.received[0] = static_cast<BYTE>(code);

        if (random() % 400 == 0) {  // a TV application window opens or closes
            const int which = static_cast<int>(random() % 4);
            if (open.count(which)) {
                DestroyWindow(open[which]);
                open.erase(which);
            } else {
                open[which] = recorder.CreateWindowOf(Identities[which].windowClass,
                                                      Identities[which].title);
            }
        }
        if (random() % 1000 == 0) {  // the exit watch lets go of the target
            QuillmarshApp.ClearActive();
            BeyondTvApp.ClearActive();
            WinDvrApp.ClearActive();
        }
        if (random() % 700 == 0) {  // the shutdown dialog opens, or ends
            if (dialog == nullptr) {
                dialog = recorder.CreateWindowOf("MarlowSoakDialog", "shut down");
                ShutdownDialogWindow = dialog;
                ShutdownDialogOpen = 1;
            } else {
                DestroyWindow(dialog);
                dialog = nullptr;
                ShutdownDialogOpen = 0;
            }
        }

        const POINT before = [] { POINT p; GetCursorPos(&p); return p; }();
        PollOnce(owner, SimulatedClock);
        recorder.Drain();

        ASSERT_TRUE(IsFlag(QuillmarshApp.active) && IsFlag(BeyondTvApp.active) &&
                    IsFlag(WinDvrApp.active)) << "read " << read;
        ASSERT_TRUE(IsFlag(WinDvrApp.fastStep) && IsFlag(ButtonHeld) && IsFlag(ShutdownDialogOpen));
        ASSERT_GE(StepCounter, 0) << "read " << read;
        POINT now;
        GetCursorPos(&now);
        if (now.x != before.x || now.y != before.y) {
            ASSERT_TRUE(ScreenBounds.minX < now.x && now.x < ScreenBounds.maxX &&
                        ScreenBounds.minY < now.y && now.y < ScreenBounds.maxY)
                << "read " << read << " at " << now.x << "," << now.y;
        }
        // Every key pressed by a chord is released within the same read.
        std::map<DWORD, int> down;
        for (const KeyStroke& key : recorder.keys) down[key.vk] += key.down ? 1 : -1;
        for (const auto& [vk, balance] : down) ASSERT_EQ(balance, 0) << "vk " << vk;
        recorder.Clear();

        if (read == 2000) GetProcessHandleCount(GetCurrentProcess(), &handlesAfterWarmUp);
    }

    WatchTimer.Stop();
    ReleaseHeldButton();
    EXPECT_EQ(ButtonHeld, 0);
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    EXPECT_LE(handles, handlesAfterWarmUp + 8);
    ReceiverControl = nullptr;
}

}  // namespace
