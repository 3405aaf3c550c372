// WinLIRC's and lircd's text protocol, as this program serves it on the
// loopback (KeyServer.h): a line for each read of a key, and the answers to
// the commands a client may send. Receive-only: no command makes the program
// act; every command that would transmit is answered with an error.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

constexpr uint16_t LircPort = 8765;
// The remote's name in every key line and in LIST's answer.
constexpr char LircRemoteName[] = "Marlow";
// The version VERSION answers: the program's.
constexpr char LircVersion[] = "3.1.0.0";
// A client's command line, without its LF, is at most this long.
constexpr size_t LircLineLimit = 512;

// The line for one read of the key with that code, "%016llx %02x %s %s\n":
// the code, the read's place in its press (0 for the first, capped at 0xff),
// the key's LIRC name and the remote's name. Empty for a code of no key.
std::string LircKeyLine(int code, int readInPress);

// The answer packet to one command line (without its LF; a CR at its end is
// not part of it): BEGIN, the line, SUCCESS or ERROR, DATA with a count and
// its lines, END, each ending in LF.
std::string LircAnswer(std::string_view line);

// Splits a client's bytes into command lines. A line longer than
// LircLineLimit ends the client: Take returns false from then on.
class LircLineReader {
public:
    // Appends the data; each complete line is handed to onLine (a callable
    // taking std::string_view). False once a line has overflowed.
    template <typename OnLine>
    bool Take(const char* data, size_t size, OnLine&& onLine) {
        for (size_t i = 0; i < size && !overflowed_; ++i) {
            if (data[i] == '\n') {
                onLine(std::string_view(pending_));
                pending_.clear();
            } else if (pending_.size() == LircLineLimit) {
                overflowed_ = true;
                pending_.clear();
            } else {
                pending_.push_back(data[i]);
            }
        }
        return !overflowed_;
    }

private:
    std::string pending_;
    bool overflowed_ = false;
};

}  // namespace core
