// The serial line of lumaq-cli receive and send: --port COMn (resolved
// through [PortMap] of "Commpara" in the program's folder, as the program
// does) or --device PATH, and --baud RATE (else the rate stored in
// "Commpara", else ComPort1's design-time 1200). The line is always ComPort1's
// 8 data bits, no parity, one stop bit, no flow control.
#pragma once

#include <optional>
#include <string>

#include "CliCommand.h"
#include "comm/ComPort.h"

namespace lumaq::cli {

struct PortOptions {
  std::string port;         // a normalised port name, or empty
  std::string device;       // a device path, or empty
  std::optional<int> baud;  // bits per second
};

// Takes --port, --device and --baud ("--x VALUE" or "--x=VALUE") out of
// arguments and leaves the rest in order. Exactly one of --port and --device
// is required; usage is the message of a wrong call.
PortOptions TakePortOptions(Arguments& arguments, const std::string& usage);

// ComPort1 as designed, on the port or device and at the rate of options.
void ConfigurePort(TCustomComPort& port, const PortOptions& options,
                   const std::string& programFolder);

// The folder of the lumaq-cli program file, where "Commpara" is kept.
std::string ProgramFolder();

}  // namespace lumaq::cli
