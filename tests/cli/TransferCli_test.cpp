// lumaq-cli receive and send end to end: the program on one side of a
// pseudo-terminal, a small instrument played by the test on the other.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "comm/FrameHeaders.h"
#include "comm/JournalFile.h"
#include "rawdata/RawRecord.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ChildProcess.h"
#include "support/InstrumentFrames.h"
#include "support/PseudoTerminal.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Bytes;
using test::WithChecksum;

const std::string kOk(1, '\0');
const std::string kTreeBody = test::BinaryCoordinateBody(
    "P1", "TREE", Bytes({0x00, 0x03, 0x45, 0x67, 0x89}), Bytes({0x00, 0x01, 0x23, 0x45, 0x67}),
    Bytes({0x00, 0x00, 0x01, 0x23, 0x00}));
const std::string kTreeLine = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");

class TransferCli : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& arguments) {
    cli_ = std::make_unique<test::ChildProcess>(LUMAQ_CLI, arguments, dir_.Path("stderr.txt"),
                                                dir_.Folder());
  }
  std::optional<int> WaitForExit() { return cli_->WaitForExit(20s); }
  std::string Errors() const { return ReadFileBytes(dir_.Path("stderr.txt")); }

  // The instrument sends a frame: its header until the program answers 0xBB
  // (it may not have opened the line yet), then the body with its sum, again
  // from the header when the program answers 0xFF. Returns the last answer.
  std::string SendFrame(std::uint8_t header, const std::string& body) {
    const auto deadline = Clock::now() + 20s;
    std::string verdict;
    while (Clock::now() < deadline) {
      if (!SendHeader(header)) continue;
      pty_.Send(WithChecksum(body));
      verdict = pty_.Receive(1, 30s);
      if (verdict != "\xFF") return verdict;
    }
    return verdict;
  }

  // Sends a header until the program answers 0xBB, and leaves it time to
  // purge its input; false when it did not answer by the deadline.
  bool SendHeader(std::uint8_t header) {
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline) {
      pty_.Send(std::string(1, static_cast<char>(header)));
      if (pty_.Receive(1, 500ms) != "\xBB") continue;
      // The program purges its input right after 0xBB; an instrument at
      // serial speed is never faster than that.
      std::this_thread::sleep_for(100ms);
      return true;
    }
    return false;
  }

  // Waits for the program's poll 0xAA and for the line to go quiet after it.
  bool AwaitPoll() {
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline) {
      if (pty_.Receive(1, 1s) != "\xAA") continue;
      while (!pty_.Receive(1, 30ms).empty()) {
      }
      return true;
    }
    return false;
  }

  // Requests the next record once the program polls and returns its frame.
  // A poll that crossed the request (the program purges its input and polls
  // every 100 ms until it first hears the instrument) is answered again; no
  // frame starts with 0xAA, which is no instrument character code.
  std::string RequestFrame(std::size_t size) {
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline && AwaitPoll()) {
      pty_.Send("\xBB");
      std::string frame = pty_.Receive(1, 5s);
      if (frame == "\xAA") continue;
      return frame + pty_.Receive(size - 1, 5s);
    }
    return "";
  }

  test::TempDir dir_;
  test::PseudoTerminal pty_;
  std::unique_ptr<test::ChildProcess> cli_;
};

TEST_F(TransferCli, ReceiveSavesCoordinateRecordsAsRecordLines) {
  Start({"receive", "--device", pty_.Path(), "OUT.BDT"});
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  EXPECT_EQ(SendFrame(0x06, test::TextCoordinateBody("P2,PT,10.5,20.25,-3")), kOk);
  pty_.Send("\xEE");
  EXPECT_EQ(WaitForExit(), 0) << Errors();
  EXPECT_EQ(ReadFileBytes(dir_.Path("OUT.BDT")),
            JoinLinesCrLf({kTreeLine, ComposeRecordLine("P2", "PT", "10.5", "20.25", "-3")}));
  EXPECT_EQ(Errors(), "\r已传输记录数 0\r已传输记录数 1\r已传输记录数 2\n数据转输终止!\n");
}

