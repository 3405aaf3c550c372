#include "apps/ProfileStore.h"

#include <algorithm>

#include <shlobj.h>  // after <windows.h>

#include "win32/FailureTrace.h"
#include "win32/Scoped.h"
#include "win32/WideText.h"

namespace {

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void TraceSkippedLines(const std::string& path, const core::ProfileBook& book) {
    for (const core::SkippedLine& skipped : book.skipped()) {
        const std::string what = "using line " + std::to_string(skipped.line) + " (" +
                                 SkipReasonText(skipped) + ") of " + path;
        TraceFailure(what.c_str(), ERROR_INVALID_DATA);
    }
}

// Built by appending: GCC 12 at -O2 warns (-Wrestrict) about an overlap that
// cannot happen in `"'" + text + "'"`.
std::string Quoted(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

}  // namespace

std::string SkipReasonText(const core::SkippedLine& skipped) {
    using R = core::SkipReason;
    const std::string& argument = skipped.argument;
    switch (skipped.reason) {
        case R::NotText: {
            static constexpr char Hex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(argument.empty() ? '\0' : argument[0]);
            return std::string("not text (a byte 0x") + Hex[byte >> 4] + Hex[byte & 0xF] + ")";
        }
        case R::LineTooLong:
            return "line longer than " + std::to_string(core::ProfileLineLimit) + " characters";
        case R::FileTooLong:
            return "the file is longer than " + std::to_string(core::ProfileFileLimit) +
                   " bytes: the rest is not read";
        case R::SectionWithoutEnd:
            return "a section line without ']'";
        case R::SectionWithoutName:
            return "a section without a name";
        case R::NeitherSectionNorSetting:
            return "neither a [section] nor a 'name = value' line";
        case R::BeforeAnySection:
            return "a line before any [section]";
        case R::UnknownProgram:
            return "unknown program name " + Quoted(argument);
        case R::UnknownWindowClass:
            return "unknown window class " + Quoted(argument);
        case R::UnknownTitle:
            return "unknown title pattern " + Quoted(argument);
        case R::UnknownKeyName:
            return "unknown key name " + Quoted(argument);
        case R::UnknownAction:
            return "unknown action " + Quoted(argument);
        case R::KeySetAlready:
            return "key " + Quoted(argument) + " is set already on line " + std::to_string(skipped.otherLine);
        case R::ProfileWithoutWindows:
            return "profile " + Quoted(argument) + " names no program and no class";
    }
    return {};
}

bool ProfileStore::Look::operator==(const Look& other) const {
    return present == other.present && error == other.error &&
           CompareFileTime(&written, &other.written) == 0 && sizeHigh == other.sizeHigh &&
           sizeLow == other.sizeLow;
}

void ProfileStore::UseFolder(const char* folder) {
    folder_ = folder;
    path_.clear();
    readAsSeen_ = false;
}

bool ProfileStore::Locate() {
    if (!path_.empty()) return true;
    std::string folder = folder_;
    if (folder.empty()) {
        wchar_t appData[MAX_PATH] = {};
        const HRESULT found = SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                               SHGFP_TYPE_CURRENT, appData);
        if (found != S_OK) {
            TraceFailure("finding the application data folder for profiles.ini",
                         static_cast<DWORD>(found));
            return false;
        }
        folder = ToUtf8(appData);
        if (folder.empty()) return false;  // traced
    }
    const std::string path = folder + "\\" PROGRAM_NAME "\\" + ProfileFileName;
    widePath_ = ToWide(path.c_str());
    if (widePath_.empty()) return false;  // traced
    path_ = path;
    return true;
}

ProfileStore::Look ProfileStore::LookAtFile() const {
    Look look;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(widePath_.c_str(), GetFileExInfoStandard, &data)) {
        look.error = GetLastError();
        return look;
    }
    look.present = true;
    look.written = data.ftLastWriteTime;
    look.sizeHigh = data.nFileSizeHigh;
    look.sizeLow = data.nFileSizeLow;
    return look;
}

void ProfileStore::Refresh() {
    if (!Locate()) {
        usingBuiltIns_ = true;
        return;
    }
    Look look = LookAtFile();
    if (readAsSeen_ && look == seen_) return;  // unchanged since it was last read
    if (!look.present && IsMissing(look.error) && WriteExample()) look = LookAtFile();
    seen_ = look;
    if (!look.present && !IsMissing(look.error))
        TraceFailure(("looking at " + path_).c_str(), look.error);
    usingBuiltIns_ = !look.present || !Read();
    // A file that could not be written or read is tried again at the next
    // ask: an editor may hold it just then.
    readAsSeen_ = !usingBuiltIns_;
}

bool ProfileStore::WriteExample() {
    const std::string folder = path_.substr(0, path_.rfind('\\'));
    const std::wstring wideFolder = widePath_.substr(0, widePath_.rfind(L'\\'));
    if (!CreateDirectoryW(wideFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        TraceFailure(("making the folder " + folder).c_str(), GetLastError());
        return false;
    }
    const std::string text = core::ExampleProfiles();
    DWORD written = 0;
    bool complete = false;
    {
        // A file made meanwhile by someone else is left as it is.
        const ScopedHandle file(CreateFileW(widePath_.c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            TraceFailure(("writing " + path_).c_str(), GetLastError());
            return false;
        }
        complete = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) &&
                   written == text.size();
    }
    if (complete) return true;
    TraceFailure(("writing " + path_).c_str(), GetLastError());
    DeleteFileW(widePath_.c_str());  // no half a file
    return false;
}

bool ProfileStore::Read() {
    // One byte more than the parser takes, so that it knows a huge file.
    std::string text(core::ProfileFileLimit + 1, '\0');
    size_t length = 0;
    {
        const ScopedHandle file(CreateFileW(widePath_.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            TraceFailure(("reading " + path_).c_str(), GetLastError());
            return false;
        }
        while (length < text.size()) {
            DWORD read = 0;
            if (!ReadFile(file.Get(), &text[length], static_cast<DWORD>(text.size() - length),
                          &read, nullptr)) {
                TraceFailure(("reading " + path_).c_str(), GetLastError());
                return false;
            }
            if (read == 0) break;  // the end of the file
            length += read;
        }
    }
    // The limit is of the file's bytes: their text in UTF-8 may be longer or shorter.
    const size_t used = std::min(length, core::ProfileFileLimit);
    const std::string utf8 = FileTextInUtf8(text.data(), used);
    book_ = core::ParseProfiles(utf8.data(), utf8.size(), length > used);
    ++parses_;
    TraceSkippedLines(path_, book_);
    return true;
}

core::List<core::Profile> ProfileStore::Profiles() {
    Refresh();
    return usingBuiltIns_ ? core::BuiltInProfiles : book_.profiles();
}

const char* ProfileStore::MakeSureFileExists() {
    Refresh();
    return seen_.present ? path_.c_str() : nullptr;
}

std::optional<core::ProfileFileSummary> ProfileStore::Summary() {
    Refresh();
    if (usingBuiltIns_) return std::nullopt;
    return core::SummarizeProfileFile(book_);
}
