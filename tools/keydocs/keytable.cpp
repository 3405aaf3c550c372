// keytable.exe: prints the Markdown table of what every remote key does in
// each mode (a column each, in the order of keydocs::Modes: without a TV
// application, with the media keys, then one per application in the order of
// its rows), the keys in the order of the virtual remote's layout.
#include "KeyDocs.h"

#include <cstdio>

int main() {
    using namespace keydocs;
    std::printf("| Key | Code |");
    for (Mode mode : Modes) std::printf(" %s |", ModeName(mode));
    std::printf("\n|---|---|");
    for (size_t i = 0; i < ModeCount; ++i) std::printf("---|");
    std::printf("\n");
    for (size_t i = 0; i < RemoteButtonCount; ++i) {
        const RemoteButton& button = RemoteButtons[i];
        std::printf("| %s | %d |", button.label, button.code);
        for (Mode mode : Modes) {
            const std::string text = Describe(mode, button.code);
            std::printf(" %s |", text.empty() ? "-" : text.c_str());
        }
        std::printf("\n");
    }
    return 0;
}
