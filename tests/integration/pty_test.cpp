// The engine on the real POSIX device, with a pseudo-terminal's master as the far end of the line.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "support/pty_pair.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;

Bytes Of(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// The window hears of received bytes at most every 50 ms of the loop's clock: the clock steps
// with real time while the bytes come, as it does in the program, far below the second of
// silence that ends a reception.
bool Received(Rig& rig, std::uint32_t count) {
    for (int step = 0; step < 100; ++step) {
        if (rig.Pump([&] { return rig.received == count; }, 50ms)) {
            return true;
        }
        rig.loop.Advance(50ms);
    }
    return false;
}

struct Row {
    const char* name;
    void (*run)(Rig&, PtyPair&, const std::string& path);
};

class PtyEngine : public ::testing::TestWithParam<Row> {};

TEST_P(PtyEngine, TheEngineOnARealDevice) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    Rig rig(Rig::Face::kEngine, {},
            DeviceAccess{[] { return std::vector<PortInfo>{}; }, OpenSerialDevice});
    GetParam().run(rig, pty, pty.SlavePath());
}

const Row kRows[] = {
    // Each row: what the engine and the far end do on the pseudo-terminal, and what must hold.
    {"a z80 file goes out exactly and its pause is silence on the line",
     [](Rig& rig, PtyPair& pty, const std::string& path) {
         ASSERT_TRUE(rig.Open(path).ok());
         rig.Do("load HELLO_4000.bin 1000 2; send");
         Bytes got = pty.Read(5s, kHeaderSize);
         const auto headerEnd = std::chrono::steady_clock::now();
         got = Concat(got, pty.Read(5s));
         EXPECT_GE(std::chrono::steady_clock::now() - headerEnd, 80ms);
         got = Concat(got, pty.Read(5s, kHeaderSize + 1000 - got.size()));
         EXPECT_EQ(got, Of(rig.engine().Image().HeaderAndData()));
         rig.Do("idle");
         EXPECT_EQ(rig.log.back(), "ended open completed");
     }},
    {"a hang-up closes the port once and keeps the reception",
     [](Rig& rig, PtyPair& pty, const std::string& path) {
         ASSERT_TRUE(rig.Open(path).ok() && pty.Write(CountingBytes(100)));
         ASSERT_TRUE(Received(rig, 100));
         pty.CloseMaster();
         rig.Pump([] { return false; }, 300ms);
         EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "line lost 5"), 1);
         EXPECT_FALSE(rig.engine().IsOpen());
         EXPECT_EQ(Of(rig.engine().Reception()), CountingBytes(100));
     }},
    // A pseudo-terminal passes bytes on at once, so what this reader had not yet read when the
    // close began is no measure of the close: the engine table holds the close to one byte on a
    // line with a rate; here the send must end, not run on through the remaining 60,000 bytes.
    {"closing during a byte-by-byte send ends the send",
     [](Rig& rig, PtyPair& pty, const std::string& path) {
         ASSERT_TRUE(rig.Open(path).ok());
         rig.Do("load BIG_4000.bin 65000; send");
         for (std::size_t got = 0; got < 5000;) {
             got += pty.Read(1s).size();
         }
         rig.engine().Close();
         std::size_t late = 0;
         for (std::size_t more = 1; more > 0; late += more) {
             more = pty.Read(200ms).size();
         }
         EXPECT_LT(late, 4096u);
     }},
    {"the settings are applied and kept",
     [](Rig& rig, PtyPair&, const std::string& path) {
         ASSERT_TRUE(rig.engine().Open({path, 8065, Parity::kEven, 7, 2, true}).ok());
         rig.engine().Close();
         const auto device = OpenSerialDevice(path);
         // A pseudo-terminal keeps 8 data bits and no parity whatever is asked.
         const AppliedSettings a = device.value->ReadBack();
         EXPECT_EQ(std::tuple(a.baudRate, a.stopBits, a.ctsFlow), std::tuple(8065u, 2, true));
     }},
    {"what is no terminal is refused",
     [](Rig& rig, PtyPair&, const std::string&) {
         EXPECT_EQ(rig.Open(rig.dir.Write("file", "x")).text,
                   rig.dir.File("file") + " ist keine serielle Schnittstelle");
         EXPECT_EQ(rig.Open(rig.dir.File("missing")).os.code, ENOENT);
     }},
    // A device its group may open names the group to join; one only its owner may open (root's,
    // mode 0600) names the owner and a udev rule instead, since no group would help.
    {"a permission error says what helps",
     [](Rig& rig, PtyPair&, const std::string& path) {
         struct stat info {};
         // Root may open anything: it tries as nobody for the moment of the open, and meets a
         // device of its own; another user meets one whose group alone may open it.
         const bool root = geteuid() == 0;
         ASSERT_EQ(stat(path.c_str(), &info) | chmod(path.c_str(), root ? 0600 : 060), 0);
         ASSERT_TRUE(!root || seteuid(65534) == 0);
         const EngineResult opened = rig.Open(path);
         ASSERT_TRUE(!root || seteuid(0) == 0);
         EXPECT_EQ(opened.os.code, EACCES);
         const std::string group = getgrgid(info.st_gid)->gr_name;
         EXPECT_EQ(opened.os.hint,
                   root ? "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur root. Helfen kann root oder "
                          "eine udev-Regel, die es einer Gruppe \xF6"
                          "ffnet (GROUP=\"dialout\", MODE=\"0660\")."
                        : "Der Benutzer muss Mitglied der Gruppe \"" + group +
                              "\" sein, der das Ger\xE4t geh\xF6rt.");
     }},
    {"opening and closing while the far end sends",
     [](Rig& rig, PtyPair& pty, const std::string& path) {
         std::atomic<bool> sending{true};
         std::thread farEnd([&] {
             while (sending) {
                 pty.Write(CountingBytes(64), 5ms);
                 std::this_thread::sleep_for(1ms);
             }
         });
         for (int cycle = 0; cycle < 200; ++cycle) {
             EXPECT_TRUE(rig.Open(path).ok()) << cycle;
             rig.loop.RunPending();
             rig.engine().Close();
         }
         sending = false;
         farEnd.join();
         EXPECT_TRUE(std::none_of(rig.log.begin(), rig.log.end(), [](const std::string& e) {
             return e.starts_with("os error") || e.starts_with("line lost");
         }));
     }},
};

