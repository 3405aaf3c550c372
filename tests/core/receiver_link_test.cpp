// The link to the card's receiver: a card missing at start looked for on a
// slow schedule, a card whose requests keep failing let go and looked for
// with a growing wait, a suspend and resume that open it afresh, and what is
// dropped after that.
#include <gtest/gtest.h>

#include "FakeDesktop.h"
#include "core/Pointer.h"
#include "core/ReceiverLink.h"

namespace {

using K = RemoteKey;
const Effect LetGo = Button(MOUSEEVENTF_LEFTUP, {500, 400});  // of the button the pointer's toggle held

const Effects FoundAgain = {"open receiver", "link timer off", "tip: as usual", "poll on"};
const Effects CardGone = {"trace every request to the remote receiver for 2 s 0x80070651", "poll off",
                          "close receiver", "tip: no remote receiver", "link timer 1000"};

struct Link : RemoteOnDesktop, ::testing::Test {
    uint32_t timerMs = 0;  // the link's timer as last set

    Effects Do(const std::function<void()>& action) {
        const Effects effects = desktop.Of(action);
        for (const std::string& effect : effects)
            if (effect.rfind("link timer ", 0) == 0)
                timerMs = effect == "link timer off" ? 0 : std::stoul(effect.substr(11));
        return effects;
    }
    // The link's timer fires after the wait it was last set to.
    Effects Wait() {
        EXPECT_NE(timerMs, 0u) << "the link's timer is not set";
        desktop.clock += timerMs;
        return Do([&] { link.TimerFired(); });
    }
    // Every tick's status request fails, 65 ms apart, for ms.
    Effects FailFor(uint32_t ms) {
        return Do([&] {
            for (uint32_t t = 0; t <= ms; t += 65, desktop.clock += 65) link.Failed(0x80070651);
        });
    }
};

TEST_F(Link, ACardMissingAtStartIsLookedForEvery5SecondsForTwoMinutesThenEvery30) {
    desktop.cardThere = false;
    ExpectEffects(Do([&] { link.Started(false); }), {"tip: no remote receiver", "link timer 5000"});
    const uint32_t start = desktop.clock;
    int looks = 0;
    for (; desktop.clock - start < 120000; ++looks) {
        const Effects looked = Wait();
        ExpectEffects(looked, {"open receiver: not found", desktop.clock - start < 120000
                                                               ? "link timer 5000"
                                                               : "link timer 30000"});
    }
    EXPECT_EQ(looks, 24);  // at 5, 10 ... 120 s
    ExpectEffects(Wait(), {"open receiver: not found", "link timer 30000"});

    // The card is plugged in: the system's report finds it at once, and the
    // poll starts as if it had been there at start, nothing dropped.
    desktop.cardThere = true;
    ExpectEffects(Do([&] { link.DevicesChanged(); }), FoundAgain);
    EXPECT_FALSE(link.DropsKey());
    ExpectEffects(Do([&] { link.DevicesChanged(); }), {});  // found: nothing more to do
}

TEST_F(Link, AReportOfNewDevicesThatBringsNoCardLeavesTheScheduleAsItWas) {
    desktop.cardThere = false;
    link.Started(false);
    ExpectEffects(Do([&] { link.DevicesChanged(); }), {"open receiver: not found"});
}

TEST_F(Link, RequestsFailingFor2SecondsLetTheCardGoAndItIsLookedForAfter1_2_4_30Seconds) {
    // Let go by a failed request 2 s or more after the first of a run of failures.
    for (const uint32_t ms : {1999u, 2000u, 2001u}) {
        SCOPED_TRACE(std::to_string(ms) + " ms");
        RemoteOnDesktop other;
        core::ReceiverLink& failing = other.link;
        failing.Started(true);
        failing.Failed(0x80070651);
        other.desktop.clock += ms;
        const Effects effects = other.desktop.Of([&] { failing.Failed(0x80070651); });
        ExpectEffects(effects, ms < 2000 ? Effects{} : CardGone);
    }
    link.Started(true);
    ExpectEffects(FailFor(1950), {});  // not yet two seconds
    link.Answered(false);              // it answers again: the count starts anew
    ExpectEffects(FailFor(1950), {});
    ExpectEffects(FailFor(65), CardGone);
    ExpectEffects(FailFor(65), {});  // gone: no request is made, none counts

    desktop.cardThere = false;
    for (const char* next : {"link timer 2000", "link timer 4000", "link timer 8000",
                             "link timer 16000", "link timer 30000", "link timer 30000"})
        ExpectEffects(Wait(), {"open receiver: not found", next});
    desktop.cardThere = true;
    ExpectEffects(Wait(), FoundAgain);

    // What the receiver returns first was sent while it was away: dropped
    // until a status says no key waits.
    link.Answered(true);
    EXPECT_TRUE(link.DropsKey());
    link.Answered(false);
    EXPECT_FALSE(link.DropsKey());
}

TEST_F(Link, AResumeOpensTheReceiverAfreshOnceAndDropsWhatItHeldFromBefore) {
    link.Started(true);
    router.OnRead(Code(K::Digit6));  // the pointer's button is held down
    ExpectEffects(Do([&] { link.Suspending(); }),
                  {"poll off", "link timer off", LetGo});  // let go
    // A new device reported while asleep, or before the driver has settled
    // after the resume, opens nothing.
    ExpectEffects(Do([&] { link.DevicesChanged(); }), {});
    desktop.clock += 3600000;
    ExpectEffects(Do([&] { link.Resumed(); }), {"poll off", "link timer 1000"});
    desktop.clock += 20;
    ExpectEffects(Do([&] { link.Resumed(); }), {});  // the second broadcast of the same resume
    ExpectEffects(Do([&] { link.DevicesChanged(); }), {});
    ExpectEffects(Wait(), {"close receiver", "open receiver", "link timer off", "poll on"});
    link.Answered(true);
    EXPECT_TRUE(link.DropsKey());

    // A resume after a new sleep counts again; the card has gone meanwhile.
    link.Answered(false);
    link.Suspending();
    desktop.clock += 20;
    ExpectEffects(Do([&] { link.Resumed(); }), {"poll off", "link timer 1000"});
    desktop.cardThere = false;
    ExpectEffects(Wait(), {"close receiver", "open receiver: not found", "tip: no remote receiver",
                           "link timer 1000"});
}

TEST_F(Link, StandbyAndOffDoNothingFor5SecondsAfterAResumeAndTheOwnStandbyIsAResume) {
    link.Started(true);
    desktop.standbySleeps = true;
    router.OnRead(Code(K::Digit6));  // the pointer's button is held down
    // Its own standby returns once the PC has woken: the receiver is opened
    // afresh as after any resume, and the button was let go before the sleep.
    desktop.clock += 1000;
    ExpectEffects(Do([&] { router.OnRead(Code(K::Standby)); }),
                  {LetGo, "standby", "poll off", "link timer 1000"});
    for (K key : {K::Standby, K::Off}) {
        desktop.clock += 1000;  // a new press each time, still within 5 s
        ExpectEffects(Do([&] { router.OnRead(Code(key)); }), {});
    }
    state.settings.defaultSelector = Quillmarsh.row.selector;
    pointer.InitScreenBounds(1024, 768);
    desktop.clock += 300;
    ExpectEffects(Do([&] { router.OnRead(Code(K::Digit2)); }), {Cursor(499, 399)});  // the others as ever
    desktop.clock += 2800;  // 5.1 s after the resume
    ExpectEffects(Do([&] { router.OnRead(Code(K::Off)); }), {"standby", "poll off", "link timer 1000"});
}

TEST_F(Link, AResumeBeforeTheCardWasEverFoundKeepsTheSlowSchedule) {
    desktop.cardThere = false;
    link.Started(false);
    link.Suspending();
    ExpectEffects(Do([&] { link.Resumed(); }), {"poll off", "link timer 1000"});
    ExpectEffects(Wait(), {"close receiver", "open receiver: not found", "tip: no remote receiver",
                           "link timer 5000"});
    desktop.cardThere = true;
    ExpectEffects(Wait(), FoundAgain);
    EXPECT_FALSE(link.DropsKey());  // never opened before: nothing of it is stale
}

}  // namespace
