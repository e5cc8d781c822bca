// The main window's commands on the open job and the record table: start-up,
// New, Open, Save, Save As, Print, the save prompt, Tidy, Delete, Clear, Find, the
// keys and cell moves of the table and the idle recount. The window adapts its
// widgets to these handlers and keeps no behaviour of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "app/UserDialogs.h"
#include "records/JobDocument.h"
#include "records/RecordTable.h"
#include "records/TransferDirection.h"

namespace lumaq {

class MainCommands {
 public:
  // programFolder: where the open and save dialogs start.
  MainCommands(JobDocument& job, RecordTable& table, MainView& view, UserDialogs& dialogs,
               std::string programFolder);

  // The job Job1, then the one ".BDT" file named by arguments (the program's
  // arguments without the program name), if there is exactly one.
  void StartUp(const std::vector<std::string>& arguments);

  // False when the user cancelled: the calling command must stop.
  bool AskToSaveChanges();

  void MenuJobNewClick();
  void MenuJobOpenClick();
  void MenuJobSaveClick();
  void MenuJobSaveAsClick();
  // Print (Ctrl+P): the job text, not the table.
  void MenuJobPrintClick();
  // Exit and closing the window: false keeps the program running.
  bool CanClose();

  void Button_SortClick();
  void Button_DelClick();
  void Button_ClearClick();
  void Button_FindClick(const std::string& searchText);

  // Any key pressed in the table.
  void StringGrid1KeyDown(bool isEnter);
  // The current cell is about to move to (column, row); false refuses the
  // move. The table's text of the cell being left may be rewritten.
  bool StringGrid1SelectCell(int column, int row);
  void StringGrid1Click();
  void ApplicationIdle();

  // Receive (F9) and Send (F10) around the transfer dialog. The Prepare steps
  // say whether the dialog is to be shown; FinishReceive shows what arrived.
  bool PrepareReceive();
  void FinishReceive();
  bool PrepareSend();
  // The direction the last Prepare step set (receive at start-up).
  lumaq::TransferDirection TransferDirection() const { return transferDirection_; }

  // The file type last chosen in a file dialog; Open, Save As, Import and
  // Export share it.
  int FileTypeIndex() const { return fileTypeIndex_; }
  void SetFileTypeIndex(int index) { fileTypeIndex_ = index; }
  const std::string& ProgramFolder() const { return programFolder_; }

  // Fills the table from the job text, shows the count as countText writes
  // it, makes row 1 current and shows the table: after Open, a receive and
  // Import.
  void ShowJobRecords(std::string (*countText)(int count));

  // Tells the user in a "提示" box that count records of the file just read
  // were left out by the record limit; nothing when count is 0.
  void WarnRecordsLeftOut(std::size_t count);

 private:
  void ShowCoordinateView();
  void ShowMeasurementView();
  void SetTitle(const std::string& suffix);
  void ShowCurrentRow();
  bool NewJob();  // false when the user cancelled at the save prompt
  void ClearRecords();
  void OpenRecordFile(JobText lines);
  // textLines: the file's lines, for a file that is no raw measurement file.
  void OpenMeasurementFile(const std::string& path, const std::string& bytes, JobText textLines);
  bool SaveAs();
  void WriteJob(const std::string& path, bool rawRecords);
  bool SaveWouldDestroyRawFile() const;

  JobDocument& job_;
  RecordTable& table_;
  MainView& view_;
  UserDialogs& dialogs_;
  std::string programFolder_;
  int fileTypeIndex_ = 1;
  lumaq::TransferDirection transferDirection_ = lumaq::TransferDirection::kReceive;
  std::string caption_;
};

}  // namespace lumaq
