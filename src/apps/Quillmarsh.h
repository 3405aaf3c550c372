// Driving the Quillmarsh TV application through its private command message.
#pragma once
#include <windows.h>

constexpr UINT QuillmarshCommandMessage = WM_USER + 3000;  // 4024
constexpr WPARAM QuillmarshCloseCommand = 1;

void QuillmarshKeyMap(int code);
// Posts a command to the Quillmarsh window, if there is one.
void PostQuillmarshCommand(WPARAM command);
void CloseQuillmarsh();
