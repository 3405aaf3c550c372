#include "eventlog.h"

#include <cstdio>
#include <cwchar>

namespace cardemu {

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

void JsonLine::key(const char* name) {
    if (out_.size() > 1) out_ += ',';
    out_ += '"';
    out_ += name;
    out_ += "\":";
}

JsonLine& JsonLine::text(const char* name, const std::string& value) {
    key(name);
    out_ += '"';
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out_ += escaped;
        } else {
            out_ += c;
        }
    }
    out_ += '"';
    return *this;
}

JsonLine& JsonLine::number(const char* name, int64_t value) {
    key(name);
    out_ += std::to_string(value);
    return *this;
}

std::unique_ptr<EventLog> EventLog::open(const std::wstring& path) {
    std::wstring folded = path;
    if (!folded.empty()) CharLowerBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const wchar_t c : folded) hash = (hash ^ static_cast<uint32_t>(c)) * 16777619u;
    wchar_t lockName[48];
    swprintf(lockName, sizeof lockName / sizeof lockName[0], L"Local\\cardemu-log-%08x",
             static_cast<unsigned>(hash));

    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    // A new mapping starts zeroed, that is unlocked.
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(LONG), lockName);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG)) : nullptr;
    if (!view) {
        if (mapping) CloseHandle(mapping);
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<EventLog>(
        new EventLog(file, mapping, static_cast<volatile LONG*>(view)));
}

namespace {

// The open logs of the process, for flushAll(). A log is opened and closed
// under its device's lock; this lock guards the list itself.
EventLog* g_openLogs = nullptr;

// Made when the module is loaded, before any log can be opened.
struct ListLock {
    ListLock() { InitializeCriticalSection(&section); }
    ~ListLock() { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
} g_openLogsLock;

CRITICAL_SECTION& openLogsLock() { return g_openLogsLock.section; }

}  // namespace

EventLog::EventLog(HANDLE file, HANDLE mapping, volatile LONG* owner)
    : file_(file), mapping_(mapping), owner_(owner) {
    EnterCriticalSection(&openLogsLock());
    next_ = g_openLogs;
    if (next_) next_->previous_ = this;
    g_openLogs = this;
    LeaveCriticalSection(&openLogsLock());
}

void EventLog::flushAll(bool processEnding) {
    // At the end of the process the other threads are gone, maybe with the
    // lock held: the list is walked without it.
    if (!processEnding) EnterCriticalSection(&openLogsLock());
    for (EventLog* log = g_openLogs; log; log = log->next_) log->flush();
    if (!processEnding) LeaveCriticalSection(&openLogsLock());
}

EventLog::~EventLog() {
    flush();
    EnterCriticalSection(&openLogsLock());
    if (previous_) previous_->next_ = next_;
    else g_openLogs = next_;
    if (next_) next_->previous_ = previous_;
    LeaveCriticalSection(&openLogsLock());
    UnmapViewOfFile(const_cast<LONG*>(owner_));
    CloseHandle(mapping_);
    CloseHandle(file_);
}

void EventLog::lock() {
    // A writer that died holding the lock must not stop logging for good:
    // after kStealAfterMs the lock is taken over.
    constexpr DWORD kStealAfterMs = 250;
    constexpr int kYieldingSpins = 64;
    const auto me = static_cast<LONG>(GetCurrentThreadId());
    DWORD waitStart = 0;
    for (int spin = 0;; ++spin) {
        const LONG holder = InterlockedCompareExchange(owner_, me, 0);
        if (holder == 0) return;
        if (spin < kYieldingSpins) {
            SwitchToThread();
            continue;
        }
        if (spin == kYieldingSpins) waitStart = GetTickCount();
        if (GetTickCount() - waitStart >= kStealAfterMs &&
            InterlockedCompareExchange(owner_, me, holder) == holder)
            return;
        Sleep(1);
    }
}

void EventLog::unlock() {
    InterlockedCompareExchange(owner_, 0, static_cast<LONG>(GetCurrentThreadId()));
}

void EventLog::writeOut(const std::string& text) {
    lock();
    DWORD written = 0;
    WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    unlock();
}

void EventLog::write(const std::string& line) {
    if (heldLines_ == 0) {
        writeOut(line);
        return;
    }
    held_ += line;
    writeOut(held_);
    held_.clear();
    heldLines_ = 0;
}

void EventLog::writeLater(const std::string& line, uint64_t nowUs) {
    if (heldLines_ == 0) heldSinceUs_ = nowUs;
    held_ += line;
    if (++heldLines_ >= kBatchLines || nowUs - heldSinceUs_ >= kBatchAgeUs) flush();
}

void EventLog::flush() {
    if (heldLines_ == 0) return;
    writeOut(held_);
    held_.clear();
    heldLines_ = 0;
}

}  // namespace cardemu
