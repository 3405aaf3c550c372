// JSON-lines event log. Lines that say something new go out at once, behind
// any held back before them, with one WriteFile; lines that only repeat the
// last state (an idle status read after an idle status read) may be held
// back and written in batches, at most kBatchLines of them or kBatchAgeUs
// old, so that a quiet poll costs no write. Whatever is held back is written
// when the log closes and, through flushAll(), when the module is unloaded or
// the process ends normally; a process killed outright loses at most that
// last batch of repeated idle reads, never a line that says something new.
// Wine does not make appends atomic across handles, so writers of one file,
// in any process, take a spin lock kept in shared memory named after the
// file's path: unlike a kernel mutex it costs no wineserver round trip when
// uncontended.
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

    static constexpr size_t kBatchLines = 16;        // about a second of polling
    static constexpr uint64_t kBatchAgeUs = 1000000;

    EventLog(HANDLE file, HANDLE mapping, volatile LONG* owner);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Writes the held-back lines and this one now.
    void write(const std::string& line);
    // Holds a line that only repeats the last state back for a batch.
    void writeLater(const std::string& line, uint64_t nowUs);
    // Writes what is held back.
    void flush();
    // flush() on every open log: at unload, and at the end of the process,
    // when no other thread of it runs any more.
    static void flushAll(bool processEnding);

private:
    void lock();
    void unlock();
    void writeOut(const std::string& text);

    HANDLE file_;
    HANDLE mapping_;
    volatile LONG* owner_;  // thread id of the writer holding the lock, or 0
    std::string held_;      // lines held back, in order
    size_t heldLines_ = 0;
    uint64_t heldSinceUs_ = 0;
    EventLog* next_ = nullptr;  // the open logs of the process
    EventLog* previous_ = nullptr;
};

}  // namespace cardemu
