// Driving InterVideo WinDVR 6.
#pragma once

void CloseWinDvr();
