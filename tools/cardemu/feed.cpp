#include "feed.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace cardemu {
namespace {

constexpr uint64_t kReopenIntervalUs = 100000;  // retry a missing feed file at most every 100 ms
constexpr DWORD kReadChunk = 4096;
constexpr DWORD kMarkWidth = 21;  // 20 digits and a newline
constexpr unsigned long kMaxCode = 0xFF;
constexpr unsigned long kMaxPercent = 100;
constexpr unsigned long kMaxUint32 = 0xFFFFFFFFul;
constexpr uint64_t kMaxUint64 = ~uint64_t{0};

// Parses an unsigned number up to `max`; `base` 0 means decimal unless 0x-prefixed.
template <typename Number>
bool parseNumber(const std::string& token, int base, uint64_t max, Number& value) {
    if (token.empty() || token[0] == '-' || token[0] == '+') return false;
    if (base == 0) {
        const bool hex = token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
        base = hex ? 16 : 10;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(token.c_str(), &end, base);
    if (errno != 0 || end == token.c_str() || *end != '\0' || parsed > max) return false;
    value = static_cast<Number>(parsed);
    return true;
}

class Tokens {
public:
    explicit Tokens(const std::string& line) {
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i])) ++i;
            const size_t start = i;
            while (i < line.size() && !isBlank(line[i])) ++i;
            if (i > start) words_.push_back(line.substr(start, i - start));
        }
    }
    size_t size() const { return words_.size(); }
    const std::string& operator[](size_t i) const { return words_[i]; }

    // Reads argument `i` into `value`, or returns false; absent optional
    // arguments keep the value passed in.
    template <typename Number>
    bool number(size_t i, int base, uint64_t max, Number& value, bool optional) const {
        if (i >= words_.size()) return optional;
        return parseNumber(words_[i], base, max, value);
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
    std::vector<std::string> words_;
};

std::string applyFault(const Tokens& t, Receiver& receiver) {
    if (t.size() < 3 || t.size() > 4) return "usage: fault status|transfer HR [N]";
    FaultTarget target;
    if (t[1] == "status") {
        target = FaultTarget::Status;
    } else if (t[1] == "transfer") {
        target = FaultTarget::Transfer;
    } else {
        return "fault kind must be status or transfer";
    }
    unsigned long hr = 0;
    unsigned long count = 1;
    if (!t.number(2, 16, kMaxUint32, hr, false)) return "bad HRESULT";
    if (!t.number(3, 0, kMaxUint32, count, true)) return "bad count";
    receiver.failNext(target, static_cast<HRESULT>(hr), count);
    return {};
}

}  // namespace

std::string applyFeedLine(const std::string& line, Receiver& receiver, uint64_t nowUs) {
    const Tokens t(line);
    if (t.size() == 0 || t[0][0] == '#') return {};
    const std::string& verb = t[0];
    unsigned long code = 0;
    if (verb == "tap") {
        if (t.size() != 2 || !t.number(1, 0, kMaxCode, code, false)) return "usage: tap CODE";
        receiver.tap(static_cast<BYTE>(code));
        return {};
    }
    if (verb == "tapat") {
        uint64_t atUs = 0;
        if (t.size() != 3 || !t.number(1, 0, kMaxCode, code, false) ||
            !t.number(2, 0, kMaxUint64, atUs, false))
            return "usage: tapat CODE T_US";
        receiver.tapAt(static_cast<BYTE>(code), atUs);
        return {};
    }
    if (verb == "hold") {
        unsigned long ms = 0;
        if (t.size() != 3 || !t.number(1, 0, kMaxCode, code, false) ||
            !t.number(2, 0, kMaxUint32, ms, false))
            return "usage: hold CODE MS";
        receiver.hold(static_cast<BYTE>(code), nowUs, ms);
        return {};
    }
    if (verb == "fault") return applyFault(t, receiver);
    if (verb == "faultrate") {
        unsigned long pct = 0;
        unsigned long seed = 1;
        if (t.size() < 2 || t.size() > 3 || !t.number(1, 0, kMaxPercent, pct, false) ||
            !t.number(2, 0, kMaxUint32, seed, true))
            return "usage: faultrate PCT [SEED]";
        receiver.setFaultRate(pct, seed);
        return {};
    }
    if (verb == "vanish") {
        if (t.size() != 1) return "usage: vanish";
        receiver.vanish();
        return {};
    }
    return "unknown command";
}

FeedReader::~FeedReader() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    if (mark_ != INVALID_HANDLE_VALUE) CloseHandle(mark_);
}

void FeedReader::resumeFromMark(int64_t size) {
    mark_ = CreateFileW((path_ + L".taken").c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark_ == INVALID_HANDLE_VALUE) return;
    char text[kMarkWidth + 1] = {};
    OVERLAPPED at = {};
    DWORD got = 0;
    if (!ReadFile(mark_, text, kMarkWidth, &got, &at)) return;
    const long long taken = std::strtoll(text, nullptr, 10);
    // A mark beyond the end belongs to an older, longer feed.
    if (taken > 0 && taken <= size) offset_ = taken;
}

void FeedReader::recordMark() {
    if (mark_ == INVALID_HANDLE_VALUE) return;
    char text[kMarkWidth + 1];
    std::snprintf(text, sizeof text, "%0*lld\n", static_cast<int>(kMarkWidth - 1),
                  static_cast<long long>(offset_ - static_cast<int64_t>(partial_.size())));
    OVERLAPPED at = {};
    DWORD written = 0;
    WriteFile(mark_, text, kMarkWidth, &written, &at);
}

bool FeedReader::ensureOpen(uint64_t nowUs) {
    if (file_ != INVALID_HANDLE_VALUE) return true;
    if (nowUs < nextOpenAttemptUs_) return false;
    file_ = CreateFileW(path_.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        nextOpenAttemptUs_ = nowUs + kReopenIntervalUs;
        return false;
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(file_, &size)) resumeFromMark(size.QuadPart);
    return true;
}

void FeedReader::splitLines(const char* bytes, size_t size, std::vector<std::string>& lines) {
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] != '\n') {
            partial_ += bytes[i];
            continue;
        }
        if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
        lines.push_back(std::move(partial_));
        partial_.clear();
    }
}

void FeedReader::poll(uint64_t nowUs, std::vector<std::string>& lines) {
    if (!ensureOpen(nowUs)) return;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size) || size.QuadPart == offset_) return;
    if (size.QuadPart < offset_) {  // truncated or replaced: start over
        offset_ = 0;
        partial_.clear();
    }
    const size_t before = lines.size();
    char buffer[kReadChunk];
    while (offset_ < size.QuadPart) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset_);
        at.OffsetHigh = static_cast<DWORD>(offset_ >> 32);
        DWORD got = 0;
        if (!ReadFile(file_, buffer, kReadChunk, &got, &at) || got == 0) break;
        offset_ += got;
        splitLines(buffer, got, lines);
    }
    if (lines.size() != before) recordMark();
}

}  // namespace cardemu
