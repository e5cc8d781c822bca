#include "PortOptions.h"

#include <charconv>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>

#include "comm/PortNames.h"
#include "records/SettingsLocation.h"

namespace lumaq::cli {
namespace {

int ParseBaud(const std::string& text, const std::string& usage) {
  int rate = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  if (error != std::errc() || end != text.data() + text.size() || rate <= 0) {
    throw UsageError("not a baud rate: " + text + "\n" + usage);
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

PortOptions TakePortOptions(Arguments& arguments, const std::string& usage) {
  PortOptions options;
  bool baudGiven = false;
  Arguments rest;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string name = argument;
    std::string value;
    bool hasValue = false;
    if (const auto equals = argument.find('=');
        argument.rfind("--", 0) == 0 && equals != argument.npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    if (name != "--port" && name != "--device" && name != "--baud") {
      rest.push_back(argument);
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= arguments.size()) throw UsageError(name + " needs a value\n" + usage);
      value = arguments[++i];
    }
    if (name == "--baud") {
      if (baudGiven) throw UsageError("--baud is given twice\n" + usage);
      baudGiven = true;
      options.baud = ParseBaud(value, usage);
    } else if (!options.port.empty() || !options.device.empty()) {
      throw UsageError("give one port: --port COMn or --device PATH\n" + usage);
    } else if (name == "--device") {
      if (value.empty()) throw UsageError("--device needs a path\n" + usage);
      options.device = value;
    } else {
      options.port = NormalizePortName(value);
      // The program takes a name that is no COM1..COM16 as COM1: say so.
      if (!IsComPortName(value)) {
        std::cerr << "lumaq-cli: \"" << value << "\" is no port COM1..COM16; taken as "
                  << options.port << '\n';
      }
    }
  }
  if (options.port.empty() && options.device.empty()) {
    throw UsageError("give a port: --port COMn or --device PATH\n" + usage);
  }
  arguments = std::move(rest);
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
