// The transfer's line on the real port: what the user is told when it cannot
// be opened or configured.
#include "comm/ComTransferPort.h"

#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <thread>

#include "comm/FrameHeaders.h"
#include "support/PseudoTerminal.h"
#include "support/Unprivileged.h"

namespace lumaq {
namespace {

using ::testing::MatchesRegex;

struct Port {
  LoopDispatcher loop;
  TComPort port{loop};
  ComTransferPort line{port};
  Port() { ApplyComPort1Design(port); }
};

std::string OpenFailure(ComTransferPort& line) {
  try {
    line.Open();
  } catch (const PortOpenError& error) {
    return error.what();
  }
  return "(opened)";
}

TEST(ComTransferPort, OpensTheDeviceAndTalksOverIt) {
  test::PseudoTerminal pty;
  Port p;
  p.port.SetDevicePath(pty.Path());
  p.line.Open();
  EXPECT_TRUE(p.line.Connected());
  const char poll = '\xAA';
  EXPECT_EQ(p.line.Write(&poll, 1), 1);
  EXPECT_EQ(pty.Receive(1, std::chrono::seconds(3)), "\xAA");
}

// A line whose far side answers each write at once, so that the answer is
// there before the program's next call, as a pseudo-terminal may deliver it.
class InstantAnswerDevice final : public SerialDevice {
 public:
  std::string input;   // received, not yet read
  std::string answer;  // what arrives the moment a write is made
  std::chrono::milliseconds drainTakes{0};

  void Open(const std::string&) override { open_ = true; }
  void Close() noexcept override { open_ = false; }
  bool IsOpen() const noexcept override { return open_; }
  void Configure(const SerialLineSettings&) override {}
  void SetQueueSizes(int, int) override {}
  SerialWaitResult Wait(SerialClock::time_point, unsigned) override {
    return input.empty() ? SerialWaitResult::kTimedOut : SerialWaitResult::kReadable;
  }
  void Interrupt() noexcept override {}
  std::size_t ReadAvailable(std::span<std::uint8_t> into) override {
    const std::size_t n = std::min(into.size(), input.size());
    std::copy_n(input.begin(), n, into.begin());
    input.erase(0, n);
    return n;
  }
  std::size_t Write(std::span<const std::uint8_t> bytes, SerialClock::time_point) override {
    input += answer;
    // Until the output has drained, as a slow line's write waits.
    std::this_thread::sleep_for(drainTakes);
    return bytes.size();
  }
  void Flush(bool in, bool) override {
    if (in) input.clear();
  }
  bool Drain(SerialClock::time_point) noexcept override { return true; }
  std::size_t BytesWaiting() override { return input.size(); }
  unsigned TakeLineErrors() override { return 0; }

 private:
  bool open_ = false;
};

// A transfer line on an instant-answer device at a baud rate, to be opened
// by the test once its port is set up.
struct InstantLine {
  explicit InstantLine(TBaudRate rate) {
    port.SetEvents({});
    port.SetDevicePath("instant");
    port.SetBaudRate(rate);
  }

