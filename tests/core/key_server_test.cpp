// The key server's protocols apart from the sockets: WinLIRC's key line and
// command answers (their bytes as lircd.c's send_success, send_error,
// send_remote_list, send_remote and send_name write them, and the line as
// WinLIRC's and lircd's broadcast "%016llx %02x %s %s\n"), IR Server Suite's
// frames (as Kodi's IRServerSuite.cpp and IrssMessage.cpp read and write
// them), the place of a read in its press, where a key goes with clients
// connected, and the router telling them first. Names are the Linux input
// events' and those of the "Abstract" remote in Kodi's system/IRSSmap.xml.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "FakeDesktop.h"
#include "core/ServerClient.h"

namespace {

using K = RemoteKey;
using namespace std::string_literals;

std::string Answer(const std::string& line) { return core::LircAnswer(line); }

TEST(LircProtocol, EachReadIsOneLineOfCodeCountButtonAndRemote) {
    EXPECT_EQ(core::LircKeyLine(Code(K::Play), 0), "0000000000000044 00 KEY_PLAY Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::VolumeUp), 1), "000000000000001c 01 KEY_VOLUMEUP Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::Ok), 0x2a), "000000000000000e 2a KEY_OK Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::Digit1), 0), "0000000000000000 00 KEY_1 Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::Digit0), 0), "000000000000000a 00 KEY_0 Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::ChannelUp), 0), "000000000000001e 00 KEY_CHANNELUP Marlow\n");
    // The count never passes ff, nor goes below 00; a code of no key has no line.
    EXPECT_EQ(core::LircKeyLine(Code(K::Play), 0x100), "0000000000000044 ff KEY_PLAY Marlow\n");
    EXPECT_EQ(core::LircKeyLine(Code(K::Play), -3), "0000000000000044 00 KEY_PLAY Marlow\n");
    for (int code : {15, 80, 255, -1, 1000}) EXPECT_EQ(core::LircKeyLine(code, 0), "") << code;
}

TEST(LircProtocol, VersionAndListAreAnsweredInLircdsPacket) {
    EXPECT_EQ(Answer("VERSION"), "BEGIN\nVERSION\nSUCCESS\nDATA\n1\n3.1.0.0\nEND\n");
    EXPECT_EQ(Answer("version\r"), "BEGIN\nversion\nSUCCESS\nDATA\n1\n3.1.0.0\nEND\n");
    EXPECT_EQ(Answer("LIST"), "BEGIN\nLIST\nSUCCESS\nDATA\n1\nMarlow\nEND\n");
    EXPECT_EQ(Answer("LIST Marlow KEY_PLAY"),
              "BEGIN\nLIST Marlow KEY_PLAY\nSUCCESS\nDATA\n1\n0000000000000044 KEY_PLAY\nEND\n");
    EXPECT_EQ(Answer("list  marlow\tkey_mute"),
              "BEGIN\nlist  marlow\tkey_mute\nSUCCESS\nDATA\n1\n0000000000000014 KEY_MUTE\nEND\n");
    const std::string all = Answer("LIST Marlow");
    EXPECT_EQ(all.rfind("BEGIN\nLIST Marlow\nSUCCESS\nDATA\n45\n000000000000000c KEY_POWER\n", 0), 0u) << all;
    for (const char* line : {"0000000000000044 KEY_PLAY\n", "0000000000000009 KEY_LAST\n",
                             "000000000000004f KEY_NEXTSONG\nEND\n"})
        EXPECT_NE(all.find(line), std::string::npos) << line;
}

TEST(LircProtocol, EveryOtherLineIsAnErrorWithOneDataLine) {
    const struct {
        std::string line;
        std::string message;
    } errors[] = {
        {"SEND_ONCE Marlow KEY_PLAY", "hardware does not support sending"},
        {"SEND_START Marlow KEY_PLAY", "hardware does not support sending"},
        {"send_stop", "hardware does not support sending"},
        {"SET_TRANSMITTERS 1", "hardware does not support sending"},
        {"SIMULATE 0000000000000044 00 KEY_PLAY Marlow", "unknown directive: \"SIMULATE\""},
        {"", "bad send packet"},
        {"  \t", "bad send packet"},
        {"VERSION now", "bad send packet"},
        {"LIST Other", "unknown remote: \"Other\""},
        {"LIST Marlow KEY_NOPE", "unknown command: \"KEY_NOPE\""},
        {"LIST Marlow KEY_PLAY more", "bad send packet (trailing ws)"},
        {"\x01\xff\x7f", "unknown directive: \"\x01\xff\x7f\""},
    };
    for (const auto& error : errors) {
        const std::string echoed = error.line;
        EXPECT_EQ(Answer(error.line), "BEGIN\n" + echoed + "\nERROR\nDATA\n1\n" + error.message + "\nEND\n");
    }
}

