// 工具 > 坐标系 without its window: the list from PROJ's database, the
// system chosen or typed, and where it is kept.
#include "app/CrsCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "app/JobCrs.h"
#include "formats/ExchangeFormats.h"
#include "formats/GisFormats.h"
#include "records/JobFiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

// Answers with a code as the user would pick or type it; nothing: cancel.
class ScriptedCrsDialog : public CrsDialog {
 public:
  std::optional<CrsEntry> AskCrs(const CrsRequest& request) override {
    requests.push_back(request);
    if (!answer) return std::nullopt;
    return request.lookUp(*answer);
  }
  std::optional<std::string> answer;
  std::vector<CrsRequest> requests;
};

class CrsCommandTest : public ::testing::Test {
 protected:
  void Choose(std::optional<std::string> code) {
    crsDialog.answer = std::move(code);
    CrsCommand(program.Folder(), dialogs, crsDialog).MenuCrsClick();
  }

  test::TempDir program;
  test::ScriptedDialogs dialogs;
  ScriptedCrsDialog crsDialog;
};

TEST_F(CrsCommandTest, ListsTheFamiliesOfPROJsDatabaseWithNameAndCode) {
  Choose(std::nullopt);
  ASSERT_EQ(crsDialog.requests.size(), 1u);
  const std::vector<CrsEntry>& systems = crsDialog.requests[0].systems;
  const auto listed = [&](const std::string& code) {
    const auto found = std::find_if(systems.begin(), systems.end(),
                                    [&](const CrsEntry& entry) { return entry.code == code; });
    return found == systems.end() ? std::string("(none)") : found->name;
  };
  EXPECT_EQ(listed("EPSG:4547"), "CGCS2000 / 3-degree Gauss-Kruger CM 114E");
  EXPECT_EQ(listed("EPSG:4526"), "CGCS2000 / 3-degree Gauss-Kruger zone 38");
  EXPECT_EQ(listed("EPSG:4491"), "CGCS2000 / Gauss-Kruger zone 13");
  EXPECT_EQ(listed("EPSG:2383"), "Xian 1980 / 3-degree Gauss-Kruger CM 114E");
  EXPECT_EQ(listed("EPSG:2435"), "Beijing 1954 / 3-degree Gauss-Kruger CM 114E");
  EXPECT_EQ(listed("EPSG:32650"), "WGS 84 / UTM zone 50N");
  EXPECT_EQ(listed("EPSG:3857"), "(none)");  // a projected system of no family
  // CGCS2000 first, WGS 84 / UTM last.
  EXPECT_EQ(systems.front().name.substr(0, 8), "CGCS2000");
  EXPECT_EQ(systems.back().name.substr(0, 17), "WGS 84 / UTM zone");
  EXPECT_EQ(CrsLabel(systems.front()), systems.front().name + " (" + systems.front().code + ")");
}

TEST_F(CrsCommandTest, TheChoiceIsKeptInItsOwnSectionOfCommpara) {
  const std::string settings = program.Write("Commpara", "[PortMap]\r\nCOM3=/dev/ttyUSB0\r\n");
  Choose("4547");
  EXPECT_EQ(ReadFileBytes(settings),
            "[PortMap]\r\nCOM3=/dev/ttyUSB0\r\n\r\n[CoordinateSystem]\r\nCrs=EPSG:4547\r\n");
  Choose(std::nullopt);  // cancelled: the stored one stays, and is the current one
  EXPECT_EQ(crsDialog.requests.back().current, "EPSG:4547");
  Choose("epsg:32650");
  EXPECT_EQ(StoredJobCrs(program.Folder()), "EPSG:32650");
  // The GIS formats get it; the others do not read it.
  EXPECT_EQ(JobExchangeOptions(*FindExchangeFormat("gpkg"), program.Folder()).crs, "EPSG:32650");
  EXPECT_EQ(JobExchangeOptions(*FindExchangeFormat("gpkg"), program.Folder(), "EPSG:2383").crs,
            "EPSG:2383");
  EXPECT_EQ(JobExchangeOptions(*FindExchangeFormat("csv"), program.Folder()).crs, "");
}

TEST_F(CrsCommandTest, ATypedCodeThatNamesNoProjectedSystemIsRefused) {
  for (const char* typed : {"EPSG:4326", "999999", "UTM50"}) {
    SCOPED_TRACE(typed);
    EXPECT_THROW(Choose(typed), RejectedGisInput);
  }
  EXPECT_EQ(StoredJobCrs(program.Folder()), "");
}

}  // namespace
}  // namespace lumaq
