#include "comm/ui/Trans.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMetaObject>
#include <QVBoxLayout>
#include <stdexcept>
#include <thread>
#include <utility>

#include "comm/ui/Unit3.h"
#include "ui/AnsiText.h"
#include "ui/ErrorBox.h"
#include "ui/WindowPlacement.h"

namespace lumaq::ui {
namespace {

// The counter is repainted at most this often; a receive runs thousands of
// frames a second, and painting each would cost more than the frames.
constexpr int kCountPaintMs = 50;

}  // namespace

TForm2::TForm2(JobDocument& job, TransferDirection transferDirection, std::string programFolder,
               QWidget* parent, RawUnitState& units)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ComPort1(dispatcher_),
      programFolder_(std::move(programFolder)),
      line_(ComPort1),
      session_(job, line_, *this, transferDirection, units) {
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
  layout->addLayout(counter);
  layout->addLayout(buttons);

  ApplyComPort1Design(ComPort1);
  ComPort1.OnRxChar = [this](TCustomComPort&, int count) {
    Step([this, count] { session_.ComPort1RxChar(count); });
  };
  ComPort1.OnError = [this](TCustomComPort&, TComErrors errors) {
    Step([this, errors] { session_.ComPort1Error(errors); });
  };
  ComPort1.OnException = [this](TCustomComPort&, std::exception_ptr error) { ReportError(error); };

  Timer1.setObjectName("Timer1");
  Timer1.setInterval(100);
  connect(&Timer1, &QTimer::timeout, this, [this] {
    try {
      Step([this] { session_.Timer1Timer(); });
    } catch (...) {
      ReportError(std::current_exception());
    }
  });
  countTimer_.setSingleShot(true);
  countTimer_.setInterval(kCountPaintMs);
  connect(&countTimer_, &QTimer::timeout, this, [this] { ShowCount(); });
  connect(Button1, &QPushButton::clicked, this, [this] { session_.Button1Click(); });

  adjustSize();
  CentreOnScreen(this);
}

TForm2::~TForm2() {
  Timer1.stop();
  ComPort1.Close();
  ComPort1.OnRxChar = nullptr;
  ComPort1.OnError = nullptr;
  ComPort1.OnException = nullptr;
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
  {
    // Created, shown and destroyed for every transfer.
    TForm3 settings(ComPort1, programFolder_, this);
    settings.exec();
  }
  session_.FormShow();
}

template <typename Handler>
void TForm2::Step(Handler handler) {
  // A closed dialog takes no more steps, though its port stays open until
  // the dialog is destroyed.
  if (closed_) return;
  struct Depth {
    TForm2& form;
    explicit Depth(TForm2& f) : form(f) { ++form.stepDepth_; }
    ~Depth() {
      if (--form.stepDepth_ == 0 && form.closePending_) form.QueueClose();
    }
  } depth(*this);
  handler();
}

void TForm2::SetLabel1(const std::string& text) {
  Label1->setText(FromUtf8(text));
}

void TForm2::SetLabel3(int count) {
  count_ = count;
  if (!countPainted_.isValid() || countPainted_.elapsed() >= kCountPaintMs) {
    ShowCount();
  } else if (!countTimer_.isActive()) {
    countTimer_.start();
  }
}

void TForm2::ShowCount() {
  countTimer_.stop();
  countPainted_.start();
  if (count_ == countShown_) return;
  countShown_ = count_;
  Label3->setText(QString::number(count_));
}

void TForm2::ProcessMessages() {
  QCoreApplication::processEvents();
}

void TForm2::Sleep(std::chrono::milliseconds duration) {
  // What the dialog says during the pause is on the screen first.
  ShowCount();
  repaint();
  std::this_thread::sleep_for(duration);
}

void TForm2::SetTimer1Enabled(bool enabled) {
  if (enabled) {
    Timer1.start();
  } else {
    Timer1.stop();
  }
}

void TForm2::PostCloseRequest() {
  closePending_ = true;
  QueueClose();
}

void TForm2::QueueClose() {
  QMetaObject::invokeMethod(
      this, [this] { RunPendingClose(); }, Qt::QueuedConnection);
}

void TForm2::RunPendingClose() {
  // Inside a step (one that lets messages run) the close waits for its end.
  if (!closePending_ || stepDepth_ > 0) return;
  closePending_ = false;
  session_.Close();
}

void TForm2::CloseDialog() {
  if (closed_) return;
  closed_ = true;
  Timer1.stop();
  ShowCount();
  done(session_.Outcome() == TransferOutcome::kCancelled ? QDialog::Rejected : QDialog::Accepted);
}

void TForm2::ShowPortOpenFailure(const std::string& detail) {
  QMessageBox box(QMessageBox::Warning, FromUtf8(kPortWarningCaption),
                  FromUtf8(kPortOpenFailedText), QMessageBox::Ok, this);
  box.setInformativeText(FromUtf8(detail));
  box.exec();
}

void TForm2::ShowUnsendableRecord(const UnsendableRecord& record) {
  const std::string name = FromAnsi(record.pointName).toStdString();
  QMessageBox box(QMessageBox::Warning, FromUtf8(kPortWarningCaption),
                  FromUtf8(UnsendableRecordText(record, name)), QMessageBox::Ok, this);
  box.exec();
}

void TForm2::reject() {
  if (!closed_) session_.Button1Click();
}

void TForm2::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!closed_) session_.Button1Click();
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
