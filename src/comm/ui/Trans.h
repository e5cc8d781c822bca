// TForm2: the transfer dialog. The main window shows it modally for one
// transfer (Receive F9 or Send F10) and destroys it afterwards, which closes
// its port ComPort1. When shown it runs the settings dialog TForm3, then the
// protocol of TransferSession: every byte event of ComPort1 and every tick of
// Timer1 is one protocol step on the main thread, and the dialog is the
// session's face (TransferView).
//
// A close request (Cancel, the end of a transfer, a port that cannot be
// opened) is queued and runs only between steps, never inside one that lets
// messages run, so a frame exchange that has begun is completed first.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <exception>
#include <string>

#include "comm/ComPort.h"
#include "comm/ComTransferPort.h"
#include "comm/TransferSession.h"
#include "comm/TransferView.h"
#include "comm/ui/QtDispatcher.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"

namespace lumaq::ui {

class TForm2 : public QDialog, public TransferView {
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

  TransferSession& Session() { return session_; }

  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QPushButton* Button1;
  TComPort ComPort1;
  QTimer Timer1;

  // TransferView
  void SetLabel1(const std::string& text) override;
  void SetLabel3(int count) override;
  void ProcessMessages() override;
  void Sleep(std::chrono::milliseconds duration) override;
  void SetTimer1Enabled(bool enabled) override;
  void PostCloseRequest() override;
  void CloseDialog() override;
  void ShowPortOpenFailure(const std::string& detail) override;
  void ShowUnsendableRecord(const UnsendableRecord& record) override;

  // Escape, like Cancel, asks the transfer to close.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  // The window system's close: as Cancel.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
  // Runs one protocol step; a close requested meanwhile runs after it.
  template <typename Handler>
  void Step(Handler handler);
  void QueueClose();
  void RunPendingClose();
  void ShowCount();
  void ReportError(std::exception_ptr error);

  std::string programFolder_;
  ComTransferPort line_;
  TransferSession session_;
  bool shown_ = false;
  bool closed_ = false;
  int stepDepth_ = 0;
  bool closePending_ = false;
  // Label3 is repainted at a steady pace, not for every frame.
  int count_ = 0;
  int countShown_ = 0;
  QElapsedTimer countPainted_;
  QTimer countTimer_;
};

}  // namespace lumaq::ui
