// Dialogs whose answers a test sets in advance. Every question asked is
// recorded; a question without a scripted answer fails the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/UserDialogs.h"

namespace lumaq::test {

class ScriptedDialogs : public UserDialogs {
 public:
  struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
  };

  void NextMessageAnswer(MessageResult answer) { messageAnswers_.push_back(answer); }
  void NextOpenAnswer(std::optional<FileChoice> answer) { openAnswers_.push_back(answer); }
  void NextSaveAnswer(std::optional<FileChoice> answer) { saveAnswers_.push_back(answer); }
  // The surface the print dialog hands over; nullptr: the user cancels.
  void NextPrinterAnswer(std::unique_ptr<PrintSurface> answer) {
    printerAnswers_.push_back(std::move(answer));
  }

  MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({caption, text, icon, buttons});
    if (messageAnswers_.empty()) {
      ADD_FAILURE() << "unexpected message box: " << text;
      return MessageResult::kCancel;
    }
    const MessageResult answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
  }

  std::optional<FileChoice> AskOpenFile(const FileDialogRequest& request) override {
    openRequests.push_back(request);
    return Take(openAnswers_, "open");
  }

  std::optional<FileChoice> AskSaveFile(const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Take(saveAnswers_, "save");
  }

  std::unique_ptr<PrintSurface> AskPrinter(const std::string& documentTitle) override {
    printTitles.push_back(documentTitle);
    if (printerAnswers_.empty()) {
      ADD_FAILURE() << "unexpected print dialog: " << documentTitle;
      return nullptr;
    }
    std::unique_ptr<PrintSurface> answer = std::move(printerAnswers_.front());
    printerAnswers_.pop_front();
    return answer;
  }

  bool AllAnswersUsed() const {
    return messageAnswers_.empty() && openAnswers_.empty() && saveAnswers_.empty() &&
           printerAnswers_.empty();
  }

  std::vector<Message> messages;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<std::string> printTitles;  // the document title of each print dialog

 private:
  static std::optional<FileChoice> Take(std::deque<std::optional<FileChoice>>& answers,
                                        const char* which) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << which << " dialog";
      return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<MessageResult> messageAnswers_;
  std::deque<std::optional<FileChoice>> openAnswers_;
  std::deque<std::optional<FileChoice>> saveAnswers_;
  std::deque<std::unique_ptr<PrintSurface>> printerAnswers_;
};

}  // namespace lumaq::test
