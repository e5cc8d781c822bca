#include "app/PrintListing.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/MainCommands.h"
#include "app/PrintCommand.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/FakeMainView.h"
#include "support/HeadlessWindow.h"
#include "support/RecordingPrintSurface.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

using test::PrintCall;
using test::PrintLog;
using test::RecordingPrintSurface;
using Kind = PrintCall::Kind;

const std::string kStars(58, '*');
const std::string kFirstTitle = "                  全站仪坐标记录文件                      ";
const std::string kLaterTitle = "*                 全站仪坐标记录文件                     *";
const std::string kColumns = "NO.  PT      CODE      N           E           Z";

// Text height 15 gives a pitch of 20: a page 100 + 20 * (L + 1) high has L
// slots for lines and one below them for its number.
constexpr int PageHeightFor(int slots) {
  return 100 + 20 * (slots + 1);
}

JobText Records(int count) {
  JobText lines;
  for (int i = 1; i <= count; ++i) {
    lines.push_back(ComposeRecordLine("P" + std::to_string(i), "C", "100.5", "200.25", "3"));
  }
  return lines;
}

void Print(PrintLog& log, ListingKind kind, const JobText& lines, int slots) {
  RecordingPrintSurface surface(log, 1000, PageHeightFor(slots));
  PrintListing(surface, kind, lines, MeasureListing(surface, kind, lines));
}

std::vector<std::string> Texts(const std::vector<PrintCall>& page) {
  std::vector<std::string> texts;
  for (const PrintCall& call : page) texts.push_back(call.text);
  return texts;
}

// The texts of a page above its number.
std::vector<std::string> Lines(const std::vector<PrintCall>& page) {
  std::vector<std::string> texts = Texts(page);
  if (!texts.empty()) texts.pop_back();
  return texts;
}

TEST(CoordinateHeader, LinesAreFramedAndColumnWordsStandWhereTheListingPutsThem) {
  EXPECT_EQ(CoordinateHeader(true),
            (std::array<std::string, 5>{kStars, kFirstTitle, kStars, kColumns, ""}));
  EXPECT_EQ(CoordinateHeader(false),
            (std::array<std::string, 5>{kStars, kLaterTitle, kStars, kColumns, ""}));
  for (const std::string& title : {kFirstTitle, kLaterTitle}) {
    EXPECT_EQ(RecordingPrintSurface::Columns(title, TextEncoding::kUtf8), 58) << title;
  }
  // Character positions (1-based) of the column words over a numbered line.
  std::vector<std::pair<std::string, std::size_t>> words;
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    if (kColumns[i] != ' ' && (i == 0 || kColumns[i - 1] == ' ')) {
      words.emplace_back(kColumns.substr(i, kColumns.find(' ', i) - i), i + 1);
    }
  }
  EXPECT_EQ(words, (std::vector<std::pair<std::string, std::size_t>>{
                       {"NO.", 1}, {"PT", 6}, {"CODE", 14}, {"N", 24}, {"E", 36}, {"Z", 48}}));
  EXPECT_EQ(kColumns.size(), 48u);
}

TEST(NumberedRecordLine, NumberIsFilledToFiveAndNeverCut) {
  const std::pair<int, std::string> cases[] = {
      {1, "1    P1"}, {42, "42   P1"}, {9999, "9999 P1"}, {10000, "10000P1"}, {123456, "123456P1"}};
  for (const auto& [number, text] : cases) EXPECT_EQ(NumberedRecordLine(number, "P1"), text);
}

