// Resource identifiers of MarlowRemote.exe: the one place that numbers them.
// Plain macros because the resource compiler reads this header too.
#pragma once

// The program's name, as its windows, boxes and failure trace show it.
#define PROGRAM_NAME "Marlow Remote Control"

#define IDS_WINDOW_TITLE      22
#define IDS_WINDOW_CLASS      23

// The words the program shows, each in the STRINGTABLE; those with values
// are wsprintf formats.
#define IDS_MESSAGE_CAPTION       24
#define IDS_TRAY_TIP              25
#define IDS_TRAY_TIP_NO_RECEIVER  26
#define IDS_MENU_ABOUT            27
#define IDS_MENU_EXIT             28
#define IDS_MISSING_FILTER        29
#define IDS_SAVE_FAILED           30
#define IDS_EDIT_FAILED           31
#define IDS_SHUTDOWN_FAILED       32
#define IDS_LAUNCH_FAILED         33
#define IDS_REINITIALIZE          34
#define IDS_PROFILES_UNREADABLE   35
#define IDS_PROFILES_NONE         36
#define IDS_PROFILES_ONE          37
#define IDS_PROFILES_MANY         38  /* %u profiles */
#define IDS_SKIPPED_ONE           39  /* %d: the line */
#define IDS_SKIPPED_MANY          40  /* %u lines, %d: the first */
#define IDS_KEY_DONE              41  /* %s who, %s what */
#define IDS_DOER_MEDIA            42
#define IDS_DOER_POINTER          43
#define IDS_POINTER_LEFT_CLICK    44
#define IDS_POINTER_RIGHT_CLICK   45
#define IDS_POINTER_BUTTON        46
#define IDS_POINTER_UP            47
#define IDS_POINTER_DOWN          48
#define IDS_POINTER_LEFT          49
#define IDS_POINTER_RIGHT         50
#define IDS_POINTER_UP_LEFT       51
#define IDS_POINTER_UP_RIGHT      52
#define IDS_POINTER_DOWN_LEFT     53
#define IDS_POINTER_DOWN_RIGHT    54
#define IDS_SERVER_NONE           55
#define IDS_SERVER_ONE            56
#define IDS_SERVER_MANY           57  /* %u programs */
#define IDS_SERVER_OFF            58

#define IDI_REMOTE            50
#define IDI_SHUTDOWN          110

#define IDR_ACCELERATORS      23

#define IDD_SETTINGS          20
#define IDD_ABOUT             21
#define IDD_SHUTDOWN          107

#define IDC_APPLICATION_LIST  11
#define IDC_MEDIA_KEYS        12
#define IDC_PROFILES          13
#define IDC_SHOW_KEYS         14
#define IDC_EDIT_PROFILES     15
#define IDC_PROFILE_STATUS    16
#define IDC_SERVER            17
#define IDC_SERVER_STATUS     18

#define IDM_ABOUT             30
#define IDM_QUIT_FROM_OUTSIDE 31
#define IDM_SETTINGS          32
#define IDM_SWITCH_QUILLMARSH 1106
#define IDM_SWITCH_BEYONDTV   1107
#define IDM_SWITCH_WINDVR     1108
#define IDM_EXIT              1201

// The tray icon's ID and the message its events come in.
#define TRAY_ICON_ID          10
#define TRAY_CALLBACK_MESSAGE 1001

#ifndef IDC_STATIC
#define IDC_STATIC            (-1)
#endif
