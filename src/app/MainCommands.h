// The main window's commands on the open job and the record table: start-up,
// New, Open, Save, Save As, Print, the save prompt, Tidy, Delete, Clear, Find,
// undo and redo, the keys and cell moves of the table and the idle recount.
// The window adapts its widgets to these handlers and keeps no behaviour of
// its own. The handlers live in MainCommands.cpp (start-up, views, transfer),
// MainFileCommands.cpp (the job's files), MainRecordCommands.cpp (the
// records and the cells of the table) and MainJournalCommands.cpp (the
// receive journal: made for a receive, offered back at start-up).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/FileDialogMemory.h"
#include "app/JobCommands.h"
#include "app/MainView.h"
#include "app/PlanCommands.h"
#include "app/ReceiveJournals.h"
#include "app/UserDialogs.h"
#include "comm/AcceptedFrame.h"
#include "comm/LeftJournals.h"
#include "comm/TransferSession.h"
#include "records/JobDocument.h"
#include "records/RecordTable.h"
#include "records/TableHistory.h"
#include "records/TransferDirection.h"

namespace lumaq {

// A receive brought more coordinate records than the table holds.
std::string TableFullText(int received, int dropped);
// Send: count records of the table lie past its 15999 rows and are not sent.
std::string RecordsPastTableText(int count);

// How a transfer dialog ended: its outcome and its counter (frames accepted,
// or records the instrument acknowledged).
struct TransferEnd {
  TransferOutcome outcome = TransferOutcome::kEndReceived;
  int count = 0;
};
// A receive or a send that did not run to its end (a line error, Cancel), in
// the box after the dialog; empty for one that needs no word.
std::string UnfinishedReceiveText(const TransferEnd& end);
std::string UnfinishedSendText(const TransferEnd& end, int total);

// The receive journal's texts (MainJournalCommands.cpp): the start-up
// question about a journal left behind; the report of one that cannot be
// played back, kept as keptAs; a receive without a journal, in a box once a
// run and in the status bar afterwards.
std::string RestoreQuestionText(const LeftJournal& left);
std::string UnreadableJournalText(const std::string& path, const std::string& problem,
                                  const std::string& keptAs);
std::string NoJournalText(const std::string& detail);
// A journal restored up to its damage, set aside whole as keptAs.
std::string DamagedJournalText(const std::string& path, const JournalDamage& damage, int frames,
                               const std::string& keptAs);
// The journal stopped during a receive (detail: the file and the system's
// reason): the receive ended, and its frames are in path and in the job.
std::string JournalStoppedText(const std::string& detail, const std::string& path, int frames);
// Save wrote the raw records to path and the job's other lines to beside.
std::string TextBesideText(const std::string& path, const std::string& beside, std::size_t lines);
// A received job that could not be saved.
inline constexpr const char* kReceivedJobKeptText =
    "接收的数据仍在程序中，请用“另存为”保存到其他位置。";
inline constexpr const char* kNoJournalStatusText =
    "本次接收没有安全副本（接收日志无法建立），请及时保存。";

class MainCommands {
 public:
  // programFolder: where the open and save dialogs start on their first use.
  MainCommands(JobDocument& job, RecordTable& table, MainView& view, UserDialogs& dialogs,
               std::string programFolder);

  // The job Job1, then a receive journal left behind by a run that ended
  // without saving its job, offered back (LeftJournals.h), then what the
  // command line asks for; after a restored journal, the save question comes
  // first, and Cancel keeps the restored job instead. arguments are the
  // program's arguments as the user typed them, without the program name,
  // before Qt has taken out its own options: "--open FILE" opens FILE as the
  // Open command does; otherwise exactly one argument with the upper-case
  // extension ".BDT" is read into the table, and anything else is ignored.
  void StartUp(const std::vector<std::string>& arguments);

  // False when the user cancelled, or answered Yes and then cancelled the
  // Save As: the calling command must stop. A Save As that fails raises its
  // error, which stops the calling command as well.
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

  // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z): the table's changes one step back or
  // forward, in the coordinate view. The edit of the current cell counts as
  // a step once it differs from what the cell held when it became current.
  void Undo();
  void Redo();
  // Whether Undo or Redo has a step to take now (the menu items are enabled
  // by these).
  bool CanUndo() const;
  bool CanRedo() const;

