// profiles.ini, the user's own profiles and changes to the built-in ones:
// %APPDATA%\Marlow Remote Control\profiles.ini, written as a commented
// example when it is missing, and read again only when its last-write time
// or its size has changed, which is looked at only when the profiles are
// asked for (a key that reaches them, or the Settings dialog).
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "core/Profiles.h"

constexpr char ProfileFileName[] = "profiles.ini";

// Why the line was skipped, in the failure trace's English: "unknown key
// name 'Vol++'".
std::string SkipReasonText(const core::SkippedLine& skipped);

class ProfileStore {
public:
    ProfileStore() = default;
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // For the tests: the folder that stands for the user's application
    // data, so that the file is <folder>\Marlow Remote Control\profiles.ini
    // (in UTF-8).
    void UseFolder(const char* folder);

    // The profiles as the file says them now. When the file cannot be
    // written or read: the built-in profiles, the failure traced.
    core::List<core::Profile> Profiles();
    // The file's path (in UTF-8) once it exists (written as an example when
    // it was missing); null when it cannot be made.
    const char* MakeSureFileExists();
    // What the Settings dialog says of the file as it is now; none when it
    // cannot be read and the built-in profiles are used.
    std::optional<core::ProfileFileSummary> Summary();

    // How many times the file has been parsed.
    int parses() const { return parses_; }

private:
    // What a look at the file found: its last-write time and size, or that
    // it is missing or cannot be looked at (present false, error why).
    struct Look {
        bool present = false;
        DWORD error = ERROR_SUCCESS;
        FILETIME written = {};
        DWORD sizeHigh = 0;
        DWORD sizeLow = 0;
        bool operator==(const Look& other) const;
    };

    bool Locate();
    Look LookAtFile() const;
    void Refresh();
    bool WriteExample();
    bool Read();

    std::string folder_;  // stands for the application data; empty: the user's own
    std::string path_;    // of the file, once located, in UTF-8
    std::wstring widePath_;  // the same, as Windows takes it
    bool readAsSeen_ = false;  // the file as seen_ is what is in use
    Look seen_;           // at the last look that changed something
    bool usingBuiltIns_ = true;
    core::ProfileBook book_;
    int parses_ = 0;
};
