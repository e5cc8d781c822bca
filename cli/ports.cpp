// lumaq-cli ports: the port list of the communication settings, so that a
// cable or an adapter can be checked from a shell. One line per serial device
// present: its COM name, its device file and what it is; then the ports of
// [PortMap] (and the stored port) whose device is not there, marked 未连接.
#include <iostream>
#include <string>

#include "CliCommand.h"
#include "PortOptions.h"
#include "comm/ComPort.h"
#include "comm/DeviceDatabase.h"
#include "comm/PortList.h"
#include "comm/SerialDevices.h"
#include "records/SettingsLocation.h"

namespace lumaq::cli {
namespace {

// The port of ComPort1 once the program has read its settings.
std::string StoredPort(const std::string& settings) {
  LoopDispatcher unused;
  TComPort port(unused);
  ApplyComPort1Design(port);
  if (IsSettingsFile(settings)) port.LoadSettings(stIniFile, settings);
  return port.Port();
}

std::string PortLine(const PortEntry& entry) {
  std::string line = entry.comName.empty() ? "--" : entry.comName;
  line.resize(7, ' ');
  line += entry.device;
  if (!entry.description.empty()) line += "  " + entry.description;
  if (entry.comName.empty()) line += "（没有空闲的串口名）";
  if (!entry.mapTo.empty()) {
    line += "（新设备：在通讯设置中选择它后保存为 " + entry.comName + "=" + entry.mapTo + "）";
  }
  return line;
}

ExitCode RunPorts(const CliCall&) {
  const std::string settings = SettingsFilePath(ProgramFolder());
  const ComPortMap map =
      IsSettingsFile(settings) ? ComPortMap::FromSettingsFile(settings) : ComPortMap();
  const PortList list =
      ListPorts(SerialDevicesIn(CreateDeviceDatabase()->TtyDevices()), map, StoredPort(settings));
  for (const PortEntry& entry : list.present) std::cout << PortLine(entry) << '\n';
  for (const PortEntry& entry : list.absent) std::cout << PortLine(entry) << '\n';
  if (list.present.empty()) std::cerr << "lumaq-cli: no serial device is present\n";
  return ExitCode::kDone;
}

const CliRegistration registration{
    {"ports",
     "",
     {},
     "(the serial devices present with their COM names, then the ports of \"Commpara\" whose "
     "device is not there)",
     RunPorts}};

}  // namespace
}  // namespace lumaq::cli
