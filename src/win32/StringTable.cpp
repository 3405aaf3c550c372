#include "win32/StringTable.h"

#include "win32/FailureTrace.h"

namespace {

// Longer than the longest text of the table.
constexpr int TextSize = 256;

}  // namespace

std::string LoadText(UINT id) {
    char text[TextSize];
    if (LoadStringA(GetModuleHandleA(nullptr), id, text, TextSize) > 0) return text;
    TraceFailure(("loading the program's text " + std::to_string(id)).c_str(), GetLastError());
    return {};
}

int ShowTextBox(const SystemCalls& system, HWND owner, UINT textId, UINT style) {
    return system.messageBox(owner, LoadText(textId).c_str(), LoadText(IDS_MESSAGE_CAPTION).c_str(), style);
}
