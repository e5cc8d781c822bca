// The plan view: switching to it and back, a point clicked in it, its export.
#include "app/MainCommands.h"
#include "app/PlanCommands.h"
#include "records/RecordTable.h"

namespace lumaq {

void MainCommands::MenuPlanClick() {
  if (!job_.CoordinateMode) return;
  planShown_ = !planShown_;
  view_.ShowPlan(planShown_);
}

bool MainCommands::SelectRecordRow(int row) {
  if (!job_.CoordinateMode || row < 1 || row >= table_.RowCount()) return false;
  const bool stays = row == table_.CurrentRow() && table_.CurrentColumn() == kColName;
  if (!stays && !StringGrid1SelectCell(kColName, row)) return false;
  ShowTable();
  return true;
}

void MainCommands::MenuPlanExportClick(PlanPictures& pictures) {
  if (!job_.CoordinateMode) return;
  PlanScene scene;
  scene.Rebuild(table_);
  ExportPlan(scene, job_.JobName, planCodes_, dialogs_, fileDialogs_, planPictureType_, pictures);
}

}  // namespace lumaq
