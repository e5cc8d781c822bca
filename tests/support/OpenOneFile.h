// Dialogs that answer every open dialog with one file and its file type, for
// commands run over and over (the benchmarks): no other answer, no printer.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/PrintSurface.h"
#include "app/UserDialogs.h"

namespace lumaq::test {

class OpenOneFile : public UserDialogs {
 public:
  OpenOneFile(std::string path, int filterIndex)
      : path_(std::move(path)), filterIndex_(filterIndex) {}
  MessageResult ShowMessage(const std::string&, const std::string&, MessageIcon,
                            MessageButtons) override {
    return MessageResult::kNo;
  }
  std::optional<FileChoice> AskOpenFile(const FileDialogRequest&) override {
    return FileChoice{path_, filterIndex_};
  }
  std::optional<FileChoice> AskSaveFile(const FileDialogRequest&) override { return {}; }
  std::unique_ptr<PrintSurface> AskPrinter(const std::string&) override { return nullptr; }

 private:
  std::string path_;
  int filterIndex_;
};

}  // namespace lumaq::test
