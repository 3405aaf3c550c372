// One emulated card as the process sees it: its receiver (waiting codes, the
// held key, pending faults) and the reader of its feed. Every filter object
// bound to the card in the process shares them, as every handle a program
// opens on one device reaches the same hardware: a program that lets the
// filter go and binds it again (after a sleep, say) finds the codes waiting
// and the key held as they were.
//
// A card is known by its feed path, case-folded as Windows paths are:
// IPersistPropertyBag::Load reads the instance key's values but is not told
// the key's name. A device without a feed gets a card of its own, which
// nothing can reach.
//
// Cards stay for as long as the process runs (the module is not unloaded
// once one exists), with or without objects bound to them.
#pragma once

#include "feed.h"
#include "receiver.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace cardemu {

class Card {
public:
    // The card whose feed is at `feedPath`; a new one the first time.
    static std::shared_ptr<Card> of(const std::wstring& feedPath);
    // True once the process has made a shared card.
    static bool anyKnown();

    explicit Card(const std::wstring& feedPath);
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    // A new filter object is bound to the card; takes the lock. A card that
    // vanished comes back as a fresh instance: an empty receiver, the feed
    // read on from where it was. Returns the instance the object belongs to
    // and sets `fresh` when it is such a new one.
    uint64_t bind(bool& fresh);

    // Guards what follows; taken after the filter object's own lock.
    std::mutex lock;
    Receiver receiver;
    std::unique_ptr<FeedReader> feed;  // null without a feed
    // Which instance of the card is present: objects bound to an earlier one
    // belong to a card that vanished, and fail as it does.
    uint64_t instance = 1;
};

}  // namespace cardemu
