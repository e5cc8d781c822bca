// The options of lumaq-cli instrument.
#include <charconv>
#include <string>

#include "Instrument.h"

namespace lumaq::cli {
namespace {

[[noreturn]] void Wrong(const std::string& what) {
  throw UsageError("instrument: " + what + " (see lumaq-cli --help)");
}

// A whole decimal number from least upwards.
int ParseCount(const std::string& option, const std::string& text, int least) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value < least) {
    Wrong(option + " takes a whole number from " + std::to_string(least) + ", not \"" + text +
          "\"");
  }
  return value;
}

bool ParseAction(const std::string& name, InstrumentAction& action) {
  if (name == "send-job") {
    action = InstrumentAction::kSendJob;
  } else if (name == "send-raw") {
    action = InstrumentAction::kSendRaw;
  } else if (name == "send-frames") {
    action = InstrumentAction::kSendFrames;
  } else if (name == "receive") {
    action = InstrumentAction::kReceive;
  } else {
    return false;
  }
  return true;
}

}  // namespace

InstrumentOptions ParseInstrumentOptions(const Arguments& arguments) {
  InstrumentOptions options;
  std::vector<std::string> positional;
  int lines = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 == arguments.size()) Wrong(argument + " needs a value");
      return arguments[++i];
    };
    if (argument == "--port") {
      options.port = value();
      ++lines;
    } else if (argument == "--device") {
      options.device = value();
      ++lines;
    } else if (argument == "--pty") {
      options.pty = true;
      ++lines;
    } else if (argument == "--baud") {
      options.baud = ParseCount(argument, value(), 1);
    } else if (argument == "--text") {
      options.text = true;
    } else if (argument == "--verbose") {
      options.verbose = true;
    } else if (argument == "--timeout") {
      options.timeout = Milliseconds(ParseCount(argument, value(), 1));
    } else if (argument == "--pause") {
      options.pause = Milliseconds(ParseCount(argument, value(), 0));
    } else if (argument == "--bad-checksum") {
      options.badChecksum = ParseCount(argument, value(), 1);
    } else if (argument == "--cut") {
      options.cut = ParseCount(argument, value(), 1);
    } else if (argument == "--double") {
      options.doubled = ParseCount(argument, value(), 1);
    } else if (argument == "--wrong-echo") {
      options.wrongEcho = ParseCount(argument, value(), 1);
    } else if (argument == "--hangup-after") {
      options.hangupAfter = ParseCount(argument, value(), 1);
    } else if (argument.starts_with("--")) {
      Wrong("unknown option " + argument);
    } else {
      positional.push_back(argument);
    }
  }

  if (lines != 1) Wrong("name the line once: --port COMn, --device PATH or --pty");
  if (positional.empty()) Wrong("no action given");
  if (!ParseAction(positional[0], options.action)) Wrong("unknown action " + positional[0]);
  if (positional.size() != 2) Wrong(positional[0] + " takes one file");
  options.file = positional[1];

  const bool receiving = options.action == InstrumentAction::kReceive;
  if (options.text && options.action != InstrumentAction::kSendJob && !receiving) {
    Wrong("--text goes with send-job and receive only");
  }
  if (receiving && (options.badChecksum || options.cut || options.doubled)) {
    Wrong("--bad-checksum, --cut and --double are for sending; receive takes --wrong-echo");
  }
  if (!receiving && options.wrongEcho) Wrong("--wrong-echo is for receive");
  return options;
}

}  // namespace lumaq::cli
