#include "app/ui/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

#include "ui/Fonts.h"

namespace lumaq::ui {
namespace {

QLabel* AddLabel(QWidget* panel, const char* objectName, const QString& text, const QFont& font,
                 const QColor& colour, QPoint position) {
  auto* label = new QLabel(text, panel);
  label->setObjectName(objectName);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);  // a click anywhere closes the box
  label->adjustSize();
  label->move(position);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(bool asSplash, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName("AboutBox");
  setFixedSize(343, 223);
  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setGeometry(0, 0, 343, 223);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, QColor(0x23, 0xA2, 0xD8));
  panel->setPalette(palette);
  panel->setAttribute(Qt::WA_TransparentForMouseEvents);

  const QString title = QString::fromUtf8("全站仪通讯软件");
  AddLabel(panel, "Label3", "TOTAL STATION", NamedFont("Arial", 21, true), Qt::black, {60, 52});
  AddLabel(panel, "Label1", title, SerifCjkFont(32, true), Qt::gray, {58, 84});
  AddLabel(panel, "Label2", title, SerifCjkFont(32, true), Qt::white, {56, 82});
  AddLabel(panel, "Label4", "Data Communication Software", NamedFont("Arial", 16), Qt::black,
           {63, 124});
  AddLabel(panel, "Label5", "Ver 2.9", NamedFont("Arial", 19, true), Qt::white, {215, 156});

  Timer1.setInterval(1500);
  Timer1.setSingleShot(true);
  connect(&Timer1, &QTimer::timeout, this, &QDialog::accept);  // Timer1Timer
  if (asSplash) Timer1.start();
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

}  // namespace lumaq::ui
