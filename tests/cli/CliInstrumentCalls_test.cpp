// lumaq-cli instrument refusing what it cannot do: a wrong call and a file it
// cannot send exit 2 before the line is touched, a line or file it cannot use
// at run time exits 1; each with one line naming the reason.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "comm/FramesFile.h"
#include "records/RecordLine.h"
#include "records/TextLines.h"
#include "support/ChildProcess.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::TempDir;

TEST(InstrumentCalls, RefusedWithTheirExitStatusAndReason) {
  TempDir dir;
  const auto job = [&](const std::string& name, const JobText& records) {
    return dir.Write(name, JoinLinesCrLf(records));
  };
  const std::string good = job("GOOD.BDT", {ComposeRecordLine("P1", "", "1", "2", "3")});
  const std::string unpackable =
      job("BIG.BDT", {ComposeRecordLine("P1", "", "1", "2", "3"),
                      ComposeRecordLine("P2", "", "1", "10000000", "3")});
  const std::string comma = job("COMMA.BDT", {ComposeRecordLine("A,B", "", "1", "2", "3")});
  const std::string empty = job("EMPTY.BDT", {""});
  const std::string aFrame = FrameBytes({0xA2, std::string(39, ' ')});  // 40 bytes
  const std::string badFrames = dir.Write("bad.frames", aFrame + "\xBB" + aFrame);
  const std::string cutFrames = dir.Write("cut.frames", aFrame + aFrame.substr(0, 7));
  const std::string badTsm = dir.Write("BAD.TSM", std::string(test::RawRecordBuilder(0x01)));
  const std::string out = dir.Path("OUT.BDT");

  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    int status;
    std::string reason;  // a part of the one line on standard error
  } cases[] = {
      {"no action", {"--pty"}, 2, "no action given"},
      {"unknown action", {"--pty", "dance", good}, 2, "unknown action dance"},
      {"action without its file", {"--pty", "send-job"}, 2, "send-job takes one file"},
      {"no line", {"send-job", good}, 2, "name the line once"},
      {"two lines", {"--pty", "--device", "/dev/null", "send-job", good}, 2, "name the line once"},
      {"unknown option", {"--pty", "--loud", "send-job", good}, 2, "unknown option --loud"},
      {"time-out of 0", {"--pty", "--timeout", "0", "send-job", good}, 2, "--timeout"},
      {"count that is no number", {"--pty", "--cut", "x", "send-job", good}, 2, "--cut"},
      {"cut when receiving", {"--pty", "--cut", "2", "receive", out}, 2, "are for sending"},
      {"wrong echo when sending",
       {"--pty", "--wrong-echo", "2", "send-job", good},
       2,
       "--wrong-echo is for receive"},
      {"text raw records", {"--pty", "--text", "send-raw", badTsm}, 2, "--text goes with"},
      {"coordinate that cannot be packed", {"--pty", "send-job", unpackable}, 2, "record 2"},
      {"record a text frame cannot carry", {"--pty", "--text", "send-job", comma}, 2, "record 1"},
      {"job without records", {"--pty", "send-job", empty}, 2, "no records to send"},
      {"job that is no record file", {"--pty", "send-job", badFrames}, 2, "not a record file"},
      {"frames file with a byte that is no header",
       {"--pty", "send-frames", badFrames},
       2,
       "byte 0xBB at offset 40"},
      {"frames file cut short", {"--pty", "send-frames", cutFrames}, 2, "cut short"},
      {"measurement file refused", {"--pty", "send-raw", badTsm}, 2, "not a measurement data file"},
      {"job that is not there", {"--pty", "send-job", dir.Path("MISSING.BDT")}, 1, "MISSING.BDT"},
      {"device that is not there", {"--device", dir.Path("no-tty"), "send-job", good}, 1, "no-tty"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments{"instrument"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ChildProcess instrument(LUMAQ_CLI, arguments, dir.Path("errors.txt"));
    // Refused before a pseudo-terminal is made: nothing on standard output.
    EXPECT_EQ(instrument.ReadLine(10s), std::nullopt) << c.label;
    EXPECT_EQ(instrument.WaitForExit(10s), c.status) << c.label;
    const std::string errors = instrument.Errors();
    EXPECT_NE(errors.find(c.reason), std::string::npos) << c.label << ": " << errors;
  }
}

}  // namespace
}  // namespace lumaq