INSTANTIATE_TEST_SUITE_P(Rows, PtyEngine, ::testing::ValuesIn(kRows), RowName<Row>);

// An adapter pulled and plugged in again: the same link name leads to a new pseudo-terminal.
TEST(Pty, ALostPortIsOpenedAgainWhenItsDeviceReturns) {
    auto pty = std::make_unique<PtyPair>();
    std::string link;
    const auto ports = [&] { return std::vector<PortInfo>{{"ac1", link}}; };
    Rig rig(Rig::Face::kEngine, {}, DeviceAccess{ports, OpenSerialDevice});
    link = rig.dir.File("ac1");
    ASSERT_EQ(symlink(pty->SlavePath().c_str(), link.c_str()), 0);
    ASSERT_TRUE(rig.Open(link).ok());
    pty->CloseMaster();
    ASSERT_TRUE(rig.Pump([&] { return !rig.engine().IsOpen(); }));
    rig.loop.Advance(2s);
    EXPECT_FALSE(rig.engine().IsOpen());

    const auto unplugged = std::move(pty);
    pty = std::make_unique<PtyPair>();
    ASSERT_EQ(unlink(link.c_str()) | symlink(pty->SlavePath().c_str(), link.c_str()), 0);
    rig.loop.Advance(1s);
    ASSERT_TRUE(rig.engine().IsOpen());
    EXPECT_EQ(rig.log.back(), "reopened ac1");
    ASSERT_TRUE(pty->Write(CountingBytes(10)));
    EXPECT_TRUE(Received(rig, 10));
}

// The window on a real device: a reception that "COM schlie\xDF" "en" cuts off is kept, listed and
// saved byte for byte, also after the port is opened again.
TEST(PtyWindow, AReceptionTheCloseCutsOffIsKeptAndSavedWhole) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    const auto ports = [&] { return std::vector<PortInfo>{{"pty", pty.SlavePath()}}; };
    Rig rig(Rig::Face::kWindow, {}, DeviceAccess{ports, OpenSerialDevice});
    rig.Do("click COM");
    ASSERT_TRUE(rig.engine().IsOpen());
    ASSERT_TRUE(pty.Write(CountingBytes(100)));
    // Less than the second of silence that would end the reception passes on the loop's clock.
    for (int step = 0; step < 10 && rig.view.PaneText(3) != "Bytes empfangen: 100"; ++step) {
        rig.Pump([&] { return rig.view.PaneText(3) == "Bytes empfangen: 100"; }, 200ms);
        rig.loop.Advance(50ms);
    }
    ASSERT_EQ(rig.view.PaneText(3), "Bytes empfangen: 100");
    rig.Do("click COM; click COM; save rx.bin");
    rig.Expect(
        "COM=COM schlie\xDF"
        "en\non:save=1\nbox=Datei wurde erfolgreich geschrieben. - $DIR/rx.bin");
    const Bytes counting = CountingBytes(100);
    EXPECT_EQ(ReadFileBytes(rig.dir.File("rx.bin")), std::string(counting.begin(), counting.end()));
}

}  // namespace
}  // namespace velotrix::test
