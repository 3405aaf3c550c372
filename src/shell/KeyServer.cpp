#include <winsock2.h>  // before <windows.h>
#include <ws2tcpip.h>

#include "shell/KeyServer.h"

#include <algorithm>
#include <iterator>

#include "core/RemoteKey.h"
#include "win32/ConnectionOwner.h"
#include "win32/FailureTrace.h"

namespace {

// Connections waiting to be accepted.
constexpr int ListenBacklog = 4;
// One receive takes at most this many bytes; Winsock tells again of the rest.
constexpr int ReceiveBytes = 4096;
// Reads heard but not yet sent (a modal dialog that a key opens, until its
// loop takes the posted message); past this many, a read is not sent.
constexpr size_t HeardReadsLimit = 64;

struct Port {
    core::ServerProtocol protocol;
    uint16_t number;
};
constexpr Port Ports[] = {{core::ServerProtocol::Lirc, core::LircPort},
                          {core::ServerProtocol::Irss, core::IrssPort}};
constexpr int Families[] = {AF_INET, AF_INET6};

bool IsLoopback(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return reinterpret_cast<const sockaddr_in&>(address).sin_addr.s_addr == htonl(INADDR_LOOPBACK);
    if (address.ss_family == AF_INET6)
        return IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6&>(address).sin6_addr);
    return false;
}

void TraceSocketFailure(const char* what) { TraceFailure(what, static_cast<DWORD>(WSAGetLastError())); }

}  // namespace

struct KeyServer::Client {
    Client(SocketHandle handle, core::ServerProtocol protocol) : socket(handle), session(protocol) {}

    ScopedSocket socket;
    core::ServerClient session;
    std::string output;               // waits for the socket to take it
    core::ProcessId process = 0;      // 0: not known
    bool lookedUpAfterBytes = false;  // asked again once it had sent something
    bool toldIgnored = false;         // the trace has a line of its ignored bytes
    bool dead = false;                // dropped; swept after the loop at hand
};

KeyServer::KeyServer() = default;

KeyServer::~KeyServer() {
    clients_.clear();
    listeners_.clear();
}

void KeyServer::Apply(HWND window, bool on) {
    if (!on) {
        Stop();
        return;
    }
    if (Listening() || !winsock_.Start()) return;
    window_ = window;
    for (const Port& port : Ports)
        for (int family : Families) Listen(window, port.protocol, port.number, family);
}

void KeyServer::Listen(HWND window, core::ServerProtocol protocol, uint16_t number, int family) {
    auto listener = std::make_unique<Listener>();
    listener->protocol = protocol;
    *listener->socket.Put() = static_cast<SocketHandle>(::socket(family, SOCK_STREAM, IPPROTO_TCP));
    if (!listener->socket) {
        // A system without IPv6 has the loopback of IPv4 alone.
        if (family == AF_INET) TraceSocketFailure("making the key server's socket");
        return;
    }
    const SOCKET handle = static_cast<SOCKET>(listener->socket.Get());
    // No other program may take the port while it is ours.
    const BOOL exclusive = TRUE;
    setsockopt(handle, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
    sockaddr_storage address = {};
    int size = 0;
    if (family == AF_INET) {
        auto& in = reinterpret_cast<sockaddr_in&>(address);
        in.sin_family = AF_INET;
        in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        in.sin_port = htons(number);
        size = sizeof in;
    } else {
        const DWORD only6 = TRUE;
        setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&only6), sizeof only6);
        auto& in6 = reinterpret_cast<sockaddr_in6&>(address);
        in6.sin6_family = AF_INET6;
        in6.sin6_addr = in6addr_loopback;
        in6.sin6_port = htons(number);
        size = sizeof in6;
    }
    if (bind(handle, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        TraceSocketFailure(family == AF_INET ? "binding the key server to 127.0.0.1"
                                             : "binding the key server to ::1");
        return;
    }
    if (listen(handle, ListenBacklog) != 0 ||
        WSAAsyncSelect(handle, window, KeyServerMessage, FD_ACCEPT) != 0) {
        TraceSocketFailure("listening for the key server's programs");
        return;
    }
    listeners_.push_back(std::move(listener));
}

void KeyServer::OnSocketEvent(WPARAM socket, LPARAM event) {
    // Posted by Heard: the reads still waiting.
    if (socket == 0) {
        Routed();
        return;
    }
    const SocketHandle handle = static_cast<SocketHandle>(socket);
    const WORD what = WSAGETSELECTEVENT(event);
    for (const auto& listener : listeners_)
        if (listener->socket.Get() == handle && what == FD_ACCEPT) Accept(*listener);
    for (const auto& client : clients_) {
        if (client->socket.Get() != handle || client->dead) continue;
        const WORD error = WSAGETSELECTERROR(event);
        if (what == FD_CLOSE) {
            // What it sent before it closed is read, then it goes.
            Receive(*client);
            Drop(*client, nullptr, error);
        } else if (error != 0) {
            Drop(*client, "a key server connection's event", error);
        } else if (what == FD_READ) {
            Receive(*client);
        } else if (what == FD_WRITE) {
            Flush(*client);
        }
    }
    Sweep();
}

