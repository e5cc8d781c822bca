// The arguments and options of lumaq-cli instrument.
#include <charconv>
#include <string>

#include "Instrument.h"
#include "PortOptions.h"

namespace lumaq::cli {
namespace {

// The value of option, a whole decimal number from least upwards, if given.
std::optional<int> CountOf(const CliCall& call, const std::string& option, int least) {
  const std::optional<std::string> text = call.Value(option);
  if (!text) return std::nullopt;
  int value = 0;
  const char* end = text->data() + text->size();
  const auto [stop, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || stop != end || value < least) {
    throw call.Wrong(option + " takes a whole number from " + std::to_string(least) + ", not \"" +
                     *text + "\"");
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

std::vector<CliOption> InstrumentCliOptions() {
  std::vector<CliOption> options = PortCliOptions();
  options.insert(
      options.begin() + 2,
      {"--pty", "", "a pseudo-terminal of its own; prints the path of its far end first", true});
  options.insert(
      options.end(),
      {
          {"--text", "", "text frames (send-job) or text requests (receive)"},
          {"--timeout", "MS", "how long an answer is awaited (default 1000)"},
          {"--verbose", "", "one line per frame on standard error"},
          {"--pause", "MS", "a silence before every frame"},
          {"--hangup-after", "N", "closes the line after N frames"},
          {"--bad-checksum", "N", "sending: a wrong checksum in every Nth frame"},
          {"--cut", "N", "sending: every Nth body stops after half its bytes"},
          {"--double", "N", "sending: every Nth header and first body byte at once"},
          {"--stray-after-ok", "N",
           "sending: one stray byte right after the 0x00 of every Nth frame"},
          {"--control-bytes", "N", "sending: CR LF in the point name of every Nth text frame"},
          {"--wrong-echo", "N", "receiving: a wrong echo of every Nth record"},
          {"--double-echo", "N", "receiving: the echo of every Nth record as two bytes at once"},
          {"--drop-poll", "N",
           "receiving: ignores the Nth poll after the first request, and every Nth "
           "after, as if lost"},
      });
  return options;
}

InstrumentOptions ParseInstrumentOptions(const CliCall& call) {
  InstrumentOptions options;
  options.port = call.Value("--port").value_or("");
  options.device = call.Value("--device").value_or("");
  options.pty = call.Has("--pty");
  options.baud = CountOf(call, "--baud", 1);
  options.text = call.Has("--text");
  options.verbose = call.Has("--verbose");
  options.timeout = Milliseconds(CountOf(call, "--timeout", 1).value_or(1000));
  options.pause = Milliseconds(CountOf(call, "--pause", 0).value_or(0));
  options.badChecksum = CountOf(call, "--bad-checksum", 1).value_or(0);
  options.cut = CountOf(call, "--cut", 1).value_or(0);
  options.doubled = CountOf(call, "--double", 1).value_or(0);
  options.wrongEcho = CountOf(call, "--wrong-echo", 1).value_or(0);
  options.hangupAfter = CountOf(call, "--hangup-after", 1).value_or(0);
  options.doubleEcho = CountOf(call, "--double-echo", 1).value_or(0);
  options.dropPoll = CountOf(call, "--drop-poll", 1).value_or(0);
  options.strayAfterOk = CountOf(call, "--stray-after-ok", 1).value_or(0);
  options.controlBytes = CountOf(call, "--control-bytes", 1).value_or(0);

  if (call.Count("--port") + call.Count("--device") + call.Count("--pty") != 1) {
    throw call.Wrong("name the line once: --port COMn, --device PATH or --pty");
  }
  const Arguments& positional = call.Positional();
  if (positional.empty()) throw call.Wrong("no action given");
  if (!ParseAction(positional[0], options.action)) {
    throw call.Wrong("unknown action " + positional[0]);
  }
  if (positional.size() != 2) throw call.Wrong(positional[0] + " takes one file");
  options.file = positional[1];

  const bool receiving = options.action == InstrumentAction::kReceive;
  if (options.text && options.action != InstrumentAction::kSendJob && !receiving) {
    throw call.Wrong("--text goes with send-job and receive only");
  }
  if (receiving && (options.badChecksum || options.cut || options.doubled || options.strayAfterOk ||
                    options.controlBytes)) {
    throw call.Wrong(
        "--bad-checksum, --cut, --double, --stray-after-ok and --control-bytes are for sending; "
        "receive takes --wrong-echo, --double-echo and --drop-poll");
  }
  if (!receiving && (options.wrongEcho || options.doubleEcho || options.dropPoll)) {
    throw call.Wrong("--wrong-echo is for receive, as are --double-echo and --drop-poll");
  }
  return options;
}

}  // namespace lumaq::cli