TEST(MeasureListing, GeometryComesFromWhatTheSurfaceMeasures) {
  struct Case {
    ListingKind kind;
    int pageWidth, pageHeight, firstLineColumns;
    int left, linesPerPage;
  } cases[] = {
      // 8 slots between the margins, the last for the page number
      {ListingKind::kCoordinates, 1000, 260, 54, 225, 7},  // (1000 - 540) / 2 - 5
      {ListingKind::kCoordinates, 1001, 279, 54, 225, 7},  // 461 / 2 truncates, 179 / 20 too
      {ListingKind::kCoordinates, 500, 260, 54, -25, 7},   // wider than the page
      {ListingKind::kCoordinates, 533, 260, 54, -8, 7},    // -7 / 2 is -3, not -4
      {ListingKind::kCoordinates, 533, 99, 54, -8, -1},    // -1 / 20 is 0
      {ListingKind::kCoordinates, 533, 79, 54, -8, -2},   {ListingKind::kText, 533, 260, 3, 100, 7},
  };
  for (const Case& c : cases) {
    PrintLog log;
    RecordingPrintSurface surface(log, c.pageWidth, c.pageHeight);
    const JobText lines{std::string(static_cast<std::size_t>(c.firstLineColumns), 'x'), "yy"};
    const ListingLayout layout = MeasureListing(surface, c.kind, lines);
    SCOPED_TRACE(testing::Message() << c.pageWidth << "x" << c.pageHeight);
    EXPECT_EQ(layout.lineHeight, 15);
    EXPECT_EQ(layout.pitch, 20);
    EXPECT_EQ(layout.left, c.left);
    EXPECT_EQ(layout.linesPerPage, c.linesPerPage);
    EXPECT_EQ(layout.pageWidth, c.pageWidth);
    ASSERT_GE(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0].text, "Hi");
    if (c.kind == ListingKind::kCoordinates) {
      ASSERT_EQ(log.Count(Kind::kWidth), 1);
      EXPECT_EQ(log.calls[1].text, lines[0]);
      EXPECT_EQ(log.calls[1].encoding, TextEncoding::kCodePage);
    } else {
      EXPECT_EQ(log.Count(Kind::kWidth), 0);
    }
  }
}

TEST(PrintListing, CoordinatePagesCarryTheirHeadersAndNumberedRecordsInSlots) {
  PrintLog log;
  const JobText lines = Records(7);
  Print(log, ListingKind::kCoordinates, lines, 8);  // slots 5, 6, 7 hold records

  ASSERT_EQ(log.calls.front().kind, Kind::kHeight);
  EXPECT_EQ(log.Count(Kind::kBeginDoc), 1);
  EXPECT_EQ(log.calls.back().kind, Kind::kEndDoc);
  EXPECT_EQ(log.Count(Kind::kEndDoc), 1);
  const auto pages = log.Pages();
  ASSERT_EQ(pages.size(), 3u);
  int record = 0;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE(p);
    const int records = p < 2 ? 3 : 1;
    std::vector<std::string> expected{kStars, p == 0 ? kFirstTitle : kLaterTitle, kStars, kColumns};
    for (int r = 0; r < records; ++r, ++record) {
      expected.push_back(NumberedRecordLine(record + 1, lines[static_cast<std::size_t>(record)]));
    }
    expected.push_back(PageNumberLine(static_cast<int>(p) + 1));
    EXPECT_EQ(Texts(pages[p]), expected);
    // Centred on the page in the slot below the last line: 1000 wide, the
    // number 7 columns of 10.
    const PrintCall& number = pages[p].back();
    EXPECT_EQ(number.x, (1000 - 70) / 2);
    EXPECT_EQ(number.y, 50 + 20 * 8);
    EXPECT_EQ(number.encoding, TextEncoding::kUtf8);
    for (std::size_t i = 0; i + 1 < pages[p].size(); ++i) {
      const PrintCall& call = pages[p][i];
      const int slot = i < 4 ? static_cast<int>(i) : static_cast<int>(i) + 1;  // slot 4 empty
      EXPECT_EQ(call.x, 225);
      EXPECT_EQ(call.y, 50 + 20 * slot);
      EXPECT_EQ(call.encoding, i < 4 ? TextEncoding::kUtf8 : TextEncoding::kCodePage);
    }
  }
}

