// keytable.exe: prints the Markdown table of what every remote key does in
// each mode (a column each, in the order of keydocs::Modes: without a TV
// application, with the media keys, then one per application in the order of
// its rows), then what each built-in profile changes (a column each, in the
// order of core::BuiltInProfiles), the keys in the order of their rows
// (core::RemoteKeys), which is the virtual remote's layout. With the
// argument "names" it prints instead the README's list of the names that
// profiles.ini reads.
#include "KeyDocs.h"

#include <cstdio>
#include <string>

namespace {

void Cell(const std::string& text) { std::printf(" %s |", text.empty() ? "-" : text.c_str()); }

void PrintNames() {
    std::printf("- Key names: %s.\n", keydocs::KeyNamesText().c_str());
    std::printf("- App commands: the names of the media and browser keys above, and %s.\n",
                keydocs::AppCommandsText().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace keydocs;
    if (argc > 1 && std::string(argv[1]) == "names") {
        PrintNames();
        return 0;
    }
    std::printf("| Key | Code |");
    for (Mode mode : Modes) std::printf(" %s |", ModeName(mode));
    for (const core::Profile& profile : core::BuiltInProfiles) std::printf(" %s |", profile.name);
    std::printf("\n|---|---|");
    for (size_t i = 0; i < ModeCount + core::BuiltInProfiles.count; ++i) std::printf("---|");
    std::printf("\n");
    for (const core::RemoteKeyRow& key : core::RemoteKeys) {
        const int code = Code(key.key);
        std::printf("| %s | %d |", key.label, code);
        for (Mode mode : Modes) Cell(Describe(mode, code));
        for (const core::Profile& profile : core::BuiltInProfiles) Cell(DescribeProfile(profile, code));
        std::printf("\n");
    }
    return 0;
}
