// The key server: with "Server" on, other programs on this PC receive the
// remote's keys over the loopback (127.0.0.1, and ::1 where the system has
// it), in WinLIRC's text protocol on port 8765 and in IR Server Suite's on
// port 24000 (core/LircProtocol.h, core/IrssProtocol.h). Receive-only: what
// a program sends is answered, never acted on.
//
// Never held up by a client: the sockets are non-blocking and tell the main
// window of their events (WSAAsyncSelect), with no thread and no timer; at
// most core::ServerClientLimit programs are connected; a program that stops
// reading is dropped once its small output is full; one that breaks the
// protocol's bounds is dropped and one that sends what is not the protocol
// is ignored, each with a line in the failure trace.
//
// Each read goes to every program connected, sent as soon as the router is
// done with it (the application in front gets it first); while the window in
// front belongs to one of them, the read is theirs alone and is not routed.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/KeyListeners.h"
#include "core/ServerClient.h"
#include "win32/Sockets.h"

// The message of the sockets' events to the main window.
constexpr UINT KeyServerMessage = WM_APP + 1;
// A program's socket lets this many bytes wait in the system: it is found to
// have stopped reading within kilobytes.
constexpr int ClientSendBufferBytes = 8 * 1024;

class KeyServer final : public core::KeyListeners {
public:
    KeyServer();
    ~KeyServer();
    KeyServer(const KeyServer&) = delete;
    KeyServer& operator=(const KeyServer&) = delete;

    // Listens, telling window of the events, when on and not yet listening;
    // when off, lets every program go and listens no more.
    void Apply(HWND window, bool on);
    // One event of a socket (KeyServerMessage's wParam and lParam), or, with
    // no socket, the reads heard and not yet sent.
    void OnSocketEvent(WPARAM socket, LPARAM event);
    // IR Server Suite's notifications around a sleep, and before the program
    // ends (Stop lets every program go).
    void Suspending();
    void Resumed();
    void Stop();

    bool Listening() const { return !listeners_.empty(); }
    size_t ClientCount() const { return clients_.size(); }

    // core::KeyListeners.
    bool Heard(int code, bool repeat) override;
    // Sends the reads heard, each in one piece to each program.
    void Routed() override;

private:
    struct Listener {
        ScopedSocket socket;
        core::ServerProtocol protocol;
    };
    struct Client;

    void Listen(HWND window, core::ServerProtocol protocol, uint16_t number, int family);
    void Accept(const Listener& listener);
    void Receive(Client& client);
    // Sends the bytes in one piece, or keeps them to send when the socket
    // can take them; drops a client whose output would overflow.
    void Send(Client& client, const std::string& bytes);
    void Flush(Client& client);
    void Drop(Client& client, const char* why, DWORD code);
    void Sweep();
    void Notify(core::IrssType type);
    void LookUpProcess(Client& client);

    WinsockUse winsock_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<Listener>> listeners_;
    std::vector<std::unique_ptr<Client>> clients_;
    core::PressCounter press_;
    struct HeardRead {
        int code;
        int readInPress;
    };
    std::vector<HeardRead> heard_;
};
