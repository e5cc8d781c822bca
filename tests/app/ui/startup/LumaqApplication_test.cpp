// lumaq's command line as the user typed it: Qt takes its own options out of
// argv, but the start-up rule counts them. Each case builds an application
// object of its own from the arguments it tests, so this test has its own
// main and no application object of its own.
#include "app/ui/LumaqApplication.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "app/ui/Zivoru_main.h"
#include "records/RecordLine.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

TEST(LumaqApplication, TheStartUpRuleCountsTheArgumentsAsTyped) {
  test::TempDir dir;
  const std::string bdt = dir.Write("JOB.BDT", ComposeRecordLine("P1", "", "1", "2", "3") + "\r\n");
  const struct {
    const char* label;
    std::vector<std::string> typed;
    const char* title;
  } cases[] = {
      {"one JOB.BDT", {bdt}, "JOB.BDT--全站仪坐标记录文件"},
      {"-reverse JOB.BDT", {"-reverse", bdt}, "Job1--全站仪坐标记录文件"},
      {"-platform offscreen JOB.BDT", {"-platform", "offscreen", bdt}, "Job1--全站仪坐标记录文件"},
      {"--open JOB.BDT -reverse", {"--open", bdt, "-reverse"}, "JOB.BDT--全站仪坐标记录文件"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<std::string> storage = {"lumaq"};
    storage.insert(storage.end(), c.typed.begin(), c.typed.end());
    std::vector<char*> argv;
    for (std::string& argument : storage) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(storage.size());

    ui::LumaqApplication app(argc, argv.data());
    EXPECT_EQ(app.TypedArguments(), c.typed);
    ui::TForm1 form;
    form.FormCreate(app.TypedArguments(), /*showSplash=*/false);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.title));
  }
}

}  // namespace
}  // namespace lumaq

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
