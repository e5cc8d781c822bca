// The plan on paper and in picture files: Print while the plan view is
// shown, and the plan's export as PDF, SVG or PNG.
#pragma once

#include <memory>
#include <string>

#include "app/FileDialogMemory.h"
#include "app/PlanScene.h"
#include "app/UserDialogs.h"

namespace lumaq {

inline constexpr const char* kPlanPrintTitle = "打印平面图";
inline constexpr const char* kPlanExportTitle = "导出平面图";
// In the order of PictureKind.
inline constexpr const char* kFilterPlanPictures =
    "PDF 文档(*.pdf)|*.pdf|SVG 图形(*.svg)|*.svg|PNG 图像(*.png)|*.png";
inline constexpr const char* kPageTooSmallForPlan = "纸张太小：放不下平面图。\n没有打印。";

// The picture formats, numbered as the export dialog lists them.
enum class PictureKind { kPdf = 1, kSvg = 2, kPng = 3 };

// A surface of one page that makes a picture file's bytes.
class PictureSurface : public PrintSurface {
 public:
  // The file's bytes, once the document has ended.
  virtual std::string TakeBytes() = 0;
};

// Makes the surfaces of picture files. The Qt adapter draws with Qt's
// painters; tests record.
class PlanPictures {
 public:
  virtual ~PlanPictures() = default;
  virtual std::unique_ptr<PictureSurface> NewPicture(PictureKind kind) = 0;
};

// The title over the plan: "JOB.BDT 平面图".
std::string PlanTitle(const std::string& jobName);

// Prints the plan of scene on a printer the user chooses; the print job is
// named kPlanPrintTitle followed by caption (the window title). An error of
// the printer ends the print job and is passed on.
void PrintPlan(PlanScene& scene, const std::string& jobName, const std::string& caption,
               bool withCodes, UserDialogs& dialogs);

// Asks for a file and writes the plan of scene into it, replacing it whole.
// The format is the one the name's extension names, else the type chosen;
// typeIndex is the type the dialog starts with and is set to the one chosen.
void ExportPlan(PlanScene& scene, const std::string& jobName, bool withCodes, UserDialogs& dialogs,
                FileDialogMemory& memory, int& typeIndex, PlanPictures& pictures);

}  // namespace lumaq