TEST(LircProtocol, LinesAreSplitAtLfAndALineOverTheLimitEndsTheClient) {
    core::LircLineReader reader;
    std::vector<std::string> lines;
    const auto collect = [&lines](std::string_view line) { lines.emplace_back(line); };
    EXPECT_TRUE(reader.Take("VERS", 4, collect));
    EXPECT_TRUE(reader.Take("ION\nLIST\n\nLI", 12, collect));
    EXPECT_EQ(lines, (std::vector<std::string>{"VERSION", "LIST", ""}));
    const std::string longest(512, 'x');
    lines.clear();
    EXPECT_TRUE(reader.Take("\n", 1, collect));  // ends "LI"
    EXPECT_TRUE(reader.Take((longest + "\n").data(), 513, collect));
    EXPECT_EQ(lines.back(), longest);
    const std::string over(513, 'y');
    EXPECT_FALSE(reader.Take(over.data(), over.size(), collect));
    EXPECT_FALSE(reader.Take("LIST\n", 5, collect));
    EXPECT_EQ(lines.size(), 2u);
}

// A frame as Kodi writes one: the big-endian length, then type and flags in
// the machine's (little-endian) order, then the payload.
std::string KodiFrame(uint32_t type, uint32_t flags, const std::string& payload = "") {
    const uint32_t length = 8 + static_cast<uint32_t>(payload.size());
    std::string frame = {char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
    for (uint32_t value : {type, flags})
        for (int i = 0; i < 4; ++i) frame.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    return frame + payload;
}

TEST(IrssProtocol, KeysAreAbstractRemoteEventsInKodisFraming) {
    // RemoteEvent 11, Notify 4; the device's and the key's lengths little-endian.
    EXPECT_EQ(core::IrssKeyFrame(Code(K::Play)), KodiFrame(11, 4, "\x08\0\0\0Abstract\x04\0\0\0Play"s));
    EXPECT_EQ(core::IrssKeyFrame(Code(K::ChannelUp)), KodiFrame(11, 4, "\x08\0\0\0Abstract\x09\0\0\0ChannelUp"s));
    EXPECT_EQ(core::IrssKeyFrame(Code(K::Digit5)), KodiFrame(11, 4, "\x08\0\0\0Abstract\x07\0\0\0Number5"s));
    EXPECT_EQ(core::IrssKeyFrame(Code(K::Ok)), KodiFrame(11, 4, "\x08\0\0\0Abstract\x02\0\0\0OK"s));
    EXPECT_EQ(core::IrssKeyFrame(Code(K::SkipForward)), KodiFrame(11, 4, "\x08\0\0\0Abstract\x0b\0\0\0NextChapter"s));
    EXPECT_EQ(core::IrssKeyFrame(15), "");
    EXPECT_EQ(core::IrssFrame(core::IrssType::ServerShutdown, core::IrssNotify), KodiFrame(8, 4));
}

TEST(IrssProtocol, AClientRegistersAndThenGetsEachKey) {
    core::ServerClient kodi(core::ServerProtocol::Irss);
    EXPECT_EQ(kodi.KeyMessage(Code(K::Play), 0), "");  // not yet registered
    std::string out;
    // RegisterClient 1, Request 1, in two pieces: answered Response 2 | Success 8.
    const std::string hello = KodiFrame(1, 1);
    EXPECT_TRUE(kodi.Take(hello.data(), 5, out).keep);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(kodi.Take(hello.data() + 5, hello.size() - 5, out).keep);
    EXPECT_EQ(out, KodiFrame(1, 2 | 8, "False,True,False"));
    // Then, as Kodi does, the three receiver questions in one buffer.
    out.clear();
    const std::string questions = KodiFrame(21, 1) + KodiFrame(17, 1) + KodiFrame(19, 1);
    EXPECT_TRUE(kodi.Take(questions.data(), questions.size(), out).keep);
    EXPECT_EQ(out, KodiFrame(21, 10, "Marlow") + KodiFrame(17, 10, "Marlow") + KodiFrame(19, 10, "Marlow"));
    EXPECT_EQ(kodi.KeyMessage(Code(K::VolumeUp), 3), KodiFrame(11, 4, "\x08\0\0\0Abstract\x08\0\0\0VolumeUp"s));
    // Blasting fails, forced quiet gets nothing; unregistering ends the keys.
    out.clear();
    const std::string blast = KodiFrame(6, 1, "data") + KodiFrame(14, 1 | 0x400, "x") + KodiFrame(2, 1 | 0x400);
    EXPECT_TRUE(kodi.Take(blast.data(), blast.size(), out).keep);
    EXPECT_EQ(out, KodiFrame(6, 2 | 0x10));
    EXPECT_EQ(kodi.KeyMessage(Code(K::Play), 0), "");
}

TEST(IrssProtocol, FramesOutOfBoundsEndTheClientAndUnknownTypesAreIgnored) {
    const auto taken = [](const std::string& bytes) {
        core::ServerClient client(core::ServerProtocol::Irss);
        std::string out;
        const core::ServerClient::Taken result = client.Take(bytes.data(), bytes.size(), out);
        return std::make_pair(result, out);
    };
    EXPECT_FALSE(taken("\x00\x01\x00\x01"s).first.keep);             // 65537 bytes
    EXPECT_TRUE(taken("\x00\x01\x00\x00"s).first.keep);              // 65536: waits for them
    EXPECT_FALSE(taken("\x00\x00\x00\x07" "1234567"s).first.keep);   // shorter than type and flags
    EXPECT_FALSE(taken("\xff\xff\xff\xff"s).first.keep);
    const auto unknown = taken(KodiFrame(99, 1) + KodiFrame(0, 1));
    EXPECT_TRUE(unknown.first.keep);
    EXPECT_TRUE(unknown.first.ignored);
    EXPECT_EQ(unknown.second, "");
    // A broken client stays broken.
    core::ServerClient client(core::ServerProtocol::Irss);
    std::string out;
    EXPECT_FALSE(client.Take("\x7f\0\0\0", 4, out).keep);
    const std::string hello = KodiFrame(1, 1);
    EXPECT_FALSE(client.Take(hello.data(), hello.size(), out).keep);
    EXPECT_EQ(out, "");
}

TEST(ServerClient, NoiseNeverGrowsWithoutBoundNorCrashes) {
    std::mt19937 random(34);
    for (core::ServerProtocol protocol : {core::ServerProtocol::Lirc, core::ServerProtocol::Irss}) {
        for (int round = 0; round < 200; ++round) {
            core::ServerClient client(protocol);
            std::string out;
            bool kept = true;
            for (int piece = 0; piece < 20 && kept; ++piece) {
                std::string noise(random() % 700, '\0');
                for (char& byte : noise) byte = static_cast<char>(random() % (round % 2 ? 256 : 12) + (round % 2 ? 0 : '\t'));
                kept = client.Take(noise.data(), noise.size(), out).keep;
            }
            // Each answer is a whole packet; LIRC answers echo at most a line.
            if (protocol == core::ServerProtocol::Lirc) {
                EXPECT_TRUE(out.empty() || out.compare(out.size() - 4, 4, "END\n") == 0);
            }
        }
    }
}

TEST(ServerClient, TheReadsOfAPressCountFromZeroAndStopAtFf) {
    core::PressCounter counter;
    EXPECT_EQ(counter.Read(false), 0);
    EXPECT_EQ(counter.Read(true), 1);
    EXPECT_EQ(counter.Read(true), 2);
    for (int i = 3; i < 300; ++i) counter.Read(true);
    EXPECT_EQ(counter.Read(true), 0xff);
    EXPECT_EQ(counter.Read(false), 0);
}

TEST(ServerClient, AKeyIsTheClientsAloneWhenTheirProgramIsInFront) {
    const core::ProcessId clients[] = {0, 1200, 3400};
    EXPECT_TRUE(core::ForClientsOnly(3400, clients, 3));
    EXPECT_FALSE(core::ForClientsOnly(3400, clients, 2));
    EXPECT_FALSE(core::ForClientsOnly(77, clients, 3));
    EXPECT_FALSE(core::ForClientsOnly(0, clients, 3));  // unknown is no client's
}

// The router tells the listeners of each read, with the repeat rule's answer,
// before it routes; a read that is theirs alone is not routed.
struct Listeners final : core::KeyListeners {
    bool theirs = false;
    std::vector<std::pair<int, bool>> heard;
    bool Heard(int code, bool repeat) override {
        heard.emplace_back(code, repeat);
        return theirs;
    }
    void Routed() override { ++routed; }
    int routed = 0;
};

TEST(ServerClient, TheRouterTellsListenersFirstWithTheRepeatRulesAnswer) {
    RemoteOnDesktop on;
    on.pointer.InitScreenBounds(1024, 768);
    on.desktop.cursor = {500, 400};
    Listeners listeners;
    on.router.TellFirst(&listeners);
    const auto read = [&on](K key) { return on.desktop.Of([&] { on.router.OnRead(Code(key)); }); };
    EXPECT_FALSE(read(K::Digit3).empty());  // the pointer moves
    on.desktop.clock += core::PollIntervalMs * 2;
    read(K::Digit3);
    on.desktop.clock += core::RepeatWindowMs;
    read(K::Digit3);
    listeners.theirs = true;
    on.desktop.clock += 10;
    EXPECT_TRUE(read(K::Digit9).empty());
    const std::vector<std::pair<int, bool>> expected = {
        {Code(K::Digit3), false}, {Code(K::Digit3), true}, {Code(K::Digit3), false}, {Code(K::Digit9), false}};
    EXPECT_EQ(listeners.heard, expected);
    EXPECT_EQ(listeners.routed, 4);
}

}  // namespace
