// The port's settings loaded from a settings file's lines, as the port does
// when the communication settings are read. Storing what was loaded and
// loading it again gives the same settings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "comm/ComPort.h"
#include "comm/Dispatcher.h"
#include "comm/IniFile.h"
#include "records/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  static LoopDispatcher dispatcher;
  const IniFile file(SplitTextLines(fuzz::Bytes(data, size)));
  TComPort loaded(dispatcher);
  loaded.LoadIniFile(file);
  IniFile stored;
  loaded.StoreIniFile(stored);
  TComPort again(dispatcher);
  again.LoadIniFile(stored);
  IniFile storedAgain;
  again.StoreIniFile(storedAgain);
  FUZZ_CHECK(stored.Lines() == storedAgain.Lines());
  return 0;
}
