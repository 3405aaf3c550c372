// Driving InterVideo WinDVR 6.
#pragma once

void WinDvrKeyMap(int code);
void CloseWinDvr();
