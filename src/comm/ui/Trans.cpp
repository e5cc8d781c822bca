#include "comm/ui/Trans.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMetaObject>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>
#include <thread>
#include <utility>

#include "comm/ComLineSettings.h"
#include "comm/TransferLineTexts.h"
#include "comm/TransferTimings.h"
#include "comm/ui/Unit3.h"
#include "ui/AnsiText.h"
#include "ui/ErrorBox.h"
#include "ui/WindowPlacement.h"

namespace lumaq::ui {

TForm2::TForm2(JobDocument& job, TransferDirection transferDirection, std::string programFolder,
               QWidget* parent, RawUnitState& units)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ComPort1(dispatcher_),
      direction_(transferDirection),
      programFolder_(std::move(programFolder)),
      line_(ComPort1),
      driver_(job, line_, *this, transferDirection, kDialogCounterPace, units) {
  setObjectName("Form2");
  setWindowTitle(FromUtf8(kTransferCaption));
  Label1 = new QLabel(FromUtf8(kTransferringText), this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(FromUtf8(kTransferCountCaption), this);
  Label2->setObjectName("Label2");
  Label3 = new QLabel(QStringLiteral("0"), this);
  Label3->setObjectName("Label3");
  Label3->setMinimumWidth(Label3->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
  Button1 = new QPushButton(FromUtf8(kTransferCancelCaption), this);
  Button1->setObjectName("Button1");
  LineLabel = new QLabel(this);
  LineLabel->setObjectName("LineLabel");
  SilenceHintLabel = new QLabel(this);
  SilenceHintLabel->setObjectName("SilenceHintLabel");
  SilenceHintLabel->setWordWrap(true);
  SilenceHintLabel->hide();

  auto* counter = new QHBoxLayout;
  counter->addStretch();
  counter->addWidget(Label2);
  counter->addSpacing(12);
  counter->addWidget(Label3);
  counter->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 14);
  layout->setSpacing(14);
  layout->addWidget(Label1, 0, Qt::AlignHCenter);
  layout->addWidget(SilenceHintLabel);
  layout->addLayout(counter);
  layout->addWidget(LineLabel, 0, Qt::AlignHCenter);
  layout->addLayout(buttons);

  ApplyComPort1Design(ComPort1);
  driver_.Attach(ComPort1);
  driver_.GiveSilenceHintAfter(kSilenceHintDelay);
  wakeTimer_.setSingleShot(true);
  connect(&wakeTimer_, &QTimer::timeout, this, [this] { driver_.Wake(); });
  connect(Button1, &QPushButton::clicked, this, [this] { driver_.Cancel(); });

  adjustSize();
  CentreOnScreen(this);
}

TForm2::~TForm2() {
  wakeTimer_.stop();
  lineNotifier_.reset();  // before the descriptor it watches goes
  ComPort1.Close();
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Once the dialog is on the screen.
  QMetaObject::invokeMethod(
      this, [this] { FormShow(); }, Qt::QueuedConnection);
}

void TForm2::FormShow() {
  bool cancelled = false;
  {
    // Created, shown and destroyed for every transfer.
    TForm3 settings(ComPort1, programFolder_, this);
    settings.exec();
    cancelled = settings.Cancelled();
  }
  // 取消 in the settings: the transfer ends before the port opens.
  if (cancelled) {
    done(QDialog::Rejected);
    return;
  }
  LineLabel->setText(FromUtf8(
      LineInUseText(ComPort1.Port(), ComPort1.ResolvedDevicePath(), LineBaudRate(ComPort1))));
  ComPort1.SetOwnerWatches(true);
  driver_.Start();
  WatchOpenLine();
}

void TForm2::WatchOpenLine() {
  const int handle = ComPort1.WatchHandle();
  if (handle < 0) return;  // not opened
  lineNotifier_ = std::make_unique<QSocketNotifier>(handle, QSocketNotifier::Read);
  connect(lineNotifier_.get(), &QSocketNotifier::activated, this, [this] { LineReady(); });
}

void TForm2::LineReady() {
  // A step that lets the messages run reads what it needs itself; what it
  // leaves with the system is reported once it has ended.
  if (driver_.InStep()) return;
  if (ComPort1.TakeLineEvents()) return;
  // Nothing reported: the line is gone and said so already, or the input
  // queue is full until a step reads it.
  lineNotifier_->setEnabled(false);
  if (ComPort1.WatchHandle() < 0) return;
  QTimer::singleShot(kFullQueueLookAgain, this, [this] {
    if (lineNotifier_) lineNotifier_->setEnabled(true);
  });
}

void TForm2::SetLabel1(const std::string& text) {
  Label1->setText(FromUtf8(text));
}

void TForm2::SetLabel3(int count) {
  Label3->setText(QString::number(count));
}

void TForm2::ProcessMessages() {
  const auto now = SerialClock::now();
  if (now < messagesRan_ + kStepMessagesPace) return;
  messagesRan_ = now;
  QCoreApplication::processEvents();
}

void TForm2::Sleep(std::chrono::milliseconds duration) {
  // What the dialog says during the pause is on the screen first.
  repaint();
  std::this_thread::sleep_for(duration);
}

void TForm2::WakeAt(Deadline deadline) {
  const auto left = deadline.LeftMilliseconds();
  if (!left) {
    wakeTimer_.stop();
    return;
  }
  wakeTimer_.start(static_cast<int>(std::min<long long>(left->count(), 1'000'000'000)));
}

void TForm2::CloseDialog() {
  done(Session().Outcome() == TransferOutcome::kCancelled ? QDialog::Rejected : QDialog::Accepted);
}

void TForm2::ShowPortOpenFailure(const std::string& detail) {
  QMessageBox box(QMessageBox::Warning, FromUtf8(kPortWarningCaption),
                  FromUtf8(kPortOpenFailedText), QMessageBox::Ok, this);
  box.setInformativeText(FromUtf8(detail));
  box.exec();
}

void TForm2::ShowUnsendableRecord(const UnsendableRecord& record) {
  const std::string name = FromAnsi(record.pointName).toStdString();
  UnsendableRecord shown = record;
  if (rowOfLine_) shown.lineNumber = rowOfLine_(record.lineNumber);
  QMessageBox box(QMessageBox::Warning, FromUtf8(kPortWarningCaption),
                  FromUtf8(UnsendableRecordText(shown, name)), QMessageBox::Ok, this);
  box.exec();
}

void TForm2::ShowSilenceHint(bool shown) {
  SilenceHintLabel->setText(shown ? FromUtf8(SilenceHintText(direction_, LineBaudRate(ComPort1)))
                                  : QString());
  SilenceHintLabel->setVisible(shown);
  adjustSize();
}

void TForm2::reject() {
  driver_.Cancel();
}

void TForm2::closeEvent(QCloseEvent* event) {
  event->ignore();
  driver_.Cancel();
}

void TForm2::ReportError(std::exception_ptr error) {
  // Shown between steps; the transfer goes on.
  QMetaObject::invokeMethod(
      this,
      [this, error] {
        try {
          std::rethrow_exception(error);
        } catch (const std::exception& e) {
          ShowErrorBox(e, this);
        } catch (...) {
          ShowErrorBox(std::runtime_error("unknown error"), this);
        }
      },
      Qt::QueuedConnection);
}

}  // namespace lumaq::ui