  // Any key pressed in the table.
  void StringGrid1KeyDown(bool isEnter);
  // The current cell is about to move to (column, row); false refuses the
  // move. The table's text of the cell being left may be rewritten.
  bool StringGrid1SelectCell(int column, int row);
  void StringGrid1Click();
  // The application's idle event: the status bar's record count follows the
  // table. The window runs it at kIdleInterval while it waits for input.
  void ApplicationIdle();
  static constexpr std::chrono::milliseconds kIdleInterval{150};

  // Receive (F9) and Send (F10) around the transfer dialog. The Prepare steps
  // say whether the dialog is to be shown; FinishReceive shows what arrived.
  // Coordinate records beyond the table's 15999 are dropped with a warning.
  // PrepareReceive makes the receive's journal, which ReceiveJournalSink
  // gives to the transfer; FinishReceive puts it on the disk, or removes it
  // when the receive brought nothing, and tells the user once when there was
  // none or it stopped.
  // A receive that ended unfinished says so in a box after the view is
  // filled, and leaves the job changed when it brought anything.
  bool PrepareReceive();
  AcceptedFrameSink* ReceiveJournalSink() const { return receiveSink_; }
  void FinishReceive(const TransferEnd& end = {});
  // During the receive, at kArrivingLinesPace: the lines that arrived since
  // the last call, as rows of the table (coordinateData) or as the text view,
  // and the status count. The table stays read-only until FinishReceive.
  void ShowArrivingLines(bool coordinateData);
  static constexpr std::chrono::milliseconds kArrivingLinesPace{250};
  // PrepareSend asks first, 继续 or 取消, when the instrument's character
  // code would change names or codes of records (AlteredRecords.h).
  bool PrepareSend();
  // After the send's dialog: one that ended early says how many of its
  // records the instrument acknowledged.
  void FinishSend(const TransferEnd& end);
  // The table row that line (1-based) of the job Send sends came from, which
  // a record that cannot be sent is named by.
  int SentRecordRow(int line) const;
  // A receive added record lines that no save has written yet, and no New
  // or Open has replaced the job since. Receiving coordinate records leaves
  // Modified clear (so that the next receive adds to them), yet Exit,
  // closing, Open, Import and New ask the save question.
  bool HasUnsavedReceivedLines() const { return receivedUnsaved_; }
  // The direction the last Prepare step set (receive at start-up).
  lumaq::TransferDirection TransferDirection() const { return transferDirection_; }

  // How point names are shown in messages: the window passes its GB18030
  // decoder; without one the bytes are shown as they are.
  void SetDisplayText(std::function<std::string(std::string_view)> displayText) {
    displayText_ = std::move(displayText);
  }

