// TForm2: the transfer dialog. The main window shows it modally for one
// transfer (Receive F9 or Send F10) and destroys it afterwards, which closes
// its port ComPort1. When shown it runs the settings dialog TForm3, then the
// protocol of TransferSession through a TransferDriver, which turns every byte
// event of ComPort1 and every tick of Timer1 into one protocol step on the
// main thread and queues a close request (Cancel, the end of a transfer, a
// port that cannot be opened) until no step runs. 取消 in the settings ends
// the dialog before the port opens. The dialog is the driver's
// face: its labels, its message boxes, and a timer that wakes the driver.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "comm/ComPort.h"
#include "comm/ComTransferPort.h"
#include "comm/TransferDriver.h"
#include "comm/TransferFace.h"
#include "comm/ui/QtDispatcher.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace lumaq::ui {

class TForm2 : public QDialog, private TransferFace {
  Q_OBJECT

  // First: ComPort1 hands its events to the main thread through it.
  QtDispatcher dispatcher_;

 public:
  // job: the main window's open job, which the transfer reads and appends to.
  // transferDirection: which way the transfer runs. programFolder:
  // where TForm3 reads and writes "Commpara".
  TForm2(JobDocument& job, TransferDirection transferDirection, std::string programFolder,
         QWidget* parent = nullptr, RawUnitState& units = ProcessRawUnitState());
  // Closes ComPort1: the modal loop has ended.
  ~TForm2() override;

  TransferSession& Session() { return driver_.Session(); }
  // Send: the line of the user's table or file that a line of the job sent
  // came from, for the report of a record that cannot be sent.
  void SetRowOfLine(std::function<int(int line)> rowOfLine) { rowOfLine_ = std::move(rowOfLine); }
  const TransferDriver& Driver() const { return driver_; }

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QPushButton* Button1;
  TComPort ComPort1;
  // Under the counter: the port, device and rate in use (LineInUseText).
  QLabel* LineLabel;
  // Under the waiting text, after a long silence of the instrument
  // (SilenceHintText); hidden otherwise.
  QLabel* SilenceHintLabel;

  // Escape, like Cancel, asks the transfer to close.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  // The window system's close: as Cancel.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
  // The dialog's event loop watches the open line: its bytes become steps
  // without a switch between threads, twice a frame.
  void WatchOpenLine();
  void LineReady();

  // TransferFace
  void SetLabel1(const std::string& text) override;
  void SetLabel3(int count) override;
  void ProcessMessages() override;
  void Sleep(std::chrono::milliseconds duration) override;
  void WakeAt(Deadline deadline) override;
  void CloseDialog() override;
  void ShowPortOpenFailure(const std::string& detail) override;
  void ShowUnsendableRecord(const UnsendableRecord& record) override;
  void ShowSilenceHint(bool shown) override;
  // Shown in the error box between steps; the transfer goes on.
  void ReportError(std::exception_ptr error) override;

  const TransferDirection direction_;
  std::string programFolder_;
  std::function<int(int)> rowOfLine_;
  ComTransferPort line_;
  TransferDriver driver_;
  QTimer wakeTimer_;
  std::unique_ptr<QSocketNotifier> lineNotifier_;
  bool shown_ = false;
  // When ProcessMessages last let the messages run.
  SerialClock::time_point messagesRan_;
};

}  // namespace lumaq::ui