TEST_F(TransferCli, ReceiveSavesRawRecordsByteForByteAsATsmFile) {
  const std::string records[] = {
      test::RawRecordBuilder(kRawInstrument).Bytes(1, "OTHER-1"),
      test::RawRecordBuilder(kRawPoint).NameCode("A1", "X").Link(1),
      test::RawRecordBuilder(kRawPoint).NameCode("A2").Link(1),
  };
  Start({"receive", "--device", pty_.Path(), "--baud", "9600", "FIELD.TSM"});
  for (const std::string& record : records) EXPECT_EQ(SendFrame(0xA8, record), kOk);
  pty_.Send("\xEE");
  EXPECT_EQ(WaitForExit(), 0) << Errors();
  EXPECT_EQ(ReadFileBytes(dir_.Path("FIELD.TSM")), records[0] + records[1] + records[2]);
}

TEST_F(TransferCli, ReceiveSavesWhatWasAcceptedWhenTheLineGoesAway) {
  Start({"receive", "--device", pty_.Path(), "OUT.BDT"});
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  pty_.CloseFarSide();
  EXPECT_EQ(WaitForExit(), 1) << Errors();
  EXPECT_EQ(ReadFileBytes(dir_.Path("OUT.BDT")), JoinLinesCrLf({kTreeLine, kTreeLine}));
  EXPECT_EQ(Errors(),
            "\r已传输记录数 0\r已传输记录数 1\r已传输记录数 2\n通讯错误!请重新连接！ (ceIO)\n");
}

TEST_F(TransferCli, ReceiveSavesWhatWasAcceptedWhenTheCableIsPulledInsideAFrame) {
  // The next frame's header is answered and 16 of its 33 bytes are on the
  // line when the cable goes.
  Start({"receive", "--device", pty_.Path(), "OUT.BDT"});
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  ASSERT_TRUE(SendHeader(0xAA));
  pty_.Send(WithChecksum(kTreeBody).substr(0, 16));
  std::this_thread::sleep_for(50ms);  // the bytes reach the program first
  pty_.CloseFarSide();
  EXPECT_EQ(WaitForExit(), 1) << Errors();
  EXPECT_EQ(ReadFileBytes(dir_.Path("OUT.BDT")), JoinLinesCrLf({kTreeLine}));
  // The read of the body fails (EIO) before the port reports the hang-up.
  EXPECT_EQ(
      Errors(),
      "\r已传输记录数 0\r已传输记录数 1\n通讯错误!请重新连接！ (无法从串口读取数据（EIO）)\n");
}

TEST_F(TransferCli, ReceiveDropsAFloodOfNoiseUnansweredAndTakesTheFramesAfterIt) {
  // 256 KiB of random bytes in runs of 1 to 64 while a header is awaited:
  // none is a header or the end byte, so none may be answered or make a
  // record, whether it comes alone or with others.
  Start({"receive", "--device", pty_.Path(), "OUT.BDT"});
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  std::mt19937 random(15);
  std::uniform_int_distribution<int> runLength(1, 64);
  std::uniform_int_distribution<int> byteValue(0, 255);
  std::size_t sent = 0;
  while (sent < 256 * 1024) {
    std::string run;
    while (run.size() < static_cast<std::size_t>(runLength(random))) {
      const auto byte = static_cast<std::uint8_t>(byteValue(random));
      if (!FindFrameHeader(byte) && byte != kEndByte) run += static_cast<char>(byte);
    }
    ASSERT_TRUE(pty_.SendWithin(run, 5s)) << "the program stopped taking bytes after " << sent;
    sent += run.size();
  }
  EXPECT_EQ(pty_.Receive(1, 500ms), "");  // no answer to any of it
  const std::string text = test::TextCoordinateBody("P2,PT,10.5,20.25,-3");
  EXPECT_EQ(SendFrame(0x06, text), kOk);
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  pty_.Send("\xEE");
  EXPECT_EQ(WaitForExit(), 0) << Errors();
  EXPECT_EQ(
      ReadFileBytes(dir_.Path("OUT.BDT")),
      JoinLinesCrLf({kTreeLine, ComposeRecordLine("P2", "PT", "10.5", "20.25", "-3"), kTreeLine}));
}

TEST_F(TransferCli, SendEndsWithTheLineErrorWhenTheCableIsPulled) {
  const std::string p1 = ComposeRecordLine("P1", "", "1", "2", "3");
  dir_.Write("JOB.BDT", p1 + "\r\n" + p1 + "\r\n" + p1 + "\r\n");
  Start({"send", "--device", pty_.Path(), "JOB.BDT"});
  const std::string first = RequestFrame(32);
  pty_.Send(std::string(1, static_cast<char>(FrameChecksum(first))));
  EXPECT_EQ(pty_.Receive(1, 5s), kOk);
  // The second record's frame came; the cable goes before its echo.
  EXPECT_EQ(RequestFrame(32), first);
  pty_.CloseFarSide();
  EXPECT_EQ(WaitForExit(), 1) << Errors();
  EXPECT_EQ(Errors(), "\r已传输记录数 0\r已传输记录数 1\n通讯错误!请重新连接！ (ceIO)\n");
}

