#include "ui/AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace lumaq::ui {
namespace {

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

QString FromAnsi(std::string_view bytes) {
  if (IsAscii(bytes))
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString FromUtf8OrAnsi(std::string_view bytes) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return utf8.hasError() ? FromAnsi(bytes) : text;
}

std::string ToAnsi(const QString& text) {
  QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
  const QByteArray bytes = encoder.encode(text);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace lumaq::ui