  // The folder and file types the file dialogs remember; Open and Import
  // share the open dialog's type, Save As and Export the save dialog's.
  FileDialogMemory& FileDialogs() { return fileDialogs_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  // The journal of the open job. Its folder is the user's state folder
  // (UserStateFolder) unless changed before StartUp.
  ReceiveJournals& Journals() { return journals_; }

  // The plan view (F6, MainPlanCommands.cpp): the records drawn instead of
  // the table, and the table again; in a coordinate job only. While it is
  // shown, Print prints the plan.
  void MenuPlanClick();
  bool PlanShown() const { return planShown_; }
  // The plan's labels give the code after the name.
  void SetPlanCodesShown(bool shown) { planCodes_ = shown; }
  bool PlanCodesShown() const { return planCodes_; }
  // The plan as a PDF, SVG or PNG file.
  void MenuPlanExportClick(PlanPictures& pictures);
  // A point of the plan was clicked: its row becomes current in column 0,
  // as a click on its name cell makes it. False when the cell being left
  // refuses (a coordinate out of range).
  bool SelectRecordRow(int row);

  // Runs change, a change of the table and the job text that the user can
  // undo as one step (Import runs through this).
  void ChangeTable(const std::function<void()>& change);

  // Fills the table from the job text, shows the count as countText writes
  // it, makes row 1 current and shows the table: after Open, a receive and
  // Import.
  void ShowJobRecords(std::string (*countText)(int count));

  // Tells the user in a "提示" box that count records of the file just read
  // were left out by the record limit; nothing when count is 0.
  void WarnRecordsLeftOut(std::size_t count);

 private:
  // What the title shows after JobName.
  static constexpr const char* kCoordinateTitleSuffix = "--全站仪坐标记录文件";
  static constexpr const char* kMeasurementTitleSuffix = "--全站仪测量数据文件";

  // Long fills and tidies report here: status panel 2 follows the current
  // row as the fill moves it.
  class RowFollowingProgress : public ProgressSink {
   public:
    explicit RowFollowingProgress(MainCommands& commands) : commands_(commands) {}
    void SetProgressText(const std::string& text) override;
    void ProcessMessages() override;

   private:
    MainCommands& commands_;
  };

  // What the current cell held when it became current: an edit of it is
  // recorded as an undo step when the cell is left or a command runs.
  struct CellOrigin {
    int column = 0;
    int row = 1;
    std::string text;
  };

  void ShowCoordinateView();
  void ShowMeasurementView();
  // The table just filled from the job text: the count as countText writes
  // it, row 1 current, the table shown.
  void ShowFilledTable(std::string (*countText)(int count));
  void SetTitle(const std::string& suffix);
  // Status panel 2 shows the current row; FollowCurrentRow only when the
  // row differs from the one shown.
  void ShowCurrentRow();
  void FollowCurrentRow();
  // The table's cells and current cell changed: status panel 2 follows, the
  // view shows them.
  void ShowTable();

  // False when the user cancelled at the save prompt. forReceive: the
  // Receive command's own New, which keeps an untitled, unchanged job.
  bool NewJob(bool forReceive);
  void ClearRecords();
  void OpenFile(const std::string& path);
  void OpenRecordFile(JobText lines);
  // textLines: the file's lines, for a file that is no raw measurement file.
  void OpenMeasurementFile(const std::string& path, std::string bytes, JobText textLines);
  void OpenCommandLineBdt(const std::string& path);
  bool SaveAs();
  bool SaveWouldDestroyRawFile() const;
  // Writes the job to path as Save does (the table's records, or the raw
  // records with rawRecords, else the text) and returns the rows left out.
  // A received job that cannot be written stays in the window: the
  // FileError then says so.
  int WriteJobTo(const std::string& path, bool rawRecords);
  // Tells the user that Save put the job's other lines in beside (nothing
  // when it is empty).
  void TellTextBeside(const std::string& path, const std::string& beside);
  // Save and Tidy say how many rows they left out (with text, but without a
  // name, N or E); nothing when none.
  enum class LeftOutBy { kSave, kTidy };
  void ReportLeftOutRows(int count, LeftOutBy by);

  // The receive journal (MainJournalCommands.cpp).
  // Asks about each journal left behind, newest first, until one is
  // restored; true when one was.
  bool OfferLeftJournals();
  // Opens the left-behind journal, claimed, as the job of a receive that has
  // just ended; false when it cannot be played back (then reported).
  bool RestoreJournal(const LeftJournal& left, JournalFile& claim);
  void SetAsideJournal(JournalFile& claim, const std::string& problem);
  void BeginReceiveJournal();
  void EndReceiveJournal();
  // The open job was saved or replaced: its journal goes.
  void DropJournal();
  void CommitCellEdit();
  // The current cell differs from what it held when it became current.
  bool CellEdited() const;
  void TrackCurrentCell();
  // A new job replaces the old: nothing of the old one can be undone.
  void ForgetHistory();
  void ShowHistoryStep();

  JobDocument& job_;
  RecordTable& table_;
  MainView& view_;
  UserDialogs& dialogs_;
  std::string programFolder_;
  FileDialogMemory fileDialogs_;
  RowFollowingProgress progress_{*this};
  JobCommands jobCommands_{job_, table_, progress_};
  TableHistory history_;
  CellOrigin cellOrigin_;
  int shownRow_ = 1;
  lumaq::TransferDirection transferDirection_ = lumaq::TransferDirection::kReceive;
  std::string caption_;
  bool receivedUnsaved_ = false;
  std::size_t linesBeforeReceive_ = 0;
  // Job text lines the view shows during a receive (ShowArrivingLines).
  std::size_t linesShown_ = 0;
  bool arrivingAsText_ = false;
  ReceiveJournals journals_;
  AcceptedFrameSink* receiveSink_ = nullptr;
  std::string journalFailure_;  // why this receive has no journal
  bool journalFailureTold_ = false;
  bool planShown_ = false;
  bool planCodes_ = false;
  int planPictureType_ = 1;  // the type the plan's export dialog starts with
  std::function<std::string(std::string_view)> displayText_ = [](std::string_view bytes) {
    return std::string(bytes);
  };
};

}  // namespace lumaq
