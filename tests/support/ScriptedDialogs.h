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

  void NextMessageAnswer(MessageResult answer) { messageAnswers.push_back(answer); }
  void NextOpenAnswer(std::optional<FileChoice> answer) { openAnswers.push_back(answer); }
  void NextSaveAnswer(std::optional<FileChoice> answer) { saveAnswers.push_back(answer); }
  // The surface the print dialog hands over; nullptr: the user cancels.
  void NextPrinterAnswer(std::unique_ptr<PrintSurface> answer) {
    printerAnswers.push_back(std::move(answer));
  }

  MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    messages.push_back({caption, text, icon, buttons});
    if (messageAnswers.empty()) {
      ADD_FAILURE() << "unexpected message box: " << text;
      return MessageResult::kCancel;
    }
    const MessageResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }

  std::optional<FileChoice> AskOpenFile(const FileDialogRequest& request) override {
    openRequests.push_back(request);
    return Take(openAnswers, "open");
  }

  std::optional<FileChoice> AskSaveFile(const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Take(saveAnswers, "save");
  }

  std::unique_ptr<PrintSurface> AskPrinter(const std::string& documentTitle) override {
    printTitles.push_back(documentTitle);
    if (printerAnswers.empty()) {
      ADD_FAILURE() << "unexpected print dialog: " << documentTitle;
      return nullptr;
    }
    std::unique_ptr<PrintSurface> answer = std::move(printerAnswers.front());
    printerAnswers.pop_front();
    return answer;
  }

  bool AllAnswersUsed() const {
    return messageAnswers.empty() && openAnswers.empty() && saveAnswers.empty() &&
           printerAnswers.empty();
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

  std::deque<MessageResult> messageAnswers;
  std::deque<std::optional<FileChoice>> openAnswers;
  std::deque<std::optional<FileChoice>> saveAnswers;
  std::deque<std::unique_ptr<PrintSurface>> printerAnswers;
};

}  // namespace lumaq::test