// Ctrl-C or SIGTERM during a frame: the frame is answered 0x00 and saved, and
// the answer reaches the instrument before the port closes.
TEST_F(TransferCli, ReceiveStopsOnCtrlCAndSaves) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal == SIGINT ? "Ctrl-C" : "SIGTERM");
    Start({"receive", "--device", pty_.Path(), "OUT.BDT"});
    EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
    ASSERT_TRUE(SendHeader(0xAA));
    pty_.Send(WithChecksum(kTreeBody));
    cli_->Signal(signal);
    EXPECT_EQ(pty_.Receive(1, 5s), kOk);
    EXPECT_EQ(WaitForExit(), 130) << Errors();
    EXPECT_EQ(ReadFileBytes(dir_.Path("OUT.BDT")), JoinLinesCrLf({kTreeLine, kTreeLine}));
  }
}

TEST_F(TransferCli, SendIsAcknowledgedRecordByRecord) {
  const std::string p1 = ComposeRecordLine("p1", "ab", "12.345", "-6.5", "0");
  const std::string p2 = ComposeRecordLine("P2", "", "100", "200", "300");
  dir_.Write("JOB.BDT", p1 + "\r\n\r\n" + p2 + "\r\n");
  Start({"send", "--device", pty_.Path(), "JOB.BDT"});
  std::vector<std::string> frames;
  for (int record = 0; record < 2; ++record) {
    frames.push_back(RequestFrame(32));
    pty_.Send(std::string(1, static_cast<char>(FrameChecksum(frames.back()))));
    EXPECT_EQ(pty_.Receive(1, 5s), kOk);
  }
  EXPECT_EQ(pty_.Receive(1, 5s), "\xEE");
  EXPECT_EQ(WaitForExit(), 0) << Errors();
  EXPECT_EQ(frames[0], test::InstrumentCodes("P1") + test::InstrumentCodes("AB") +
                           Bytes({0x00, 0x00, 0x01, 0x23, 0x45}) +
                           Bytes({0x00, 0x00, 0x0F, 0x65, 0x00}) + std::string(6, '\0'));
  EXPECT_EQ(frames[1].substr(0, 8), test::InstrumentCodes("P2"));
  EXPECT_EQ(Errors(), "\r已传输记录数 0\r已传输记录数 1\r已传输记录数 2\n数据传输结束!\n");
}

// A record that cannot be packed is named by its line in the file, whatever
// lines without a record come before it.
TEST_F(TransferCli, SendStopsAtARecordThatCannotBePacked) {
  const std::string first = ComposeRecordLine("P1", "", "1", "2", "3") + "\r\n";
  const std::string bad = ComposeRecordLine("P2", "", "abc", "2", "3") + "\r\n";
  const struct {
    const char* label;
    std::string file;
    int line;
  } cases[] = {
      {"on the second line", first + bad, 2},
      {"after an empty line and a nameless one",
       first + "\r\n" + ComposeRecordLine("", "", "1", "2", "3") + "\r\n" + bad, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    dir_.Write("JOB.BDT", c.file);
    Start({"send", "--device", pty_.Path(), "JOB.BDT"});
    const std::string frame = RequestFrame(32);
    pty_.Send(std::string(1, static_cast<char>(FrameChecksum(frame))));
    EXPECT_EQ(pty_.Receive(1, 5s), kOk);
    ASSERT_TRUE(AwaitPoll());
    pty_.Send("\xBB");
    EXPECT_EQ(WaitForExit(), 2) << Errors();
    EXPECT_EQ(pty_.Receive(1, 100ms), "");  // no frame, no end byte
    EXPECT_EQ(Errors(), "\r已传输记录数 0\r已传输记录数 1\n第 " + std::to_string(c.line) +
                            " 行的记录（点号 P2）无法发送：坐标数据无法发送（不是数字或超出 "
                            "-999999.999~9999999.999）：\"abc\"\n");
  }
}

TEST_F(TransferCli, APortNameLeadsThroughThePortMapOfCommparaBesideTheProgram) {
  // lumaq-cli keeps its settings in its own folder: a copy of it in the
  // test's folder reads the Commpara there.
  const std::string program = dir_.Path("lumaq-cli");
  std::filesystem::copy_file(LUMAQ_CLI, program);
  dir_.Write("Commpara", "[ComPort1]\r\nPort=COM2\r\nBaudRate=19200\r\n[PortMap]\r\nCOM3=" +
                             pty_.Path() + "\r\n");
  cli_ = std::make_unique<test::ChildProcess>(
      program, std::vector<std::string>{"receive", "--port", "com3", "OUT.BDT"},
      dir_.Path("stderr.txt"), dir_.Folder());
  EXPECT_EQ(SendFrame(0xAA, kTreeBody), kOk);
  const termios line = pty_.NearSettings();
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B19200));
  pty_.Send("\xEE");
  EXPECT_EQ(WaitForExit(), 0) << Errors();
  EXPECT_EQ(ReadFileBytes(dir_.Path("OUT.BDT")), JoinLinesCrLf({kTreeLine}));
}

