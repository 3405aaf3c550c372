// VirtualRemote.exe FEEDPATH: a remote control on the screen whose keys are
// written to the card emulator's key feed, for trying the program without the
// TV card.
#include "RemoteWindow.h"

#include <shellapi.h>

namespace {

constexpr int UsageExitCode = 1;
constexpr int StartFailedExitCode = 2;

constexpr wchar_t Usage[] =
    L"Usage: VirtualRemote.exe FEEDPATH\n\n"
    L"Shows a remote control whose keys are pressed with the mouse. Each press is "
    L"appended to the card emulator's key feed file FEEDPATH (created when it does not "
    L"exist): a click taps the key once, keeping the mouse button down holds it.";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2 || argv[1][0] == L'\0') {
        MessageBoxW(nullptr, Usage, vremote::WindowTitle, MB_OK | MB_ICONINFORMATION);
        if (argv) LocalFree(argv);
        return UsageExitCode;
    }
    vremote::RemoteWindow window(argv[1]);
    LocalFree(argv);
    if (!window.create(instance, show)) return StartFailedExitCode;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
