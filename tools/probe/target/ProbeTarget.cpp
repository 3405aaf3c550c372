// ProbeTarget.exe: a dialog with a filled combo box, list box, check box and
// edit field, and optionally an open popup menu, for probe.exe's own tests.
//   ProbeTarget.exe [--menu]
#include <windows.h>

#include <cstring>

#include "ProbeTargetIds.h"

namespace {

constexpr UINT kOpenMenu = WM_APP + 1;
constexpr int kSelectedChannel = 2;
constexpr int kSelectedSource = 1;

const wchar_t* const kChannels[] = {L"WinDVR 6", L"Beyond TV", L"Quillmarsh", L"Caf\u00e9 \u00fcber"};
const wchar_t* const kSources[] = {L"Tuner", L"Composite", L"S-Video"};

bool g_menu = false;

template <size_t N>
void fill(HWND control, UINT addMsg, UINT selectMsg, const wchar_t* const (&items)[N], int selected) {
    for (const wchar_t* item : items) SendMessageW(control, addMsg, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(control, selectMsg, selected, 0);
}

void openMenu(HWND dialog) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_OPEN, L"Open");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_CHECKED, IDM_CHECKED, L"Checked item");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, IDM_DISABLED, L"Disabled item");
    AppendMenuW(menu, MF_STRING, IDM_EXIT, L"Exit");
    SetForegroundWindow(dialog);
    const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 300, 300, 0, dialog, nullptr);
    DestroyMenu(menu);
    if (chosen == IDM_EXIT) EndDialog(dialog, IDM_EXIT);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        fill(GetDlgItem(dialog, IDC_CHANNEL_COMBO), CB_ADDSTRING, CB_SETCURSEL, kChannels, kSelectedChannel);
        fill(GetDlgItem(dialog, IDC_SOURCE_LIST), LB_ADDSTRING, LB_SETCURSEL, kSources, kSelectedSource);
        CheckDlgButton(dialog, IDC_REMOTE_CHECK, BST_CHECKED);
        SetDlgItemTextW(dialog, IDC_NAME_EDIT, L"Living room");
        if (g_menu) PostMessageW(dialog, kOpenMenu, 0, 0);
        return TRUE;
    case kOpenMenu:
        openMenu(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
    g_menu = std::strstr(cmdLine, "--menu") != nullptr;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROBE_TARGET), nullptr, dialogProc, 0);
    return 0;
}
