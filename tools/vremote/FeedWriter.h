// Appends lines to the card emulator's key feed file.
#pragma once

#include <windows.h>

#include <string>

namespace vremote {

class FeedWriter {
public:
    explicit FeedWriter(std::wstring path) : path_(std::move(path)) {}

    // Appends `line` and "\n" in a single write, creating the file when it is
    // missing. The file is open only for the write, shared with its readers
    // and other writers. Returns ERROR_SUCCESS or the Win32 error.
    DWORD append(const std::string& line) const;

    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace vremote
