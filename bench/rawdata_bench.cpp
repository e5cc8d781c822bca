// A measurement file of 100,000 raw records: opened (read and turned into
// text) and exported as polar lines. These are the waits of a long day's
// download from the instrument.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "SampleRawRecords.h"
#include "rawdata/PolarLines.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"
#include "support/TempDir.h"

namespace {

constexpr int kRecords = 100000;

using lumaq::bench::MakeRawRecords;

// Open of a TSM file: read it, check it, convert every record to text.
void BM_OpenTsmFile(benchmark::State& state) {
  const lumaq::test::TempDir dir;
  const std::string path = dir.Write("FIELD.TSM", MakeRawRecords(kRecords, 50));

  std::size_t lines = 0;
  for (auto _ : state) {
    lumaq::RawUnitState units;
    lumaq::TsmContent content = lumaq::OpenTsmBytes(units, lumaq::ReadFileBytes(path));
    lines = content.JobText.size();
    benchmark::DoNotOptimize(content);
  }
  if (lines != kRecords + 1) state.SkipWithError("not every record gave its line");
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_OpenTsmFile)->Unit(benchmark::kMillisecond);

// The polar export's lines, written as the export writes them: each line and
// CR LF into the bytes that go to the file (a buffer reused from run to run,
// as the export's file buffer is). With 400 records to a station there are
// 250 stations, each with a link byte of its own. With 50 there are 2000, and
// the link byte wraps: stations 256 apart share it and list each other's
// records.
void BM_WritePolarLines(benchmark::State& state) {
  const int groupSize = static_cast<int>(state.range(0));
  const std::string buffer = MakeRawRecords(kRecords, groupSize);
  lumaq::RawUnitState units;
  lumaq::JobText warmUp;
  lumaq::ConvertRawRecord(units, buffer.substr(0, 42), warmUp);  // the instrument's byte order
  std::string bytes;
  std::size_t lines = 0;
  for (auto _ : state) {
    bytes.clear();
    lines = 0;
    lumaq::WritePolarLines(units, buffer, [&](std::string_view line) {
      bytes += line;
      bytes += "\r\n";
      ++lines;
    });
    benchmark::DoNotOptimize(bytes.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WritePolarLines)->Arg(400)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
