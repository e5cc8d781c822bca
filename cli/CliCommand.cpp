// The declarations of lumaq-cli's commands put to work: a call taken apart,
// its usage, and the help of a command.
#include "CliCommand.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace lumaq::cli {
namespace {

// The usage goes on to the next line, indented, past this width.
constexpr std::size_t kLineWidth = 100;
constexpr std::size_t kIndent = 6;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string Spelled(const CliOption& option) {
  return option.value.empty() ? option.name : option.name + ' ' + option.value;
}

// What follows the command's name: "(--port COMn | --device PATH)",
// "[--baud RATE]", then the positional arguments.
std::vector<std::string> UsageParts(const CliCommand& command) {
  std::vector<std::string> parts;
  std::string alternatives;
  std::size_t alternativesAt = 0;
  for (const CliOption& option : command.options) {
    if (!option.alternative) {
      parts.push_back('[' + Spelled(option) + ']');
    } else if (alternatives.empty()) {
      alternativesAt = parts.size();
      alternatives = Spelled(option);
    } else {
      alternatives += " | " + Spelled(option);
    }
  }
  if (!alternatives.empty()) {
    parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(alternativesAt),
                 '(' + alternatives + ')');
  }
  for (std::string& word : Words(command.arguments)) parts.push_back(std::move(word));
  return parts;
}

// prefix and the command's usage, then its help: on the last line when the
// help is one line, else indented below.
std::string Described(std::string prefix, const CliCommand& command, bool withHelp) {
  std::string text;
  std::string line = std::move(prefix) + ' ' + command.name;
  for (const std::string& part : UsageParts(command)) {
    if (line.size() + 1 + part.size() > kLineWidth) {
      text += line + '\n';
      line = std::string(kIndent, ' ') + part;
    } else {
      line += ' ' + part;
    }
  }
  if (!withHelp || command.help.empty()) return text + line;
  if (command.help.find('\n') == std::string::npos) return text + line + "   " + command.help;
  text += line;
  std::istringstream help(command.help);
  for (std::string helpLine; std::getline(help, helpLine);) {
    text += '\n' + std::string(kIndent, ' ') + helpLine;
  }
  return text;
}

UsageError WrongCall(const CliCommand& command, const std::string& what) {
  const std::string usage = Usage(command);
  if (what.empty()) return UsageError(usage);
  // A usage of several lines would bury what is wrong: the help has it.
  if (usage.find('\n') != std::string::npos) {
    return UsageError(what + " (see lumaq-cli " + command.name + " --help)");
  }
  return UsageError(what + '\n' + usage);
}

void PrintCommandHelp(const CliCommand& command) {
  std::cout << Described("usage: lumaq-cli", command, true) << '\n';
  if (command.options.empty()) return;
  std::size_t width = 0;
  for (const CliOption& option : command.options) width = std::max(width, Spelled(option).size());
  std::cout << "\noptions:\n";
  for (const CliOption& option : command.options) {
    std::string spelled = Spelled(option);
    spelled.resize(width, ' ');
    std::cout << "  " << spelled << "   " << option.help << '\n';
  }
}

// The call as the command declares it; nothing when it asks for help.
std::optional<CliCall> TakeApart(const CliCommand& command, const Arguments& arguments) {
  Arguments positional;
  std::vector<std::pair<std::string, std::string>> options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") return std::nullopt;
    if (argument == "--") {  // what follows is no option, even "--x"
      positional.insert(positional.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        arguments.end());
      break;
    }
    if (!argument.starts_with("--")) {
      positional.push_back(argument);
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const auto option = std::find_if(command.options.begin(), command.options.end(),
                                     [&](const CliOption& o) { return o.name == name; });
    if (option == command.options.end()) throw WrongCall(command, "unknown option " + name);
    if (option->value.empty()) {
      if (equals != std::string::npos) throw WrongCall(command, name + " takes no value");
      options.emplace_back(name, "");
    } else if (equals != std::string::npos) {
      options.emplace_back(name, argument.substr(equals + 1));
    } else if (i + 1 < arguments.size()) {
      options.emplace_back(name, arguments[++i]);
    } else {
      throw WrongCall(command, name + " needs a value");
    }
  }

  const std::vector<std::string> words = Words(command.arguments);
  if (words.empty() || words.back() != "...") {
    const auto optional = static_cast<std::size_t>(std::count_if(
        words.begin(), words.end(), [](const std::string& word) { return word.starts_with('['); }));
    if (positional.size() < words.size() - optional || positional.size() > words.size()) {
      throw WrongCall(command, "");
    }
  }
  return CliCall(command, std::move(positional), std::move(options));
}

}  // namespace

int CliCall::Count(std::string_view option) const {
  return static_cast<int>(std::count_if(options_.begin(), options_.end(),
                                        [&](const auto& given) { return given.first == option; }));
}

std::optional<std::string> CliCall::Value(std::string_view option) const {
  const auto last = std::find_if(options_.rbegin(), options_.rend(),
                                 [&](const auto& given) { return given.first == option; });
  if (last == options_.rend()) return std::nullopt;
  return last->second;
}

UsageError CliCall::Wrong(const std::string& what) const {
  return WrongCall(command_, what);
}

std::string Usage(const CliCommand& command) {
  return Described("usage: lumaq-cli", command, false);
}

std::string Summary(const CliCommand& command) {
  return Described("  lumaq-cli", command, true);
}

ExitCode RunCommand(const CliCommand& command, const Arguments& arguments) {
  const std::optional<CliCall> call = TakeApart(command, arguments);
  if (!call) {
    PrintCommandHelp(command);
    return ExitCode::kDone;
  }
  return command.run(*call);
}

}  // namespace lumaq::cli
