// JSON-lines event log. Each line goes out with one WriteFile. Wine does not
// make appends atomic across handles, so writers of one file, in any process,
// take a spin lock kept in shared memory named after the file's path: unlike a
// kernel mutex it costs no wineserver round trip when uncontended.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace cardemu {

std::string toUtf8(const std::wstring& text);

// Builds one JSON object on one line.
class JsonLine {
public:
    JsonLine& text(const char* key, const std::string& value);
    JsonLine& number(const char* key, int64_t value);
    std::string finish() const { return out_ + "}\n"; }

private:
    void key(const char* name);
    std::string out_ = "{";
};

class EventLog {
public:
    // Opens (creating it if needed) the log at `path` for appending; null if
    // the file cannot be opened.
    static std::unique_ptr<EventLog> open(const std::wstring& path);

    EventLog(HANDLE file, HANDLE mapping, volatile LONG* owner)
        : file_(file), mapping_(mapping), owner_(owner) {}
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    void write(const std::string& line);

private:
    void lock();
    void unlock();

    HANDLE file_;
    HANDLE mapping_;
    volatile LONG* owner_;  // thread id of the writer holding the lock, or 0
};

}  // namespace cardemu
