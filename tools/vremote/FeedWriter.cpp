#include "FeedWriter.h"

namespace vremote {

DWORD FeedWriter::append(const std::string& line) const {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of
    // the file, whoever else appends meanwhile.
    HANDLE file = CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    const std::string text = line + "\n";
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        error = GetLastError();
    } else if (written != text.size()) {
        error = ERROR_WRITE_FAULT;
    }
    CloseHandle(file);
    return error;
}

}  // namespace vremote
