// A settings file's lines read as the profile functions read them, and a key
// written into them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "comm/IniFile.h"
#include "records/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  IniFile file(SplitTextLines(fuzz::Bytes(data, size)));
  static_cast<void>(file.ReadString("ComPort1", "BaudRate", "9600"));
  static_cast<void>(file.ReadSection("PortMap"));
  // The file's bytes give its lines back.
  FUZZ_CHECK(SplitTextLines(file.Text()) == file.Lines());
  // A key written is the key read, whatever the file held before.
  file.Write("ComPort1", "Port", "COM7");
  FUZZ_CHECK(file.ReadString("ComPort1", "Port", "") == "COM7");
  return 0;
}
