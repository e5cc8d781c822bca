// The subcommands of lumaq-cli. Each lives in its own file and registers
// itself with a static CliRegistration that declares its arguments and
// options once: lumaq-cli --help, lumaq-cli COMMAND --help and the message of
// a wrong call all come from that declaration.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumaq::cli {

// What lumaq-cli exits with.
enum class ExitCode {
  kDone = 0,
  kFailed = 1,         // the work failed at run time
  kRejected = 2,       // a wrong call, or input that the program rejects
  kInterrupted = 130,  // a transfer stopped by Ctrl-C or SIGTERM
};

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
class CliCall;

// An option: "--name VALUE" or "--name=VALUE", or a flag "--name".
struct CliOption {
  std::string name;          // "--baud"
  std::string value;         // the value as the usage names it ("RATE"); empty: a flag
  std::string help;          // one line for COMMAND --help
  bool alternative = false;  // one of those the command takes exactly one of: (A | B)
};

struct CliCommand {
  std::string name;
  // The positional arguments as the usage shows them, "FORMAT IN OUT.BDT"; a
  // word in brackets may be left out ("[OUT]"). A call with another number of
  // them is wrong, unless the words end in "...": the command checks them.
  std::string arguments;
  std::vector<CliOption> options;
  // Shown with the usage in the help: on its line when one line, else below.
  std::string help;
  std::function<ExitCode(const CliCall&)> run;
};

// A call of a command, taken apart as the command declares.
class CliCall {
 public:
  CliCall(const CliCommand& command, Arguments positional,
          std::vector<std::pair<std::string, std::string>> options)
      : command_(command), positional_(std::move(positional)), options_(std::move(options)) {}

  // The positional arguments, in order.
  const Arguments& Positional() const { return positional_; }
  // How often the option was given.
  int Count(std::string_view option) const;
  bool Has(std::string_view option) const { return Count(option) > 0; }
  // The value given last ("" for a flag), if the option was given.
  std::optional<std::string> Value(std::string_view option) const;
  // The error of a wrong call: what is wrong, then the command's usage (or,
  // when that takes several lines, where its help is).
  UsageError Wrong(const std::string& what) const;

 private:
  const CliCommand& command_;
  Arguments positional_;
  std::vector<std::pair<std::string, std::string>> options_;
};

// "usage: lumaq-cli NAME OPTIONS ARGUMENTS", for the message of a wrong call.
std::string Usage(const CliCommand& command);
// The command's lines in lumaq-cli --help: "  lumaq-cli NAME ...", its help.
std::string Summary(const CliCommand& command);
// Runs command with the arguments after its name, or prints its help for
// --help. Raises UsageError for a call that is not as declared.
ExitCode RunCommand(const CliCommand& command, const Arguments& arguments);

const std::vector<CliCommand>& CliCommands();

struct CliRegistration {
  explicit CliRegistration(CliCommand command);
};

}  // namespace lumaq::cli
