#include "PortOptions.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "comm/PortNames.h"
#include "records/SettingsLocation.h"

namespace lumaq::cli {
namespace {

int ParseBaud(const std::string& text, const CliCall& call) {
  int rate = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  if (error != std::errc() || end != text.data() + text.size() || rate <= 0) {
    throw call.Wrong("not a baud rate: " + text);
  }
  return rate;
}

// The rate of ComPort1 after the program loads its settings file.
void LoadStoredRate(TCustomComPort& port, const std::string& settings) {
  LoopDispatcher unused;
  TComPort stored(unused, port.Name());
  ApplyComPort1Design(stored);
  stored.LoadSettings(stIniFile, settings);
  port.SetBaudRate(stored.BaudRate());
  port.SetCustomBaudRate(stored.CustomBaudRate());
}

}  // namespace

std::vector<CliOption> PortCliOptions() {
  return {
      {"--port", "COMn", "a port COM1..COM16, led to its device by [PortMap] of \"Commpara\"",
       true},
      {"--device", "PATH", "a serial device path, used as it is (a pseudo-terminal, say)", true},
      {"--baud", "RATE", "bits per second; without it the rate stored in \"Commpara\", else 1200"},
  };
}

PortOptions PortOptionsOf(const CliCall& call) {
  PortOptions options;
  if (call.Count("--port") + call.Count("--device") > 1) {
    throw call.Wrong("give one port: --port COMn or --device PATH");
  }
  if (call.Count("--baud") > 1) throw call.Wrong("--baud is given twice");
  if (const auto baud = call.Value("--baud")) options.baud = ParseBaud(*baud, call);
  if (const auto device = call.Value("--device")) {
    if (device->empty()) throw call.Wrong("--device needs a path");
    options.device = *device;
  } else if (const auto port = call.Value("--port")) {
    // The window takes a stored name that is no COM1..COM16 as COM1; a name
    // typed here is a mistake to say, not a port to guess.
    if (!IsComPortName(*port)) throw call.Wrong("\"" + *port + "\" is no port COM1..COM16");
    options.port = NormalizePortName(*port);
  } else {
    throw call.Wrong("give a port: --port COMn or --device PATH");
  }
  return options;
}

void ConfigurePort(TCustomComPort& port, const PortOptions& options,
                   const std::string& programFolder) {
  ApplyComPort1Design(port);
  const std::string settings = SettingsFilePath(programFolder);
  const bool stored = IsSettingsFile(settings);
  if (options.device.empty()) {
    if (stored) port.SetPortMap(ComPortMap::FromSettingsFile(settings));
    port.SetPort(options.port);
  } else {
    port.SetDevicePath(options.device);
  }
  if (options.baud) {
    TBaudRate rate = brCustom;
    for (int i = br110; i <= br256000; ++i) {
      if (BaudRateValue(static_cast<TBaudRate>(i)) == *options.baud)
        rate = static_cast<TBaudRate>(i);
    }
    port.SetBaudRate(rate);
    if (rate == brCustom) port.SetCustomBaudRate(*options.baud);
  } else if (stored) {
    LoadStoredRate(port, settings);
  }
}

int StoredBaudRate(const std::string& programFolder) {
  LoopDispatcher unused;
  TComPort port(unused);
  ConfigurePort(port, PortOptions{.port = "COM1", .device = {}, .baud = {}}, programFolder);
  return port.BaudRate() == brCustom ? port.CustomBaudRate() : BaudRateValue(port.BaudRate());
}

std::string StoredDevicePath(const std::string& port, const std::string& programFolder) {
  LoopDispatcher unused;
  TComPort stored(unused);
  ConfigurePort(stored, PortOptions{.port = port, .device = {}, .baud = {}}, programFolder);
  return stored.ResolvedDevicePath();
}

std::string ProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

}  // namespace lumaq::cli
