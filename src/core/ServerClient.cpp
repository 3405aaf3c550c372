#include "core/ServerClient.h"

#include <algorithm>

namespace core {

bool ForClientsOnly(ProcessId foreground, const ProcessId* clients, size_t count) {
    return foreground != 0 && std::find(clients, clients + count, foreground) != clients + count;
}

ServerClient::Taken ServerClient::Take(const char* data, size_t size, std::string& out) {
    Taken taken;
    if (protocol_ == ServerProtocol::Lirc) {
        taken.keep = lines_.Take(data, size, [&out](std::string_view line) { out += LircAnswer(line); });
        return taken;
    }
    taken.keep = frames_.Take(data, size, [this, &out, &taken](const IrssMessage& message) {
        const IrssAnswer answer = AnswerIrss(message);
        if (answer.registers) registered_ = true;
        if (answer.unregisters) registered_ = false;
        if (answer.unknown) taken.ignored = true;
        out += answer.frame;
    });
    return taken;
}

std::string ServerClient::KeyMessage(int code, int readInPress) const {
    if (protocol_ == ServerProtocol::Lirc) return LircKeyLine(code, readInPress);
    return ReceivesKeys() ? IrssKeyFrame(code) : std::string();
}

}  // namespace core
