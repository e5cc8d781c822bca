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

namespace lumaq {

inline constexpr const char* kCoordinateTitleSuffix = "--全站仪坐标记录文件";
inline constexpr const char* kMeasurementTitleSuffix = "--全站仪测量数据文件";
inline constexpr const char* kSaveChangesQuestion = "您要保存对工作文件所作的更改吗？";
inline constexpr const char* kDeleteQuestion = "确定要删除该记录吗?";
inline constexpr const char* kNoSuchPoint = "当前文件中无此点号。";
inline constexpr const char* kOpenTitle = "打开";
inline constexpr const char* kSaveAsTitle = "另存为";

// A receive brought more coordinate records than the table holds.
std::string TableFullText(int received, int dropped);

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
  // Coordinate records beyond the table's 15999 are dropped with a warning.
  bool PrepareReceive();
  void FinishReceive();
  bool PrepareSend();
  // A receive added record lines that no save has written yet, and no New
  // or Open has replaced the job since. Receiving coordinate records leaves
  // Modified clear (so that the next receive adds to them), yet Exit,
  // closing, Open, Import and New ask the save question.
  bool HasUnsavedReceivedLines() const { return receivedUnsaved_; }
  // 0 receive, 1 send: read by the transfer dialog when it is shown.
  int TransferDirection() const { return transferDirection_; }

  // The file type last chosen in a file dialog; Open, Save As, Import and
  // Export share it.
  int FileTypeIndex() const { return fileTypeIndex_; }
  void SetFileTypeIndex(int index) { fileTypeIndex_ = index; }
  const std::string& ProgramFolder() const { return programFolder_; }

  // Shared by the commands of the other subsystems.
  void ShowCoordinateView();
  void ShowMeasurementView();
  void SetTitle(const std::string& suffix);
  // The window title last set.
  const std::string& Caption() const { return caption_; }
  void ShowCurrentRow();

 private:
  // False when the user cancelled at the save prompt. forReceive: the
  // Receive command's own New, which keeps an untitled, unchanged job.
  bool NewJob(bool forReceive);
  void ClearRecords();
  void OpenRecordFile(JobText lines);
  void OpenMeasurementFile(const std::string& path, const std::string& bytes);
  bool SaveAs();
  void WriteJob(const std::string& path, bool rawRecords);
  bool SaveWouldDestroyRawFile() const;

  JobDocument& job_;
  RecordTable& table_;
  MainView& view_;
  UserDialogs& dialogs_;
  std::string programFolder_;
  int fileTypeIndex_ = 1;
  int transferDirection_ = 0;
  std::string caption_;
  bool receivedUnsaved_ = false;
  std::size_t linesBeforeReceive_ = 0;
};

}  // namespace lumaq
