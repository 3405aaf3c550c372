#include "core/LircProtocol.h"

#include <algorithm>
#include <iterator>

#include "core/RemoteKey.h"
#include "core/Text.h"

namespace core {

namespace {

constexpr int ReadCountCap = 0xff;
constexpr int CodeDigits = 16;  // %016llx
constexpr int CountDigits = 2;  // %02x
constexpr char HexDigits[] = "0123456789abcdef";
constexpr char WhiteSpace[] = " \t";
// A command is a directive and at most two words after it (LIST's remote and
// button); a further word is counted as one more, whatever follows it.
constexpr size_t MostWords = 4;
// Each answered with an error: the program only receives.
constexpr const char* SendingDirectives[] = {"SEND_ONCE", "SEND_START", "SEND_STOP", "SET_TRANSMITTERS"};

// As printf's "%0<digits>x" writes it (without printf, which would bring
// the C run time's whole formatter into the program).
void AppendHex(std::string& out, unsigned long long value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(HexDigits[(value >> shift) & 0xf]);
}

void AppendDecimal(std::string& out, size_t value) {
    const size_t at = out.size();
    do {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>('0' + value % 10));
        value /= 10;
    } while (value != 0);
}

// "<code> <name>\n", as LIST names a button.
void AppendButton(std::string& out, const RemoteKeyRow& row) {
    AppendHex(out, static_cast<unsigned long long>(Code(row.key)), CodeDigits);
    out.append(" ").append(row.names.lirc).append("\n");
}

// A packet: BEGIN, the command line, SUCCESS or ERROR, then, with data, DATA,
// the count of its lines and the lines (each ending in LF), then END.
std::string Packet(std::string_view line, bool success, size_t count = 0, std::string_view data = {}) {
    std::string packet = "BEGIN\n";
    packet.append(line).append(success ? "\nSUCCESS\n" : "\nERROR\n");
    if (count != 0) {
        packet.append("DATA\n");
        AppendDecimal(packet, count);
        packet.append("\n").append(data);
    }
    return packet.append("END\n");
}

std::string Error(std::string_view line, std::string_view message, std::string_view quoted = {},
                  std::string_view after = {}) {
    std::string data(message);
    data.append(quoted).append(after).append("\n");
    return Packet(line, false, 1, data);
}

// The line's words, split at spaces and tabs; how many there are (at most MostWords).
size_t Words(std::string_view line, std::string_view (&words)[MostWords]) {
    size_t count = 0;
    size_t at = 0;
    while (count < MostWords && (at = line.find_first_not_of(WhiteSpace, at)) != std::string_view::npos) {
        const size_t end = line.find_first_of(WhiteSpace, at);
        words[count++] = line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end;
    }
    return count;
}

std::string List(std::string_view line, const std::string_view (&words)[MostWords], size_t count) {
    if (count == 1) return Packet(line, true, 1, std::string(LircRemoteName) + "\n");
    if (!SameInAnyCase(words[1], LircRemoteName)) return Error(line, "unknown remote: \"", words[1], "\"");
    if (count > 3) return Error(line, "bad send packet (trailing ws)");
    std::string data;
    size_t buttons = 0;
    for (const RemoteKeyRow& row : RemoteKeys) {
        if (count == 3 && !SameInAnyCase(words[2], row.names.lirc)) continue;
        AppendButton(data, row);
        ++buttons;
    }
    if (buttons == 0) return Error(line, "unknown command: \"", words[2], "\"");
    return Packet(line, true, buttons, data);
}

}  // namespace

std::string LircKeyLine(int code, int readInPress) {
    const RemoteKeyRow* row = RowOf(code);
    if (row == nullptr) return {};
    const int count = readInPress < 0 ? 0 : (readInPress > ReadCountCap ? ReadCountCap : readInPress);
    std::string line;
    AppendHex(line, static_cast<unsigned long long>(code), CodeDigits);
    line.push_back(' ');
    AppendHex(line, static_cast<unsigned>(count), CountDigits);
    return line.append(" ").append(row->names.lirc).append(" ").append(LircRemoteName).append("\n");
}

std::string LircAnswer(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view words[MostWords];
    const size_t count = Words(line, words);
    if (count == 0) return Error(line, "bad send packet");
    const std::string_view directive = words[0];
    if (SameInAnyCase(directive, "VERSION")) {
        if (count > 1) return Error(line, "bad send packet");
        return Packet(line, true, 1, std::string(LircVersion) + "\n");
    }
    if (SameInAnyCase(directive, "LIST")) return List(line, words, count);
    const auto sends = [directive](const char* sending) { return SameInAnyCase(directive, sending); };
    if (std::any_of(std::begin(SendingDirectives), std::end(SendingDirectives), sends))
        return Error(line, "hardware does not support sending");
    return Error(line, "unknown directive: \"", directive, "\"");
}

}  // namespace core
