#include "app/ui/QtUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

#include "app/FileFilter.h"
#include "app/ui/QtPrintSurface.h"
#include "ui/AnsiText.h"

namespace lumaq::ui {
namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::kContinueCancel:  // buttons of their own, added by ShowMessage
      return QMessageBox::NoButton;
    case MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

MessageResult FromQt(int button) {
  switch (button) {
    case QMessageBox::Yes:
      return MessageResult::kYes;
    case QMessageBox::No:
      return MessageResult::kNo;
    case QMessageBox::Ok:
      return MessageResult::kOk;
    default:
      return MessageResult::kCancel;
  }
}

QString PatternVariants(const QString& pattern) {
  const QString upper = pattern.toUpper();
  const QString lower = pattern.toLower();
  return upper == lower ? pattern : upper + ' ' + lower;
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList filters;
  for (const FileType& type : ParseFilter(filter)) {
    QString description = FromUtf8OrAnsi(type.description);
    const QString pattern = FromUtf8OrAnsi(type.pattern);
    const QString suffix = "(" + pattern + ")";
    if (description.endsWith(suffix)) description.chop(suffix.size());
    filters << description + "(" + PatternVariants(pattern) + ")";
  }
  return filters;
}

MessageResult QtUserDialogs::ShowMessage(const std::string& caption, const std::string& text,
                                         MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(QtIcon(icon), FromUtf8(caption), FromUtf8(text), QtButtons(buttons), owner_);
  if (buttons == MessageButtons::kContinueCancel) {
    const QPushButton* goOn = box.addButton(QStringLiteral("继续"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == goOn ? MessageResult::kOk : MessageResult::kCancel;
  }
  return FromQt(box.exec());
}

std::optional<FileChoice> QtUserDialogs::AskOpenFile(const FileDialogRequest& request) {
  return AskFile(request, false);
}

std::optional<FileChoice> QtUserDialogs::AskSaveFile(const FileDialogRequest& request) {
  return AskFile(request, true);
}

std::optional<FileChoice> QtUserDialogs::AskFile(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(owner_, FromUtf8(request.title),
                     QString::fromStdString(request.initialFolder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = QtNameFilters(request.filter);
  dialog.setNameFilters(filters);
  const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
  if (!filters.isEmpty()) dialog.selectNameFilter(filters[index - 1]);
  if (save) {
    // A name typed without extension takes the chosen type's, before the
    // dialog asks whether to overwrite.
    const auto suffixOf = [&](int filterIndex) {
      const QString probe = FromUtf8(CompleteFileName("x", request.filter, filterIndex));
      return probe.size() > 2 ? probe.mid(2) : QString();
    };
    dialog.setDefaultSuffix(suffixOf(index));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, &filters, suffixOf](const QString& selected) {
          dialog.setDefaultSuffix(suffixOf(static_cast<int>(filters.indexOf(selected)) + 1));
        });
  }
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return FileChoice{dialog.selectedFiles().first().toStdString(), chosen > 0 ? chosen : index};
}

// The system's print dialog: every printer the print system knows, and
// printing to a PDF file.
std::unique_ptr<PrintSurface> QtUserDialogs::AskPrinter(const std::string& documentTitle) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(FromUtf8(documentTitle));
  QPrintDialog dialog(printer.get(), owner_);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return std::make_unique<QtPrintSurface>(std::move(printer));
}

}  // namespace lumaq::ui
