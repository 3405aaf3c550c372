#include "core/LircProtocol.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "core/RemoteKey.h"
#include "core/Text.h"

namespace core {

namespace {

constexpr int ReadCountCap = 0xff;
// "%016llx %02x " and two names of the table's sizes.
constexpr size_t KeyLineSize = 128;
constexpr char WhiteSpace[] = " \t";
// Each answered with an error: the program only receives.
constexpr const char* SendingDirectives[] = {"SEND_ONCE", "SEND_START", "SEND_STOP", "SET_TRANSMITTERS"};

std::string CodeAndName(int code, const char* name) {
    char text[KeyLineSize];
    std::snprintf(text, sizeof text, "%016llx %s", static_cast<unsigned long long>(code), name);
    return text;
}

std::string Packet(std::string_view line, bool success, const std::vector<std::string>& data) {
    std::string packet = "BEGIN\n";
    packet.append(line).append("\n").append(success ? "SUCCESS\n" : "ERROR\n");
    if (!data.empty()) {
        packet.append("DATA\n").append(std::to_string(data.size())).append("\n");
        for (const std::string& item : data) packet.append(item).append("\n");
    }
    return packet.append("END\n");
}

std::string Error(std::string_view line, std::string message) { return Packet(line, false, {std::move(message)}); }

// The words of the line, split at spaces and tabs.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(WhiteSpace, at)) != std::string_view::npos) {
        const size_t end = line.find_first_of(WhiteSpace, at);
        words.push_back(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        at = end;
    }
    return words;
}

std::string List(std::string_view line, const std::vector<std::string_view>& words) {
    if (words.size() == 1) return Packet(line, true, {LircRemoteName});
    if (!SameInAnyCase(words[1], LircRemoteName))
        return Error(line, "unknown remote: \"" + std::string(words[1]) + "\"");
    if (words.size() > 3) return Error(line, "bad send packet (trailing ws)");
    std::vector<std::string> data;
    for (const RemoteKeyRow& row : RemoteKeys) {
        if (words.size() == 3 && !SameInAnyCase(words[2], row.names.lirc)) continue;
        data.push_back(CodeAndName(Code(row.key), row.names.lirc));
    }
    if (data.empty()) return Error(line, "unknown command: \"" + std::string(words[2]) + "\"");
    return Packet(line, true, data);
}

}  // namespace

std::string LircKeyLine(int code, int readInPress) {
    const RemoteKeyRow* row = RowOf(code);
    if (row == nullptr) return {};
    const int count = readInPress < 0 ? 0 : (readInPress > ReadCountCap ? ReadCountCap : readInPress);
    char text[KeyLineSize];
    std::snprintf(text, sizeof text, "%016llx %02x %s %s\n", static_cast<unsigned long long>(code), count,
                  row->names.lirc, LircRemoteName);
    return text;
}

std::string LircAnswer(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> words = Words(line);
    if (words.empty()) return Error(line, "bad send packet");
    const std::string_view directive = words[0];
    if (SameInAnyCase(directive, "VERSION")) {
        if (words.size() > 1) return Error(line, "bad send packet");
        return Packet(line, true, {LircVersion});
    }
    if (SameInAnyCase(directive, "LIST")) return List(line, words);
    const auto sends = [directive](const char* sending) { return SameInAnyCase(directive, sending); };
    if (std::any_of(std::begin(SendingDirectives), std::end(SendingDirectives), sends))
        return Error(line, "hardware does not support sending");
    return Error(line, "unknown directive: \"" + std::string(directive) + "\"");
}

}  // namespace core
