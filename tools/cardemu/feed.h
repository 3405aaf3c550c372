// Key feed: a text file that tests append commands to while the emulator runs.
//
//   tap CODE               the code waits once
//   tapat CODE T_US        the code waits once, from the first status read at
//                          or after T_US (performance-counter microseconds,
//                          the clock of the log's t_us)
//   hold CODE MS           the code waits at every status read for MS ms
//   fault status HR [N]    the next N status reads fail with HR (default 1)
//   fault transfer HR [N]  the next N transfers fail with HR
//   faultrate PCT [SEED]   each request fails with probability PCT%
//   vanish                 the card is removed: every request through any
//                          object bound to it fails with
//                          HRESULT_FROM_WIN32(ERROR_DEVICE_REMOVED), until a
//                          new object is bound to it (see card.h)
//   # text                 comment
//
// CODE, T_US, MS, N, PCT and SEED are decimal or 0x-prefixed hex; HR is always hex.
//
// Lines are taken by status requests, through whichever object of the card
// makes one, also while the card is gone: lines taken then (a tap, a hold)
// go with the removed card. A card that comes back reads on from there.
//
// A line is taken once: beside the feed, "<feed>.taken" records how far lines
// have been taken, and a process started later starts reading there instead
// of replaying the file.
#pragma once

#include "receiver.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cardemu {

// Applies one feed line to the receiver. Returns why the line was refused, or
// an empty string when it was taken (comments and blank lines are taken too).
std::string applyFeedLine(const std::string& line, Receiver& receiver, uint64_t nowUs);

// Reads a growing file incrementally and hands out complete lines only.
class FeedReader {
public:
    explicit FeedReader(std::wstring path) : path_(std::move(path)) {}
    ~FeedReader();
    FeedReader(const FeedReader&) = delete;
    FeedReader& operator=(const FeedReader&) = delete;

    // Appends the lines completed since the last call to `lines`. Costs one
    // size query when the file has not grown.
    void poll(uint64_t nowUs, std::vector<std::string>& lines);

private:
    bool ensureOpen(uint64_t nowUs);
    void resumeFromMark(int64_t size);
    void recordMark();
    void splitLines(const char* bytes, size_t size, std::vector<std::string>& lines);

    std::wstring path_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mark_ = INVALID_HANDLE_VALUE;  // the ".taken" file
    int64_t offset_ = 0;
    std::string partial_;
    uint64_t nextOpenAttemptUs_ = 0;
};

}  // namespace cardemu
