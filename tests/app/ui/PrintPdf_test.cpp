#include <gtest/gtest.h>

#include <QPrinter>
#include <regex>

#include "app/PrintListing.h"
#include "app/ui/QtPrintSurface.h"
#include "app/ui/Zivoru_main.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

std::unique_ptr<QPrinter> PdfPrinter(const std::string& path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(path));
  printer->setPageSize(QPageSize(QPageSize::A4));
  return printer;
}

// Page objects of a PDF, not counting the page tree ("/Type /Pages").
int PdfPageCount(const std::string& pdf) {
  const std::regex page(R"(/Type\s*/Page[^A-Za-z])");
  return static_cast<int>(
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

std::string Record(int i) {
  return ComposeRecordLine("P" + std::to_string(i), "TREE", std::to_string(3456.789 + i),
                           std::to_string(1234.5 + i), "12.300");
}

TEST(PrintToPdf, AThreePageCoordinateJobPrintsThreePagesFromTheWindow) {
  test::TempDir dir;
  const std::string pdf = dir.Path("job.pdf");
  ui::QtPrintSurface probe(PdfPrinter(pdf));
  const ListingLayout layout = MeasureListing(probe, ListingKind::kCoordinates, {Record(1)});
  const int perPage = layout.linesPerPage - kHeaderSlots;
  ASSERT_GT(perPage, 1);

  JobText lines;
  for (int i = 1; i <= 2 * perPage + 1; ++i) lines.push_back(Record(i));
  const std::string bdt = dir.Write("JOB.BDT", JoinLinesCrLf(lines));
  test::ScriptedDialogs dialogs;
  ui::TForm1 form(&dialogs);
  form.FormCreate({}, /*showSplash=*/false);
  dialogs.NextOpenAnswer(FileChoice{bdt, 1});
  form.MenuJobOpen->trigger();

  dialogs.NextPrinterAnswer(std::make_unique<ui::QtPrintSurface>(PdfPrinter(pdf)));
  form.Button_Print->click();
  EXPECT_EQ(dialogs.printTitles,
            std::vector<std::string>{"打印全站仪坐标文件JOB.BDT--全站仪坐标记录文件"});
  EXPECT_EQ(PdfPageCount(ReadFileBytes(pdf)), 3);
  EXPECT_TRUE(dialogs.AllAnswersUsed());
}

// Every character of a listing takes its column, a Chinese one two: the
// header lines are equally wide and the record fields stand under the column
// words.
TEST(PrintToPdf, TheListingsColumnsLineUpInThePrintFont) {
  test::TempDir dir;
  ui::QtPrintSurface surface(PdfPrinter(dir.Path("columns.pdf")));
  const int column = surface.TextWidth("0", TextEncoding::kCodePage);
  ASSERT_GT(column, 0);
  const auto firstPage = CoordinateHeader(true);
  const auto laterPage = CoordinateHeader(false);
  const std::string chineseName = "\xB2\xE2\xC1\xBF";  // 测量, 4 bytes in the code page
  struct Case {
    const char* label;
    std::string text;
    TextEncoding encoding;
    int columns;
  } cases[] = {
      {"asterisks", firstPage[0], TextEncoding::kUtf8, 58},
      {"first title", firstPage[1], TextEncoding::kUtf8, 58},
      {"later title", laterPage[1], TextEncoding::kUtf8, 58},
      {"column words", firstPage[3], TextEncoding::kUtf8, 48},
      {"a numbered record", NumberedRecordLine(7, Record(7)), TextEncoding::kCodePage, 59},
      {"a Chinese point name",
       NumberedRecordLine(7, ComposeRecordLine(chineseName, "C", "1", "2", "3")),
       TextEncoding::kCodePage, 59},
      {"letters of every width", "iiiii", TextEncoding::kCodePage, 5},
      {"", "WWWWW", TextEncoding::kCodePage, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(surface.TextWidth(c.text, c.encoding), c.columns * column);
  }
}

TEST(PrintToPdf, AnOutputThatCannotBeWrittenIsAnError) {
  test::TempDir dir;
  ui::QtPrintSurface surface(PdfPrinter(dir.Path("no such folder/job.pdf")));
  const JobText lines{"a line"};
  const ListingLayout layout = MeasureListing(surface, ListingKind::kText, lines);
  EXPECT_THROW(PrintListing(surface, ListingKind::kText, lines, layout), std::runtime_error);
}

}  // namespace
}  // namespace lumaq
