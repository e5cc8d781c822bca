// The application object: Qt's own Chinese texts, and one standard error box
// for every error that escapes a handler, after which the program goes on.
#pragma once

#include <QApplication>
#include <exception>
#include <string>
#include <vector>

namespace lumaq::ui {

class LumaqApplication : public QApplication {
 public:
  LumaqApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // The program's arguments as the user typed them, without the program
  // name: taken before Qt removes its own options (-platform, -reverse ...)
  // from argv, so that the command-line rule counts them all.
  const std::vector<std::string>& TypedArguments() const { return typedArguments_; }

 private:
  LumaqApplication(std::vector<std::string> typedArguments, int& argc, char** argv);

  std::vector<std::string> typedArguments_;
};

}  // namespace lumaq::ui
