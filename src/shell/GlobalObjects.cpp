// The program's global objects, defined in one place: the WinDVR 6 and
// Beyond TV records, the two timers, then the Quillmarsh record. Building them
// reads and starts nothing; the records read their install locations once
// the program knows it is the only copy (ReadInstallLocations).
#include "apps/PowerKey.h"
#include "apps/TvApplication.h"
#include "remote/KeyPoll.h"
#include "shell/RemoteTimer.h"

TvApplication WinDvrApp("Software\\InterVideo\\DVR6", "PATH", "WinDVR.exe", "", "WinDVR 6",
                        FindWinDvrWindow);
TvApplication BeyondTvApp("SOFTWARE\\SnapStream Media\\Beyond TV", "InstallDir",
                          "BTVD3DShell.exe", "SnapStream", "FormMainWindow", FindBeyondTvWindow);
RemoteTimer PollTimer(PollTimerId, PollRemote);
RemoteTimer WatchTimer(WatchTimerId, ExitWatch);
TvApplication QuillmarshApp("Software\\Honestech\\TV Plus\\DTVR", "AppPath", "MainPanel.exe",
                            "Quillmarsh", "FormMainWindow", FindQuillmarshWindow);
