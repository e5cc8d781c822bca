// A job file's lines opened into the record table and tidied back into
// record lines; a second tidy changes nothing.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "records/TextLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  JobText lines = SplitTextLines(fuzz::Bytes(data, size));
  CapLines(lines, kMaxRecords);
  NoProgress progress;
  RecordTable table;
  table.FillTableFromJobText(lines, progress);
  const JobText tidied = table.BuildJobTextFromTable(progress);
  FUZZ_CHECK(static_cast<int>(tidied.size()) == table.CountRecords());
  FUZZ_CHECK(tidied.size() <= lines.size());

  RecordTable again;
  again.FillTableFromJobText(tidied, progress);
  FUZZ_CHECK(again.BuildJobTextFromTable(progress) == tidied);
  return 0;
}
