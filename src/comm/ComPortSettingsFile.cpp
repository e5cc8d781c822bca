// The port's settings in the settings file: the section of its name with the
// keys of its basic settings.
#include <charconv>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "comm/ComPort.h"
#include "comm/IniFile.h"

namespace lumaq {
namespace {

int IntegerOr(std::string_view text, int fallback) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return (error == std::errc() && end == text.data() + text.size() && !text.empty()) ? value
                                                                                     : fallback;
}

// Keys of the settings file.
constexpr const char* kKeyPort = "Port";
constexpr const char* kKeyBaudRate = "BaudRate";
constexpr const char* kKeyCustomBaudRate = "CustomBaudRate";
constexpr const char* kKeyStopBits = "StopBits";
constexpr const char* kKeyDataBits = "DataBits";
constexpr const char* kKeyParity = "Parity";
constexpr const char* kKeyFlowControl = "FlowControl";

}  // namespace

void TCustomComPort::StoreIniFile(IniFile& file) {
  if (!storedProps_.Contains(spBasic)) return;
  file.Write(name_, kKeyPort, port_);
  file.Write(name_, kKeyBaudRate, BaudRateToStr(baudRate_));
  if (baudRate_ == brCustom) file.Write(name_, kKeyCustomBaudRate, std::to_string(customBaudRate_));
  file.Write(name_, kKeyStopBits, StopBitsToStr(stopBits_));
  file.Write(name_, kKeyDataBits, DataBitsToStr(dataBits_));
  file.Write(name_, kKeyParity, ParityToStr(parity_.Bits()));
  file.Write(name_, kKeyFlowControl, FlowControlToStr(flowControl_.FlowControl()));
}

void TCustomComPort::LoadIniFile(const IniFile& file) {
  if (!storedProps_.Contains(spBasic)) return;
  SetPort(file.ReadString(name_, kKeyPort, port_));
  SetBaudRate(StrToBaudRate(file.ReadString(name_, kKeyBaudRate, BaudRateToStr(baudRate_))));
  if (baudRate_ == brCustom) {
    SetCustomBaudRate(IntegerOr(file.ReadString(name_, kKeyCustomBaudRate, "9600"), 9600));
  }
  SetStopBits(StrToStopBits(file.ReadString(name_, kKeyStopBits, StopBitsToStr(stopBits_))));
  SetDataBits(StrToDataBits(file.ReadString(name_, kKeyDataBits, DataBitsToStr(dataBits_))));
  parity_.SetBits(StrToParity(file.ReadString(name_, kKeyParity, ParityToStr(parity_.Bits()))));
  flowControl_.SetFlowControl(StrToFlowControl(
      file.ReadString(name_, kKeyFlowControl, FlowControlToStr(flowControl_.FlowControl()))));
}

void TCustomComPort::StoreSettings(TStoreType type, const std::string& fileName) {
  try {
    if (type != stIniFile) throw std::invalid_argument("no registry on this system");
    IniFile file = IniFile::Load(fileName);
    StoreIniFile(file);
    file.Save(fileName);
  } catch (...) {
    std::throw_with_nested(EComPort(EComPort::kStoreFailed));
  }
}

void TCustomComPort::LoadSettings(TStoreType type, const std::string& fileName) {
  try {
    if (type != stIniFile) throw std::invalid_argument("no registry on this system");
    const IniFile file = IniFile::Load(fileName);
    BeginUpdate();
    try {
      LoadIniFile(file);
    } catch (...) {
      try {
        EndUpdate();
      } catch (...) {
      }
      throw;
    }
    EndUpdate();
  } catch (...) {
    std::throw_with_nested(EComPort(EComPort::kLoadFailed));
  }
}

}  // namespace lumaq
