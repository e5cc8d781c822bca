// The serial line of lumaq-cli receive, send and instrument: --port COMn
// (resolved through [PortMap] of the settings file "Commpara", found as the
// program finds it: SettingsFilePath) or --device PATH, and --baud RATE (else
// the rate stored in that file, else ComPort1's design-time 1200). The line is
// always ComPort1's 8 data bits, no parity, one stop bit, no flow control.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "comm/ComPort.h"

namespace lumaq::cli {

struct PortOptions {
  std::string port;         // a normalised port name, or empty
  std::string device;       // a device path, or empty
  std::optional<int> baud;  // bits per second
};

// --port COMn and --device PATH, one of them required, and --baud RATE: the
// options of a command on the line, for its declaration.
std::vector<CliOption> PortCliOptions();
// The line a call of such a command names. Raises UsageError for a wrong one.
PortOptions PortOptionsOf(const CliCall& call);

// ComPort1 as designed, on the port or device and at the rate of options.
void ConfigurePort(TCustomComPort& port, const PortOptions& options,
                   const std::string& programFolder);

// Without --baud: the rate ConfigurePort gives the line.
int StoredBaudRate(const std::string& programFolder);
// The device of a port name, as ConfigurePort leads it.
std::string StoredDevicePath(const std::string& port, const std::string& programFolder);

// The folder of the lumaq-cli program file, which decides where "Commpara"
// is kept (SettingsFilePath).
std::string ProgramFolder();

}  // namespace lumaq::cli
