// lumaq-cli ports: the serial devices present with their COM names, then the
// ports of "Commpara" whose device is not there. The test's ports are
// pseudo-terminals and missing files led to by [PortMap] of the Commpara
// beside a copy of lumaq-cli; this machine's own devices come first and vary,
// so only the test's lines are compared.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "records/TextLines.h"
#include "support/ChildProcess.h"
#include "support/PseudoTerminal.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

TEST(PortsCli, ListsTheDevicesPresentThenThePortsWithoutTheirDevice) {
  test::TempDir dir;
  test::PseudoTerminal pty;
  const std::string program = dir.Path("lumaq-cli");
  std::filesystem::copy_file(LUMAQ_CLI, program);
  // The stored port COM4 is one of the absent.
  dir.Write("Commpara", "[ComPort1]\r\nPort=COM4\r\n[PortMap]\r\nCOM6=" + dir.Path("gone6") +
                            "\r\nCOM3=" + pty.Path() + "\r\nCOM4=" + dir.Path("gone4") + "\r\n");
  const test::CliResult result = test::RunCli({"ports"}, {}, program);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::vector<std::string> absent = {"COM4   " + dir.Path("gone4") + "  未连接",
                                           "COM6   " + dir.Path("gone6") + "  未连接"};
  JobText ours;
  for (const std::string& line : SplitTextLines(result.out)) {
    if (line.find(dir.Folder()) != std::string::npos ||
        line.find(pty.Path()) != std::string::npos) {
      ours.push_back(line);
    }
  }
  EXPECT_EQ(ours, (JobText{"COM3   " + pty.Path() + "  伪终端", absent[0], absent[1]}));
  EXPECT_TRUE(result.out.ends_with(absent[0] + "\n" + absent[1] + "\n")) << result.out;
}

}  // namespace
}  // namespace lumaq