void KeyServer::Accept(const Listener& listener) {
    sockaddr_storage peer = {};
    int size = sizeof peer;
    auto client = std::make_unique<Client>(
        static_cast<SocketHandle>(
            accept(static_cast<SOCKET>(listener.socket.Get()), reinterpret_cast<sockaddr*>(&peer), &size)),
        listener.protocol);
    if (!client->socket) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) TraceSocketFailure("accepting a key server connection");
        return;
    }
    if (!IsLoopback(peer)) {
        TraceFailure("accepting a key server connection from outside the loopback", WSAEACCES);
        return;
    }
    if (clients_.size() >= core::ServerClientLimit) {
        TraceFailure("accepting a key server connection beyond the programs allowed", WSAECONNREFUSED);
        return;
    }
    const SOCKET handle = static_cast<SOCKET>(client->socket.Get());
    const int sendBuffer = ClientSendBufferBytes;
    setsockopt(handle, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer), sizeof sendBuffer);
    if (WSAAsyncSelect(handle, window_, KeyServerMessage, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        TraceSocketFailure("watching a key server connection");
        return;
    }
    // Windows tells the owner at once; Wine only once the program has sent
    // something. One that says nothing is a listener all the same.
    LookUpProcess(*client);
    if (client->process == 0)
        TraceFailure("finding the program of a key server connection (it has sent nothing yet)", ERROR_NOT_FOUND);
    clients_.push_back(std::move(client));
}

void KeyServer::LookUpProcess(Client& client) {
    client.process = ProcessAtOtherEnd(client.socket.Get());
    if (client.process == GetCurrentProcessId()) client.process = 0;
}

void KeyServer::Receive(Client& client) {
    char bytes[ReceiveBytes];
    const int received = recv(static_cast<SOCKET>(client.socket.Get()), bytes, sizeof bytes, 0);
    if (received == 0) return;
    if (received < 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) Drop(client, "receiving from a key server connection", WSAGetLastError());
        return;
    }
    if (client.process == 0 && !client.lookedUpAfterBytes) {
        client.lookedUpAfterBytes = true;
        LookUpProcess(client);
    }
    std::string answers;
    const core::ServerClient::Taken taken = client.session.Take(bytes, static_cast<size_t>(received), answers);
    if (!answers.empty()) Send(client, answers);
    if (!taken.keep) {
        Drop(client,
             client.session.protocol() == core::ServerProtocol::Lirc
                 ? "reading a key server program's line (longer than 512 bytes)"
                 : "reading a key server program's frame (longer than 64 KiB, or shorter than 8 bytes)",
             ERROR_INVALID_DATA);
    } else if (taken.ignored && !client.toldIgnored) {
        client.toldIgnored = true;
        TraceFailure("reading a key server program's message (not of the protocol: ignored)", ERROR_INVALID_DATA);
    }
}

void KeyServer::Send(Client& client, const std::string& bytes) {
    if (client.dead || bytes.empty()) return;
    size_t sent = 0;
    if (client.output.empty()) {
        const int result = send(static_cast<SOCKET>(client.socket.Get()), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (result < 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            Drop(client, "sending to a key server connection", WSAGetLastError());
            return;
        }
        sent = result > 0 ? static_cast<size_t>(result) : 0;
    }
    if (sent == bytes.size()) return;
    if (client.output.size() + bytes.size() - sent > core::ServerOutputLimit) {
        Drop(client, "sending to a key server program that stopped reading", WSAEWOULDBLOCK);
        return;
    }
    client.output.append(bytes, sent, std::string::npos);
}

void KeyServer::Flush(Client& client) {
    if (client.output.empty()) return;
    const int result = send(static_cast<SOCKET>(client.socket.Get()), client.output.data(),
                            static_cast<int>(client.output.size()), 0);
    if (result < 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) Drop(client, "sending to a key server connection", WSAGetLastError());
        return;
    }
    client.output.erase(0, static_cast<size_t>(result));
}

void KeyServer::Drop(Client& client, const char* why, DWORD code) {
    if (why != nullptr) TraceFailure(why, code);
    client.dead = true;
}

void KeyServer::Sweep() {
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                  [](const std::unique_ptr<Client>& client) { return client->dead; }),
                   clients_.end());
}

bool KeyServer::Heard(int code, bool repeat) {
    const int readInPress = press_.Read(repeat);
    if (clients_.empty() || core::RowOf(code) == nullptr) return false;
    core::ProcessId receivers[core::ServerClientLimit] = {};
    size_t count = 0;
    for (const auto& client : clients_)
        if (client->session.ReceivesKeys() && count < core::ServerClientLimit) receivers[count++] = client->process;
    if (count == 0) return false;
    // Sent once the router is done with the read (Routed): the application
    // in front gets it first. A key that opens a modal dialog is routed only
    // once it closes: the dialog's loop takes the message posted here, which
    // sends the reads meanwhile.
    if (heard_.empty() && PostMessageA(window_, KeyServerMessage, 0, 0) == 0)
        TraceFailure("posting the key server's reads", GetLastError());
    if (heard_.size() < HeardReadsLimit) heard_.push_back({code, readInPress});
    // No program known: the window in front is none of theirs, without asking.
    if (std::all_of(receivers, receivers + count, [](core::ProcessId process) { return process == 0; }))
        return false;
    DWORD foreground = 0;
    if (HWND front = GetForegroundWindow()) GetWindowThreadProcessId(front, &foreground);
    return core::ForClientsOnly(foreground, receivers, count);
}

void KeyServer::Routed() {
    for (const HeardRead& read : heard_)
        for (const auto& client : clients_) Send(*client, client->session.KeyMessage(read.code, read.readInPress));
    heard_.clear();
    Sweep();
}

void KeyServer::Notify(core::IrssType type) {
    const std::string frame = core::IrssFrame(type, core::IrssNotify);
    for (const auto& client : clients_)
        if (client->session.protocol() == core::ServerProtocol::Irss) Send(*client, frame);
    Sweep();
}

void KeyServer::Suspending() { Notify(core::IrssType::ServerSuspend); }

void KeyServer::Resumed() { Notify(core::IrssType::ServerResume); }

void KeyServer::Stop() {
    heard_.clear();
    Notify(core::IrssType::ServerShutdown);
    clients_.clear();
    listeners_.clear();
}