TEST(PrintListing, TextLinesGoAtOneHundredFromTheTopSlot) {
  PrintLog log;
  const JobText lines{"\xB2\xE2\xD5\xBE A", "line 2", "line 3"};  // GB18030 bytes untouched
  Print(log, ListingKind::kText, lines, 2);
  const auto pages = log.Pages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(Texts(pages[0]), (std::vector<std::string>{lines[0], lines[1], "第 1 页"}));
  EXPECT_EQ(Texts(pages[1]), (std::vector<std::string>{lines[2], "第 2 页"}));
  EXPECT_EQ(pages[1][0].y, 50);
  EXPECT_EQ(pages[1][1].y, 50 + 20 * 2);
  for (const auto& page : pages) {
    for (std::size_t i = 0; i + 1 < page.size(); ++i) {
      EXPECT_EQ(page[i].x, 100);
      EXPECT_EQ(page[i].encoding, TextEncoding::kCodePage);
    }
  }
}

// The page test follows the last line too.
TEST(PrintListing, AListingThatFillsItsLastPageEndsWithOneMorePage) {
  struct Case {
    ListingKind kind;
    int lines;  // 3 records or 8 text lines fill a page
    std::size_t pages;
    bool fills;
  } cases[] = {
      {ListingKind::kCoordinates, 6, 3, true},
      {ListingKind::kCoordinates, 5, 2, false},
      {ListingKind::kText, 16, 3, true},
      {ListingKind::kText, 15, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    PrintLog log;
    const JobText lines = Records(c.lines);
    Print(log, c.kind, lines, 8);
    const auto pages = log.Pages();
    ASSERT_EQ(pages.size(), c.pages);
    EXPECT_EQ(Texts(pages.back()).back(), PageNumberLine(static_cast<int>(c.pages)));
    const std::vector<std::string> last = Lines(pages.back());
    const bool coordinates = c.kind == ListingKind::kCoordinates;
    if (c.fills) {
      const std::vector<std::string> headerOnly{kStars, kLaterTitle, kStars, kColumns};
      EXPECT_EQ(last, coordinates ? headerOnly : std::vector<std::string>());
    } else {
      ASSERT_FALSE(last.empty());
      EXPECT_EQ(last.back(),
                coordinates ? NumberedRecordLine(c.lines, lines.back()) : lines.back());
    }
    EXPECT_EQ(log.calls.back().kind, Kind::kEndDoc);
  }
}

TEST(PrintListing, RecordTenThousandTouchesThePointName) {
  PrintLog log;
  const JobText lines = Records(10000);
  Print(log, ListingKind::kCoordinates, lines, 2000);
  std::vector<std::string> texts;
  for (const auto& page : log.Pages()) {
    for (const std::string& text : Lines(page)) texts.push_back(text);
  }
  EXPECT_EQ(texts.back(), std::string("10000") + "P10000   " + "C        " + "100.5       " +
                              "200.25      " + "3           ");
  EXPECT_EQ(texts[texts.size() - 2], "9999 " + lines[9998]);
}

TEST(PrintListing, AnErrorEndsTheDocumentAndIsPassedOn) {
  for (const bool atNewPage : {false, true}) {
    SCOPED_TRACE(atNewPage);
    PrintLog log;
    RecordingPrintSurface surface(log, 1000, PageHeightFor(8));
    (atNewPage ? surface.failAtNewPage : surface.failAtText) = 1;
    const JobText lines = Records(5);
    const ListingLayout layout = MeasureListing(surface, ListingKind::kCoordinates, lines);
    EXPECT_THROW(PrintListing(surface, ListingKind::kCoordinates, lines, layout),
                 std::runtime_error);
    EXPECT_EQ(log.Count(Kind::kEndDoc), 1);
    EXPECT_EQ(log.calls.back().kind, Kind::kEndDoc);
  }
}

class PrintCommandTest : public ::testing::Test, protected test::HeadlessWindow {
 protected:
  void SetUp() override { commands.StartUp({}); }

  void Open(const std::string& name, const JobText& lines) {
    dialogs.NextOpenAnswer(FileChoice{dir.Write(name, JoinLinesCrLf(lines)), 1});
    commands.MenuJobOpenClick();
  }

  // Prints on a page with the given slots; the texts drawn, all pages.
  std::vector<std::string> PrintedTexts(int slots = 40) {
    log.calls.clear();
    dialogs.NextPrinterAnswer(
        std::make_unique<RecordingPrintSurface>(log, 1000, PageHeightFor(slots)));
    commands.MenuJobPrintClick();
    std::vector<std::string> texts;
    for (const auto& page : log.Pages()) {
      for (const PrintCall& call : page) texts.push_back(call.text);
    }
    return texts;
  }

  test::TempDir dir;
  PrintLog log;
};

TEST_F(PrintCommandTest, AnEmptyJobTextPrintsNothingAndAsksNothing) {
  table.SetCell(kColName, 1, "P1");  // typed, never tidied
  table.SetCell(kColN, 1, "1");
  table.SetCell(kColE, 1, "2");
  commands.MenuJobPrintClick();
  EXPECT_TRUE(dialogs.printTitles.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintCommandTest, DocumentTitleNamesTheKindOfListingAndTheWindowTitle) {
  Open("JOB.BDT", Records(2));
  PrintedTexts();
  Open("NOTES.TXT", {"a", "b"});
  EXPECT_EQ(PrintedTexts(), (std::vector<std::string>{"a", "b", "第 1 页"}));
  EXPECT_EQ(dialogs.printTitles,
            (std::vector<std::string>{"打印全站仪坐标文件JOB.BDT--全站仪坐标记录文件",
                                      "打印文件NOTES.TXT"}));
}

TEST_F(PrintCommandTest, CancellingThePrintDialogPrintsNothing) {
  Open("JOB.BDT", Records(2));
  dialogs.NextPrinterAnswer(nullptr);
  commands.MenuJobPrintClick();
  EXPECT_EQ(dialogs.printTitles.size(), 1u);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintCommandTest, EditsNotYetTidiedAreNotPrinted) {
  const JobText lines = Records(3);
  Open("JOB.BDT", lines);
  table.SetCell(kColN, 2, "999.5");
  table.SetCell(kColName, 5, "NEW");
  table.SetCell(kColN, 5, "1");
  table.SetCell(kColE, 5, "2");
  commands.StringGrid1KeyDown(false);
  std::vector<std::string> texts = PrintedTexts();
  ASSERT_EQ(texts.size(), 8u);  // header, records, page number
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(texts[4 + i], NumberedRecordLine(static_cast<int>(i) + 1, lines[i]));
  }

  commands.Button_SortClick();
  texts = PrintedTexts();
  ASSERT_EQ(texts.size(), 9u);
  EXPECT_NE(texts[5].find("999.5"), std::string::npos);
  EXPECT_EQ(texts[7].substr(0, 8), "4    NEW");
}

TEST_F(PrintCommandTest, APageWithoutRoomForALineIsRefusedWithANote) {
  struct Case {
    const char* file;
    int slots;
    bool refused;
  } cases[] = {{"JOB.BDT", 5, true},
               {"JOB.BDT", 6, false},
               {"T.TXT", 0, true},
               {"T.TXT", -1, true},
               {"T.TXT", 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " " << c.slots);
    Open(c.file, Records(3));
    dialogs.messages.clear();
    if (c.refused) dialogs.NextMessageAnswer(MessageResult::kOk);
    PrintedTexts(c.slots);
    EXPECT_EQ(log.Count(Kind::kBeginDoc), c.refused ? 0 : 1);
    ASSERT_EQ(dialogs.messages.size(), c.refused ? 1u : 0u);
    if (c.refused) {
      EXPECT_EQ(dialogs.messages[0].text,
                job.CoordinateMode ? kPageTooShortForRecords : kPageTooShortForText);
    }
  }
}

TEST_F(PrintCommandTest, APrinterErrorEndsTheDocumentAndReachesTheErrorBox) {
  Open("JOB.BDT", Records(3));
  auto surface = std::make_unique<RecordingPrintSurface>(log, 1000, PageHeightFor(40));
  surface->failAtText = 6;
  dialogs.NextPrinterAnswer(std::move(surface));
  EXPECT_THROW(commands.MenuJobPrintClick(), std::runtime_error);
  EXPECT_EQ(log.Count(Kind::kText), 5);
  EXPECT_EQ(log.calls.back().kind, Kind::kEndDoc);
}

}  // namespace
}  // namespace lumaq
