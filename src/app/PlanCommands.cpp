#include "app/PlanCommands.h"

#include "app/FileFilter.h"
#include "app/PlanPage.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

constexpr int kPictureKinds = 3;

std::string BaseName(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

}  // namespace

std::string PlanTitle(const std::string& jobName) {
  return jobName + " 平面图";
}

void PrintPlan(PlanScene& scene, const std::string& jobName, const std::string& caption,
               bool withCodes, UserDialogs& dialogs) {
  const std::unique_ptr<PrintSurface> printer = dialogs.AskPrinter(kPlanPrintTitle + caption);
  if (!printer) return;
  const PlanPageLayout layout = MeasurePlanPage(*printer);
  if (!PageHoldsAPlan(layout)) {
    dialogs.ShowMessage(kCaptionNote, kPageTooSmallForPlan, MessageIcon::kWarning,
                        MessageButtons::kOk);
    return;
  }
  DrawPlanPage(*printer, scene, layout, PlanTitle(jobName), withCodes);
}

void ExportPlan(PlanScene& scene, const std::string& jobName, bool withCodes, UserDialogs& dialogs,
                FileDialogMemory& memory, int& typeIndex, PlanPictures& pictures) {
  const auto choice = dialogs.AskSaveFile({kPlanExportTitle, kFilterPlanPictures, typeIndex,
                                           BaseName(jobName), memory.Folder(), "pdf"});
  if (!choice) return;
  const int chosen =
      choice->filterIndex >= 1 && choice->filterIndex <= kPictureKinds ? choice->filterIndex : 1;
  const std::string path = CompleteFileName(choice->path, kFilterPlanPictures, chosen);
  const int named = FilterIndexOfExtension(kFilterPlanPictures, path);
  typeIndex = chosen;
  // Only the folder is kept: the save dialog's file type is Save As's.
  memory.RememberFolderOf(path);

  const std::unique_ptr<PictureSurface> picture =
      pictures.NewPicture(static_cast<PictureKind>(named != 0 ? named : chosen));
  DrawPlanPage(*picture, scene, MeasurePlanPage(*picture), PlanTitle(jobName), withCodes);
  WriteFileAtomically(path, picture->TakeBytes());
}

}  // namespace lumaq
