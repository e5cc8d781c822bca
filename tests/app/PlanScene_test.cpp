#include "app/PlanScene.h"

#include <gtest/gtest.h>

#include <random>

#include "app/PlanTexts.h"

namespace lumaq {
namespace {

void SetRow(RecordTable& table, int row, RecordTable::Row cells) {
  table.SetRowCells(row, std::move(cells));
}

struct Drawn {
  int row;
  double e, n;
  std::string name, code;
  bool operator==(const Drawn&) const = default;
};

std::vector<Drawn> DrawnOf(const PlanScene& scene) {
  std::vector<Drawn> drawn;
  for (const PlanPoint& p : scene.Points())
    drawn.push_back({p.row, p.at.e, p.at.n, p.name, p.code});
  return drawn;
}

TEST(PlanScene, DrawsTheRecordsWhoseNAndEAreNumbers) {
  RecordTable table;
  SetRow(table, 1, {"P1", "3421000.5", "512000.25", "12", "JD"});
  SetRow(table, 2, {" P2 ", " 100 ", "-2E1", "", ""});             // trimmed, exponent
  SetRow(table, 3, {"P3", "12.5.3", "512000", "", ""});            // a record, no number
  SetRow(table, 4, {"P4", "100", "", "", ""});                     // no E: no record
  SetRow(table, 5, {"", "100", "200", "", ""});                    // no name: no record
  SetRow(table, 7, {"P7", "abc", "N/A", "", "\xB7\xBF\xBD\xC7"});  // a record, no numbers
  PlanScene scene;
  scene.Rebuild(table);
  EXPECT_EQ(DrawnOf(scene),
            (std::vector<Drawn>{{1, 512000.25, 3421000.5, "P1", "JD"}, {2, -20, 100, "P2", ""}}));
  EXPECT_EQ(scene.UndrawnCount(), 2);
  EXPECT_EQ(scene.PointOfRow(2), 1u);
  EXPECT_EQ(scene.PointOfRow(3), std::nullopt);
  EXPECT_EQ(LabelText(scene.Points()[0], true), "P1 JD");
  EXPECT_EQ(LabelText(scene.Points()[1], true), "P2");
  EXPECT_EQ(LabelText(scene.Points()[0], false), "P1");
}

// Rows read again one at a time give what reading the whole table gives.
TEST(PlanScene, RowsReadAgainMatchARebuildAfterEveryEdit) {
  RecordTable table;
  PlanScene scene;
  scene.Rebuild(table);
  std::mt19937 random(5);
  const std::vector<RecordTable::Row> kinds = {{"A", "10", "20", "", ""},
                                               {"B", "1x", "20", "", ""},
                                               {"", "", "", "", ""},
                                               {"C", "30.5", "-4", "", "K"}};
  for (int step = 0; step < 400; ++step) {
    const int row = 1 + static_cast<int>(random() % 40);
    SetRow(table, row, kinds[random() % kinds.size()]);
    table.SetCell(kColE, row, table.Cell(kColE, row).empty() ? "" : std::to_string(step));
    scene.UpdateRows(table, row, row);
    PlanScene fresh;
    fresh.Rebuild(table);
    ASSERT_EQ(DrawnOf(scene), DrawnOf(fresh)) << step;
    ASSERT_EQ(scene.UndrawnCount(), fresh.UndrawnCount()) << step;
    for (int r = 1; r <= 40; ++r) ASSERT_EQ(scene.PointOfRow(r), fresh.PointOfRow(r)) << r;
  }
}

TEST(PlanScene, FindsTheClickedPointAndPutsOutliersFirstForLabels) {
  RecordTable table;
  for (int i = 1; i <= 30; ++i) {
    SetRow(table, i,
           {"P" + std::to_string(i), std::to_string(3421000 + i % 6),
            std::to_string(512000 + i / 6), "", ""});
  }
  SetRow(table, 31, {"SWAP", "512003", "3421002", "", ""});
  PlanScene scene;
  scene.Rebuild(table);
  EXPECT_EQ(scene.Outliers(), std::vector<std::size_t>{30});
  EXPECT_EQ(scene.LabelledPoints(1e-3, {}, false).front(), 30u);
  EXPECT_EQ(scene.NearestWithin({512001.3, 3421002.2}, 0.3), std::nullopt);
  EXPECT_EQ(scene.NearestWithin({512001.3, 3421002.2}, 0.4), *scene.PointOfRow(8));
  EXPECT_EQ(scene.NearestWithin({3421002, 512003}, 1), 30u);
}

TEST(PlanTexts, SayWhereThePointerIsAndWhatThePlanHolds) {
  EXPECT_EQ(PlanCursorText({512000.4567, -3421000.1}), "N -3421000.100  E 512000.457");
  const auto utf8 = [](const char* text) { return TextPiece{text}; };
  const auto name = [](const char* text) { return TextPiece{text, TextEncoding::kCodePage}; };
  struct Case {
    int drawn, undrawn;
    std::vector<std::string> outliers;
    std::vector<TextPiece> summary;
  } cases[] = {
      {15999, 0, {}, {utf8("点数:15999")}},
      {12, 3, {}, {utf8("未绘出:3 点数:12")}},
      {0, 0, {}, {utf8("点数:0")}},
      {9, 1, {"K35"}, {utf8("离群点:"), name("K35"), utf8(" "), utf8("未绘出:1 点数:9")}},
      {9,
       0,
       {"A", "B", "C", "D", "E", "F", "G"},
       {utf8("离群点:"), name("A"), utf8(","), name("B"), utf8(","), name("C"), utf8(","),
        name("D"), utf8(","), name("E"), utf8("等7个 "), utf8("点数:9")}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanSummary(c.drawn, c.undrawn, c.outliers), c.summary);
  EXPECT_EQ(
      JoinPieces(cases[3].summary, [](std::string_view s) { return "<" + std::string(s) + ">"; }),
      "离群点:<K35> 未绘出:1 点数:9");
}

}  // namespace
}  // namespace lumaq