  LoopDispatcher loop;
  std::unique_ptr<InstantAnswerDevice> owned = std::make_unique<InstantAnswerDevice>();
  InstantAnswerDevice& device = *owned;
  TComPort port{loop, std::move(owned)};
  ComTransferPort line{port};
};

// The program purges its input right after its own 0xBB or poll: what came in
// before the write goes, the instrument's answer to it stays, however long the
// write took. Every other purge drops all, a purge after some other write too.
TEST(ComTransferPort, OnlyThePurgeBeforeAnAnswerKeepsWhatAnswersIt) {
  enum class Purge { kBeforeAnswer, kAll, kOutputOnly };
  struct Case {
    const char* label;
    std::string before;  // in the queue before the write
    bool purgeFirst;     // a purge of the input just before the write
    Purge purge;
    std::string left;           // what the program can read after the purge
    TBaudRate rate = br256000;  // two bytes take 78 microseconds
    std::chrono::milliseconds drainTakes{0};
  } cases[] = {
      {"the answer stays, what came before goes", "\x55\x56", false, Purge::kBeforeAnswer, "FRAME"},
      {"nothing came before", "", false, Purge::kBeforeAnswer, "FRAME"},
      {"purged before the write too", "\x55", true, Purge::kBeforeAnswer, "FRAME"},
      {"a write long in draining (a loaded machine) still keeps the answer", "\x55", false,
       Purge::kBeforeAnswer, "FRAME", br1200, std::chrono::milliseconds(40)},
      {"a step's purge right after a write drops the answer too", "\x55", false, Purge::kAll, ""},
      {"the output alone purged: all stays", "\x55", false, Purge::kOutputOnly,
       "\x55"
       "FRAME"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    InstantLine instant(c.rate);
    InstantAnswerDevice& device = instant.device;
    ComTransferPort& line = instant.line;
    instant.port.Timeouts().SetReadInterval(-1);  // reads return at once with what is there
    instant.port.Timeouts().SetReadTotalConstant(0);
    line.Open();
    device.input = c.before;
    device.answer = "FRAME";
    device.drainTakes = c.drainTakes;
    if (c.purgeFirst) line.ClearBuffer(true, true);
    const char ack = '\xBB';
    switch (c.purge) {
      case Purge::kBeforeAnswer:
        line.WriteForAnswer(0xBB, 33);
        break;
      case Purge::kAll:
        line.Write(&ack, 1);
        line.ClearBuffer(true, true);
        break;
      case Purge::kOutputOnly:
        line.Write(&ack, 1);
        line.ClearBuffer(false, true);
        break;
    }
    std::string left(16, '\0');
    left.resize(static_cast<std::size_t>(line.Read(left.data(), 16)));
    EXPECT_EQ(left, c.left);
  }
}

// Bytes at pseudo-terminal speed can fill the port's queue before the purge;
// kept, they would stop the port from taking in more, and no byte would ever
// be reported again.
TEST(ComTransferPort, APurgeRightAfterAWriteDropsAFloodThatNoAnswerCanBe) {
  struct Case {
    const char* label;
    std::size_t after;  // bytes that came in after the write
    int left;
  } cases[] = {
      {"as long as the answer awaited: kept", kLongestFrameBody + 1,
       static_cast<int>(kLongestFrameBody) + 1},
      {"one more: all goes", kLongestFrameBody + 2, 0},
      {"a queue's worth: all goes", 4096, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    InstantLine instant(br1200);  // two bytes take 17 ms
    InstantAnswerDevice& device = instant.device;
    ComTransferPort& line = instant.line;
    line.Open();
    device.input = "\x55";
    device.answer = std::string(c.after, '\x01');
    line.WriteForAnswer(0xBB, static_cast<int>(kLongestFrameBody) + 1);
    EXPECT_EQ(line.InputCount(), c.left);
  }
}

TEST(ComTransferPort, ADeviceThatDoesNotExistIsNamedWithItsPort) {
  Port p;
  ComPortMap map;
  map.Map(3, "/nonexistent/ttyUSB9");
  p.port.SetPortMap(map);
  p.port.SetPort("COM3");
  EXPECT_EQ(OpenFailure(p.line),
            "COM3 (/nonexistent/ttyUSB9)：串口设备不存在（ENOENT）。请检查数据线是否连接，或在通讯"
            "设置中选择其他串口");
  EXPECT_FALSE(p.line.Connected());
}

TEST(ComTransferPort, APortHeldByAnotherProgramIsSaidToBeInUse) {
  test::PseudoTerminal pty;
  Port holder;
  holder.port.SetDevicePath(pty.Path());
  holder.line.Open();
  Port p;
  p.port.SetDevicePath(pty.Path());
  // Refused by the terminal's exclusive mode (EBUSY) or, for root, by the lock
  // (EWOULDBLOCK).
  EXPECT_THAT(OpenFailure(p.line),
              MatchesRegex("\"" + pty.Path() +
                           "\"：串口正被另一程序使用（(EBUSY|EAGAIN)）。请先关闭占用该串口的程序"));
  EXPECT_FALSE(p.line.Connected());
}

TEST(ComTransferPort, AUserWithoutPermissionIsToldWhichGroupGivesIt) {
  // A terminal that only its group may use, and that group not dialout
  // (root, who is refused nothing, tries as nobody).
  test::PseudoTerminal pty;
  const group* uucp = ::getgrnam("uucp");
  if (::geteuid() == 0 && uucp != nullptr) {
    ASSERT_EQ(::chown(pty.Path().c_str(), 0, uucp->gr_gid), 0);
  }
  ASSERT_EQ(::chmod(pty.Path().c_str(), 0060), 0);
  struct stat device {};
  ASSERT_EQ(::stat(pty.Path().c_str(), &device), 0);
  const std::string group = ::getgrgid(device.st_gid)->gr_name;
  const auto told = test::RunUnprivileged([&] {
    Port p;
    p.port.SetDevicePath(pty.Path());
    return CurrentUserName() + "\n" + OpenFailure(p.line);
  });
  if (!told) GTEST_SKIP() << "no user without privileges to be had";
  const std::string user = told->substr(0, told->find('\n'));
  ASSERT_FALSE(user.empty());
  EXPECT_EQ(told->substr(user.size() + 1),
            "\"" + pty.Path() + "\"：当前用户 " + user +
                " 没有使用此串口设备的权限（EACCES）。该设备属于 " + group +
                " 组：请运行 sudo usermod -aG " + group + " " + user +
                "，然后注销并重新登录（加入的组在新的登录后才生效）");
}

TEST(ComTransferPort, APortThatRefusesItsSettingsIsClosedAgainAndSaysSo) {
  test::PseudoTerminal pty;
  Port p;
  p.port.SetDevicePath(pty.Path());
  p.port.SetBaudRate(brCustom);
  p.port.SetCustomBaudRate(0);
  EXPECT_EQ(OpenFailure(p.line),
            "\"" + pty.Path() +
                "\"：串口无法设置通讯参数（EINVAL）。请在通讯设置中选择其他波特率或其他串口");
  EXPECT_FALSE(p.line.Connected());
}

}  // namespace
}  // namespace lumaq
