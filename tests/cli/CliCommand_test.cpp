// What every command of lumaq-cli takes comes from its one declaration: its
// help, and what a wrong call is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

TEST(CliCommand, HelpAndWrongCallsComeFromTheDeclaration) {
  const test::TempDir dir;
  const std::string send =
      "usage: lumaq-cli send (--port COMn | --device PATH) [--baud RATE] IN.BDT\n";
  const std::string text = "usage: lumaq-cli text IN.TSM [OUT]";
  const struct {
    std::vector<std::string> arguments;
    int exitCode;
    std::string outStart;
    std::string err;
  } cases[] = {
      {{"send", "--help"}, 0, send + "\noptions:\n  --port COMn     a port COM1..COM16", ""},
      {{"text", "IN.TSM", "-h"}, 0, text + "   (OUT absent or - : standard output)\n", ""},
      {{"text", "IN.TSM", "--out", "X"}, 2, "", "lumaq-cli: unknown option --out\n" + text + "\n"},
      {{"send", "IN.BDT", "--device"}, 2, "", "lumaq-cli: --device needs a value\n" + send},
      {{"receive", "--no-journal=yes", "--device", "D", "OUT"},
       2,
       "",
       "lumaq-cli: --no-journal takes no value\nusage: lumaq-cli receive (--port COMn | --device "
       "PATH) [--baud RATE] [--no-journal] OUT\n"},
      // A usage of several lines is left to the help.
      {{"instrument", "--pty", "--timeout=0", "send-job", "J.BDT"},
       2,
       "",
       "lumaq-cli: --timeout takes a whole number from 1, not \"0\" (see lumaq-cli instrument "
       "--help)\n"},
      {{"text", "--", "--help"}, 1, "", "无法打开文件 \"--help\"：文件或文件夹不存在\n"},
  };
  for (const auto& c : cases) {
    std::string call;
    for (const std::string& argument : c.arguments) call += argument + ' ';
    SCOPED_TRACE(call);
    test::CliRun run;
    run.workingFolder = dir.Folder();
    const test::CliResult result = test::RunCli(c.arguments, run);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.out.substr(0, c.outStart.size()), c.outStart);
    EXPECT_EQ(c.outStart.empty(), result.out.empty());
    EXPECT_EQ(result.err, c.err);
  }
}

}  // namespace
}  // namespace lumaq
