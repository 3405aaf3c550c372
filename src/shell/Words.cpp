#include "shell/Words.h"

#include "res/resource.h"

UINT NoticeTextId(core::Notice notice) {
    return notice == core::Notice::LaunchFailed ? IDS_LAUNCH_FAILED : IDS_REINITIALIZE;
}

