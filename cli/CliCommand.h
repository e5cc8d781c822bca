// The subcommands of lumaq-cli. Each lives in its own file and registers
// itself with a static CliRegistration.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumaq::cli {

// Exit 2: a wrong call, or input that the program rejects.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class RejectedInput : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

struct CliCommand {
  std::string name;
  std::string usage;  // the arguments after the name, for --help
  std::function<int(const Arguments&)> run;
};

const std::vector<CliCommand>& CliCommands();

struct CliRegistration {
  explicit CliRegistration(CliCommand command);
};

}  // namespace lumaq::cli
