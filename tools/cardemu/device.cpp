#include "device.h"

#include "clock.h"
#include "emulator_ids.h"

#include <cstdio>

namespace cardemu {
namespace {

constexpr BYTE kJunkByte = 0xA5;  // fills the received bytes after the code

std::string hrText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

const char* verdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok: return "ok";
        case Verdict::OkEmpty: return "ok-empty";
        case Verdict::Fault: break;
    }
    return "fault";
}

}  // namespace

JsonLine Device::stamped(uint64_t nowUs) const {
    JsonLine line;
    line.number("t_us", static_cast<int64_t>(nowUs)).text("dev", name_);
    return line;
}

void Device::emit(const JsonLine& line) {
    quiet_ = false;
    if (log_) log_->write(line.finish());
}

void Device::emitLater(const JsonLine& line, uint64_t nowUs) {
    if (log_) log_->writeLater(line.finish(), nowUs);
}

Device::Device() : card_(Card::of(std::wstring())), instance_(card_->instance) {}

void Device::configure(const DeviceSettings& settings) {
    std::lock_guard<std::mutex> guard(lock_);
    name_ = toUtf8(settings.friendlyName);
    // An object that refuses binding never reaches the card: it does not
    // bring a vanished one back.
    bool fresh = false;
    if (!settings.refuseBind) {
        card_ = Card::of(settings.feedPath);
        instance_ = card_->bind(fresh);
    }
    log_ = settings.logPath.empty() ? nullptr : EventLog::open(settings.logPath);
    JsonLine load = stamped(nowMicros());
    load.text("ev", "load")
        .number("pid", GetCurrentProcessId())
        .text("feed", toUtf8(settings.feedPath))
        .text("log", toUtf8(settings.logPath))
        .number("refuse_bind", settings.refuseBind)
        .number("no_kscontrol", settings.noKsControl);
    if (fresh) load.number("fresh", 1);
    emit(load);
}

void Device::joined(const std::wstring& graphName) {
    std::lock_guard<std::mutex> guard(lock_);
    emit(stamped(nowMicros()).text("ev", "join").text("name", toUtf8(graphName)));
}

void Device::ingestFeed(Card& card, uint64_t nowUs) {
    if (!card.feed) return;
    feedLines_.clear();
    card.feed->poll(nowUs, feedLines_);
    for (const std::string& line : feedLines_) {
        const std::string problem = applyFeedLine(line, card.receiver, nowUs);
        JsonLine entry = stamped(nowUs);
        entry.text("ev", problem.empty() ? "feed" : "feed-error").text("line", line);
        if (!problem.empty()) entry.text("reason", problem);
        emit(entry);
    }
}

void Device::logRequest(uint64_t nowUs, RequestKind kind, HRESULT hr, const std::string& verdict,
                        const BYTE* value) {
    if (!log_) return;
    JsonLine entry = stamped(nowUs);
    entry.text("req", requestKindName(kind)).text("hr", hrText(hr)).text("verdict", verdict);
    if (value) entry.number("value", *value);
    // An idle status read right after another one says nothing new: it may
    // wait for a batch. The first one after anything else goes out at once.
    const bool idle = kind == RequestKind::Status && hr == S_OK && value &&
                      *value == layout::kStatusIdle;
    if (idle && quiet_) {
        emitLater(entry, nowUs);
        return;
    }
    emit(entry);
    quiet_ = idle;
}

HRESULT Device::property(void* property, ULONG propertyLength, void* data, ULONG dataLength,
                         ULONG* bytesReturned) {
    std::lock_guard<std::mutex> guard(lock_);
    const uint64_t nowUs = nowMicros();
    const CheckedRequest request =
        checkRequest(property, propertyLength, data, dataLength, bytesReturned);
    if (!request.problem.empty()) {
        if (bytesReturned && isWritable(bytesReturned, sizeof *bytesReturned)) *bytesReturned = 0;
        logRequest(nowUs, request.kind, E_INVALIDARG, "bad: " + request.problem, nullptr);
        return E_INVALIDARG;
    }

    Card& card = *card_;
    std::lock_guard<std::mutex> cardGuard(card.lock);
    Outcome outcome;
    ULONG returned = 0;
    if (request.kind == RequestKind::Status) ingestFeed(card, nowUs);
    if (instance_ != card.instance) {
        // The card this object was bound to vanished; the one present now
        // was bound afresh through another object.
        outcome = removedOutcome();
    } else if (request.kind == RequestKind::Status) {
        outcome = card.receiver.readStatus(nowUs);
        if (outcome.verdict != Verdict::Fault) {
            *request.statusOut = outcome.value;
            returned = layout::kStatusDataLength;
        }
    } else {
        outcome = card.receiver.transfer(nowUs);
        if (outcome.verdict != Verdict::Fault) {
            request.receiveOut[0] = outcome.value;
            for (ULONG i = 1; i < layout::kReceiveLength; ++i) request.receiveOut[i] = kJunkByte;
            returned = layout::kTransferDataLength;
        }
    }
    if (bytesReturned) *bytesReturned = returned;
    logRequest(nowUs, request.kind, outcome.hr, verdictText(outcome.verdict),
               outcome.verdict == Verdict::Fault ? nullptr : &outcome.value);
    return outcome.hr;
}

HRESULT Device::unsupported(const char* what) {
    std::lock_guard<std::mutex> guard(lock_);
    logRequest(nowMicros(), RequestKind::Unknown, E_NOTIMPL,
               std::string("bad: ") + what + " not supported", nullptr);
    return E_NOTIMPL;
}

}  // namespace cardemu
