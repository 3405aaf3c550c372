#include "core/Applications.h"

#include <algorithm>
#include <iterator>

#include "core/Sdk.h"
#include "res/resource.h"

namespace core {

namespace {

// Window identities.
constexpr char QuillmarshClass[] = "Quillmarsh";
constexpr char QuillmarshPanelClass[] = "VarnelMainPanel_Class";
constexpr char BeyondTvMainClass[] = "SnapStream";
constexpr char BeyondTvVideoClass[] = "Streamzap.WM.D3D";
constexpr char MainWindowTitle[] = "FormMainWindow";  // Quillmarsh's and Beyond TV's main window
constexpr char WinDvrTitlePrefix[] = "WinDVR 6";
constexpr char WinDvrVideoTitle[] = "InterVideo WinDVR 6";

constexpr unsigned QuillmarshCommandMessage = WM_USER + 3000;  // 4024
constexpr uint16_t QuillmarshCloseCommand = 1;

constexpr AppId Q = AppId::Quillmarsh;
constexpr AppId B = AppId::BeyondTv;
constexpr AppId W = AppId::WinDvr;

constexpr AppId WinDvrThenBeyondTv[] = {W, B};
constexpr AppId BeyondTvThenWinDvr[] = {B, W};
constexpr AppId WinDvrThenQuillmarsh[] = {W, Q};
constexpr AppId QuillmarshThenWinDvr[] = {Q, W};
constexpr AppId BeyondTvThenQuillmarsh[] = {B, Q};

}  // namespace

// Window identities by purpose: key target, adoption, running (the tray's
// check mark), main, raise, close test.
constexpr Application Applications[ApplicationCount] = {
    {Q, "Quillmarsh", "quillmarsh", 6, "Quillmarsh", IDM_SWITCH_QUILLMARSH,
     "Software\\Honestech\\TV Plus\\DTVR", "AppPath", "MainPanel.exe",
     DesktopChildOfClass(QuillmarshPanelClass), DesktopChildOfClass(QuillmarshPanelClass),
     DesktopChildOfClass(QuillmarshPanelClass), FoundByClass(QuillmarshClass),
     ByClassAndTitlePrefix(QuillmarshClass, MainWindowTitle),
     DesktopChildOfClass(QuillmarshPanelClass),
     &QuillmarshKeys, QuillmarshCommandMessage,
     PostCloseCommand(QuillmarshCloseCommand),
     ListOf(WinDvrThenBeyondTv), ListOf(BeyondTvThenWinDvr),
     WithoutTarget::Standby, WithoutTarget::ShutdownDialog},
    {B, "Beyond TV", "beyondtv", 7, "SnapStream", IDM_SWITCH_BEYONDTV,
     "SOFTWARE\\SnapStream Media\\Beyond TV", "InstallDir", "BTVD3DShell.exe",
     DesktopChildOfClass(BeyondTvVideoClass), DesktopChildOfClass(BeyondTvVideoClass),
     DesktopChildOfClass(BeyondTvMainClass), FoundByClass(BeyondTvMainClass),
     ByClassAndTitlePrefix(BeyondTvMainClass, MainWindowTitle),
     DesktopChildOfClass(BeyondTvVideoClass),
     &BeyondTvKeys, 0, RaiseThenType(VK_MENU, VK_F4),
     ListOf(WinDvrThenQuillmarsh), ListOf(QuillmarshThenWinDvr),
     WithoutTarget::ShutdownDialog, WithoutTarget::MediaKey},
    {W, "WinDVR 6", "windvr", 8, "WinDVR 6", IDM_SWITCH_WINDVR,
     "Software\\InterVideo\\DVR6", "PATH", "WinDVR.exe",
     ByExactTitle(WinDvrVideoTitle), DesktopChildTitled(WinDvrVideoTitle),
     ByTitlePrefix(WinDvrTitlePrefix), ByTitlePrefix(WinDvrTitlePrefix),
     ByTitlePrefix(WinDvrTitlePrefix), ByTitlePrefix(WinDvrTitlePrefix),
     &WinDvrKeys, 0, TypeChordAnywhere(VK_MENU, VK_CONTROL, VK_SHIFT, VK_F8),
     ListOf(BeyondTvThenQuillmarsh), ListOf(BeyondTvThenQuillmarsh),
     WithoutTarget::Standby, WithoutTarget::MediaKey},
};

constexpr AppId ExitWatchOrder[ApplicationCount] = {W, Q, B};

extern const int InitialDefaultSelector = 6;

// ApplicationOf finds a row by its place in the table.
static_assert(
    [] {
        for (size_t i = 0; i < ApplicationCount; ++i)
            if (static_cast<size_t>(Applications[i].id) != i) return false;
        return true;
    }(),
    "each application's row is at the place of its AppId");

const Application* ApplicationFor(int selector) {
    const auto found = std::find_if(std::begin(Applications), std::end(Applications),
                                    [selector](const Application& a) { return a.selector == selector; });
    return found != std::end(Applications) ? found : nullptr;
}

WithoutTarget OffAsDefault(int selector) {
    const Application* application = ApplicationFor(selector);
    return application != nullptr ? application->off : OffWithoutDefault;
}

WithoutTarget VolumeDownAsDefault(int selector) {
    const Application* application = ApplicationFor(selector);
    return application != nullptr ? application->volumeDown : VolumeDownWithoutDefault;
}

}  // namespace core
