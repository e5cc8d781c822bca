// Opening a measurement data file for lumaq-cli text and polar: the Open
// command's TSM branch, with a rejected file reported instead of shown empty.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "CliCommand.h"
#include "CliJob.h"
#include "records/JobFiles.h"

namespace lumaq::cli {

// Every record converted in file order, so the unit state afterwards is the
// one the program has after opening the file.
inline void OpenTsmFile(CliJob& open, const std::string& path) {
  if (!open.commands.OpenRawFile(ReadFileBytes(path))) {
    throw RejectedInput("\"" + path +
                        "\": not a measurement data file (its size is not a multiple of 42 bytes"
                        " or its first record is not an instrument record)");
  }
}

// Writes bytes to standard output; flush: hands them on at once.
inline void WriteStandardOutput(std::string_view bytes, bool flush = true) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      (flush && std::fflush(stdout) != 0)) {
    throw FileError("无法写入标准输出");
  }
}

// Writes bytes to OUT as a whole, or to standard output for "-".
inline void WriteOutput(const std::string& out, std::string_view bytes) {
  if (out != "-") {
    WriteFileAtomically(out, bytes);
    return;
  }
  WriteStandardOutput(bytes);
}

}  // namespace lumaq::cli
