#include "app/PrintCommand.h"

#include "app/PrintListing.h"

namespace lumaq {
namespace {

constexpr const char* kCoordinatePrintTitle = "打印全站仪坐标文件";
constexpr const char* kTextPrintTitle = "打印文件";

}  // namespace

void PrintJob(const JobDocument& job, const std::string& caption, UserDialogs& dialogs) {
  if (job.JobText.empty()) return;
  const ListingKind kind = job.CoordinateMode ? ListingKind::Coordinates : ListingKind::Text;
  const std::string title =
      (kind == ListingKind::Coordinates ? kCoordinatePrintTitle : kTextPrintTitle) + caption;
  const std::unique_ptr<PrintSurface> printer = dialogs.AskPrinter(title);
  if (!printer) return;

  const ListingLayout layout = MeasureListing(*printer, kind, job.JobText);
  // A page without room for a line would never be turned: every line would
  // go past its end and be lost to the paper. Say so instead of printing.
  if (!PageHoldsALine(layout, kind)) {
    dialogs.ShowMessage(
        kCaptionNote,
        kind == ListingKind::Coordinates ? kPageTooShortForRecords : kPageTooShortForText,
        MessageIcon::Warning, MessageButtons::Ok);
    return;
  }
  PrintListing(*printer, kind, job.JobText, layout);
}

}  // namespace lumaq
