// lumaq-cli: Lumaq's job, format, raw-data and transfer commands without a
// window. Exits with an ExitCode: 0 done, 1 failed at run time, 2 wrong call
// or rejected input, 130 a transfer stopped by Ctrl-C or SIGTERM.
#include <algorithm>
#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "CliCommand.h"
#include "records/InputLimits.h"
#include "records/JobFiles.h"

namespace lumaq::cli {
namespace {

std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> commands;
  return commands;
}

void PrintUsage(std::ostream& out) {
  out << "usage: lumaq-cli COMMAND ARGUMENTS\n\ncommands:\n";
  for (const auto& command : CliCommands()) out << Summary(command) << '\n';
  out << "  lumaq-cli --help | --version\n"
         "  lumaq-cli COMMAND --help   (the command's arguments and options)\n\n"
         "exit status: 0 done, 1 failed at run time, 2 wrong call or rejected input,\n"
         "130 transfer stopped by Ctrl-C or SIGTERM\n";
}

ExitCode Run(const Arguments& arguments) {
  if (arguments.empty()) throw UsageError("no command given (see lumaq-cli --help)");
  if (arguments[0] == "--help" || arguments[0] == "-h") {
    PrintUsage(std::cout);
    return ExitCode::kDone;
  }
  if (arguments[0] == "--version") {
    std::cout << "lumaq-cli " << LUMAQ_VERSION << '\n';
    return ExitCode::kDone;
  }
  const auto& commands = CliCommands();
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&](const CliCommand& c) { return c.name == arguments[0]; });
  if (command == commands.end()) throw UsageError("unknown command: " + arguments[0]);
  return RunCommand(*command, Arguments(arguments.begin() + 1, arguments.end()));
}

// Reports error on standard error, as it is or after the program's name.
int Exit(ExitCode code, const std::string& error, bool named = false) {
  std::cerr << (named ? "lumaq-cli: " : "") << error << '\n';
  return static_cast<int>(code);
}

}  // namespace

const std::vector<CliCommand>& CliCommands() {
  return Registry();
}

CliRegistration::CliRegistration(CliCommand command) {
  auto& commands = Registry();
  commands.push_back(std::move(command));
  std::sort(commands.begin(), commands.end(),
            [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
}

}  // namespace lumaq::cli

int main(int argc, char** argv) {
  using namespace lumaq::cli;
  // A file grown past the size limit fails its write, which is reported,
  // instead of ending the program without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return static_cast<int>(Run(Arguments(argv + 1, argv + argc)));
  } catch (const UsageError& error) {
    return Exit(ExitCode::kRejected, error.what(), true);
  } catch (const RejectedInput& error) {
    return Exit(ExitCode::kRejected, error.what());
  } catch (const lumaq::OversizedInput& error) {
    return Exit(ExitCode::kRejected, error.what());
  } catch (const lumaq::NotARegularFile& error) {
    return Exit(ExitCode::kRejected, error.what());
  } catch (const std::bad_alloc&) {
    return Exit(ExitCode::kFailed, "内存不足，无法完成操作");
  } catch (const std::exception& error) {
    return Exit(ExitCode::kFailed, error.what());
  }
}
