#include "card.h"

#include <windows.h>

#include <map>

namespace cardemu {
namespace {

struct Cards {
    std::mutex lock;
    std::map<std::wstring, std::shared_ptr<Card>> byFeed;
};

// Never destroyed: a thread that ended with the process may have held a lock.
Cards& cards() {
    static Cards* const all = new Cards;
    return *all;
}

}  // namespace

std::shared_ptr<Card> Card::of(const std::wstring& feedPath) {
    if (feedPath.empty()) return std::make_shared<Card>(feedPath);
    std::wstring key = feedPath;
    CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
    Cards& all = cards();
    std::lock_guard<std::mutex> guard(all.lock);
    std::shared_ptr<Card>& card = all.byFeed[key];
    if (!card) card = std::make_shared<Card>(feedPath);
    return card;
}

bool Card::anyKnown() {
    Cards& all = cards();
    std::lock_guard<std::mutex> guard(all.lock);
    return !all.byFeed.empty();
}

Card::Card(const std::wstring& feedPath)
    : feed(feedPath.empty() ? nullptr : new FeedReader(feedPath)) {}

uint64_t Card::bind(bool& fresh) {
    std::lock_guard<std::mutex> guard(lock);
    fresh = receiver.vanished();
    if (fresh) {
        receiver = Receiver();
        ++instance;
    }
    return instance;
}

}  // namespace cardemu
