// Control and menu ids of ProbeTarget.exe, shared by its code and resources.
#pragma once

#define IDD_PROBE_TARGET 100
#define IDC_CHANNEL_COMBO 1001
#define IDC_SOURCE_LIST 1002
#define IDC_REMOTE_CHECK 1003
#define IDC_NAME_EDIT 1004
#define IDM_OPEN 2001
#define IDM_CHECKED 2002
#define IDM_DISABLED 2003
#define IDM_EXIT 2004
