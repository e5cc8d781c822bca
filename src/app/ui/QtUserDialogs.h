// The real message boxes, file dialogs and print dialog behind UserDialogs.
#pragma once

#include <QWidget>

#include "app/UserDialogs.h"

namespace lumaq::ui {

class QtUserDialogs : public UserDialogs {
 public:
  explicit QtUserDialogs(QWidget* owner) : owner_(owner) {}

  MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<FileChoice> AskOpenFile(const FileDialogRequest& request) override;
  std::optional<FileChoice> AskSaveFile(const FileDialogRequest& request) override;
  std::unique_ptr<PrintSurface> AskPrinter(const std::string& documentTitle) override;

 private:
  std::optional<FileChoice> AskFile(const FileDialogRequest& request, bool save);

  QWidget* owner_;
};

// "desc|*.EXT|..." as Qt name filters: each description carries its pattern
// in parentheses, in upper and lower case, since Linux names are
// case-sensitive.
QStringList QtNameFilters(const std::string& filter);

}  // namespace lumaq::ui
