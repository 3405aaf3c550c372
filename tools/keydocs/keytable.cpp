// keytable.exe: prints the Markdown table of what every remote key does in
// each mode, in the order of the virtual remote's layout.
#include "KeyDocs.h"

#include <cstdio>

int main() {
    using namespace keydocs;
    std::printf("| Key | Code |");
    for (Mode mode : Modes) std::printf(" %s |", ModeName(mode));
    std::printf("\n|---|---|");
    for (size_t i = 0; i < sizeof Modes / sizeof Modes[0]; ++i) std::printf("---|");
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
