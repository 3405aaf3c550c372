#include "apps/Quillmarsh.h"

#include "apps/TvApplication.h"

void PostQuillmarshCommand(WPARAM command) {
    QuillmarshApp.targetWindow = FindQuillmarshWindow();
    if (QuillmarshApp.targetWindow != nullptr)
        PostMessageA(QuillmarshApp.targetWindow, QuillmarshCommandMessage, command, 0);
}

void CloseQuillmarsh() {
    HWND window = FindQuillmarshWindow();
    if (window == nullptr) return;
    PostMessageA(window, QuillmarshCommandMessage, QuillmarshCloseCommand, 0);
    QuillmarshApp.active = 0;
}
