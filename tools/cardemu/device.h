// What one filter object knows of its emulated capture device: its settings,
// its log, the card it is bound to (whose receiver and feed every object of
// the card shares, see card.h), and the handling of the IKsControl requests
// sent to it.
#pragma once

#include "card.h"
#include "eventlog.h"
#include "request.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

namespace cardemu {

struct DeviceSettings {
    std::wstring friendlyName;
    std::wstring feedPath;  // empty: no feed
    std::wstring logPath;   // empty: no log
    bool refuseBind = false;
    bool noKsControl = false;
};

class Device {
public:
    // Until configured, bound to an idle card of its own without a feed.
    Device();

    // Takes the settings read from the device's instance key, binds the
    // object to its card (unless the device refuses binding) and records
    // them.
    void configure(const DeviceSettings& settings);

    HRESULT property(void* property, ULONG propertyLength, void* data, ULONG dataLength,
                     ULONG* bytesReturned);
    // Records that the filter joined (or left, with no name) a filter graph.
    void joined(const std::wstring& graphName);
    // Records a request of a kind the receiver does not support.
    HRESULT unsupported(const char* what);

private:
    void ingestFeed(Card& card, uint64_t nowUs);
    void logRequest(uint64_t nowUs, RequestKind kind, HRESULT hr, const std::string& verdict,
                    const BYTE* value);
    JsonLine stamped(uint64_t nowUs) const;
    void emit(const JsonLine& line);
    void emitLater(const JsonLine& line, uint64_t nowUs);

    std::mutex lock_;  // guards this object's part; taken before the card's lock
    std::string name_;  // friendly name, UTF-8
    std::shared_ptr<Card> card_;
    uint64_t instance_ = 0;  // the card's instance this object was bound to
    std::unique_ptr<EventLog> log_;
    std::vector<std::string> feedLines_;  // reused buffer
    bool quiet_ = false;  // the last line logged was an idle status read
};

}  // namespace cardemu
