#include "app/PrintCommand.h"

#include "app/PrintListing.h"

namespace lumaq {
namespace {

constexpr const char* kCoordinatePrintTitle = "打印全站仪坐标文件";
constexpr const char* kTextPrintTitle = "打印文件";

}  // namespace

void PrintJob(const JobDocument& job, const std::string& caption, UserDialogs& dialogs) {
  if (job.JobText.empty()) return;
  const ListingKind kind = job.CoordinateMode ? ListingKind::kCoordinates : ListingKind::kText;
  const std::string title =
      (kind == ListingKind::kCoordinates ? kCoordinatePrintTitle : kTextPrintTitle) + caption;
  const std::unique_ptr<PrintSurface> printer = dialogs.AskPrinter(title);
  if (!printer) return;

  const ListingLayout layout = MeasureListing(*printer, kind, job.JobText);
  // A page without room for a line would never be turned: every line would
  // go past its end and be lost to the paper. Say so instead of printing.
  if (!PageHoldsALine(layout, kind)) {
    dialogs.ShowMessage(
        kCaptionNote,
        kind == ListingKind::kCoordinates ? kPageTooShortForRecords : kPageTooShortForText,
        MessageIcon::kWarning, MessageButtons::kOk);
    return;
  }
  PrintListing(*printer, kind, job.JobText, layout);
}

}  // namespace lumaq