TEST_F(TransferCli, CallsThatEndBeforeAnyTransfer) {
  dir_.Write("EMPTY.BDT", "\r\n\r\n");
  std::string longFile;
  for (int i = 1; i <= 16001; ++i) longFile += ComposeRecordLine("P", "", "1", "2", "3") + "\r\n";
  dir_.Write("LONG.BDT", longFile);
  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    int exitCode;
    std::string errors;
  } cases[] = {
      {"a device that does not exist",
       {"receive", "--device", "/nonexistent/tty", "OUT.BDT"},
       1,
       "无法打开串口！程序无法正常运行！\n\"/nonexistent/"
       "tty\"：串口设备不存在（ENOENT）。请检查数据线"
       "是否连接，或在通讯设置中选择其他串口\n"},
      {"no port", {"receive", "OUT.BDT"}, 2, ""},
      {"two ports", {"send", "--port", "COM1", "--device", "/dev/null", "JOB.BDT"}, 2, ""},
      {"a baud rate that is no number", {"receive", "--device", "x", "--baud", "fast", "O"}, 2, ""},
      {"a job without records",
       {"send", "--device", "/nonexistent/tty", "EMPTY.BDT"},
       2,
       "\"EMPTY.BDT\": no records to send\n"},
      {"a port beyond COM16", {"receive", "--port", "COM99", "OUT.BDT"}, 2, ""},
      {"a printer port", {"send", "--port", "LPT1", "EMPTY.BDT"}, 2, ""},
      {"an empty port name", {"receive", "--port", "", "OUT.BDT"}, 2, ""},
      {"an OUT that is a FIFO",
       {"receive", "--device", "/nonexistent/tty", "FIFO.BDT"},
       2,
       "无法写入文件 \"FIFO.BDT\"：这是一个管道（FIFO），不是普通文件\n"},
      {"an IN that is a FIFO",
       {"send", "--device", "/nonexistent/tty", "FIFO.BDT"},
       2,
       "无法打开文件 \"FIFO.BDT\"：这是一个管道（FIFO），不是普通文件\n"},
      {"a file longer than the record table",
       {"send", "--device", "/nonexistent/tty", "LONG.BDT"},
       1,
       "提示：\"LONG.BDT\" 的记录超过 15999 条，其余 2 条未读入\nlumaq-cli: the 15999 records "
       "of its first 15999 lines are sent, the other 2 lines are "
       "not\n无法打开串口！程序无法正常运行"
       "！\n\"/nonexistent/"
       "tty\"：串口设备不存在（ENOENT）。请检查数据线是否连接，或在通讯设置中选择其他串口\n"},
      {"another receive into the same OUT, without journals",
       {"receive", "--no-journal", "--device", "/nonexistent/tty", "BUSY.BDT"},
       2,
       "\"BUSY.BDT\": another receive into it is running\n"},
  };
  ASSERT_EQ(::mkfifo(dir_.Path("FIFO.BDT").c_str(), 0600), 0);
  const auto otherReceive = JournalFile::HoldLock(dir_.Path("BUSY.BDT.lock"));
  ASSERT_TRUE(otherReceive);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Start(c.arguments);
    EXPECT_EQ(WaitForExit(), c.exitCode);
    if (c.errors.empty()) {
      EXPECT_EQ(Errors().rfind("lumaq-cli: ", 0), 0u) << Errors();  // a wrong call
    } else {
      EXPECT_EQ(Errors(), c.errors);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("OUT.BDT")));
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir_.Path("FIFO.BDT")));
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("BUSY.BDT")));
}

}  // namespace
}  // namespace lumaq
