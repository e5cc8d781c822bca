// The record table at its largest job: 15999 records filled, tidied and opened
// from a BDT file. These are the waits a surveyor sees on a full job.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "rawdata/String_func.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "records/TextLines.h"

namespace {

using lumaq::JobText;
using lumaq::kMaxRecords;

// Reports a benchmark that did not end with a full table: its time would not
// be the time of a full job.
void CheckFullTable(benchmark::State& state, const lumaq::RecordTable& table) {
  if (table.CountRecords() != kMaxRecords) {
    state.SkipWithError("the table does not hold 15999 records");
  }
}

class NoProgress : public lumaq::ProgressSink {
 public:
  void SetProgressText(const std::string&) override {}
  void ProcessMessages() override {}
};

std::string Fixed3(long thousandths) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%ld.%03ld", thousandths / 1000, thousandths % 1000);
  return buffer;
}

// A job as a total station gives it: names counting up in a few series, codes
// in ASCII and GB2312 (房角, 路边, 电杆), coordinates of a city grid in metres
// with millimetres, heights with and without a value.
JobText MakeJobText(int lines) {
  static const char* const kPrefixes[] = {"P", "K", "JD", "TZ"};
  static const char* const kCodes[] = {"JD", "\xB7\xBF\xBD\xC7", "\xC2\xB7\xB1\xDF", "FW",
                                       "\xB5\xE7\xB8\xCB", "", "DL", "GC"};
  JobText text;
  text.reserve(lines);
  unsigned state = 20240607u;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int i = 0; i < lines; ++i) {
    std::string name = std::string(kPrefixes[i % 4]) + std::to_string(i / 4 + 1);
    std::string code = kCodes[next() % 8];
    std::string n = Fixed3(3421000000L + static_cast<long>(next() % 2000000u));  // 3421000.000..
    std::string e = Fixed3(512000000L + static_cast<long>(next() % 2000000u));   // 512000.000..
    std::string z = (i % 10 == 9) ? "" : Fixed3(30000L + static_cast<long>(next() % 40000u));
    text.push_back(lumaq::ComposeRecordLine(name, code, n, e, z));
  }
  return text;
}

void BM_FillTableFromJobText(benchmark::State& state) {
  const JobText text = MakeJobText(kMaxRecords);
  NoProgress progress;
  lumaq::RecordTable table;
  for (auto _ : state) {
    table.FillTableFromJobText(text, progress);
    benchmark::DoNotOptimize(table);
  }
  state.SetItemsProcessed(state.iterations() * kMaxRecords);
  CheckFullTable(state, table);
}
BENCHMARK(BM_FillTableFromJobText)->Unit(benchmark::kMillisecond);

// Tidy: the table is compacted into record lines and filled again from them.
void BM_TidyRecords(benchmark::State& state) {
  NoProgress progress;
  lumaq::RecordTable table;
  table.FillTableFromJobText(MakeJobText(kMaxRecords), progress);
  for (auto _ : state) {
    JobText text = table.BuildJobTextFromTable(progress);
    table.ClearTable();
    table.FillTableFromJobText(text, progress);
    benchmark::DoNotOptimize(table);
  }
  state.SetItemsProcessed(state.iterations() * kMaxRecords);
  CheckFullTable(state, table);
}
BENCHMARK(BM_TidyRecords)->Unit(benchmark::kMillisecond);

// Open of a BDT file: read and split its lines, keep the first 15999, refill
// the table.
void BM_OpenBdtFile(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("lumaq_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "JOB1.BDT").string();
  lumaq::WriteTextFile(path, MakeJobText(kMaxRecords));

  NoProgress progress;
  lumaq::RecordTable table;
  for (auto _ : state) {
    JobText text = lumaq::ReadTextFile(path);
    lumaq::CapLines(text, kMaxRecords);
    table.ClearTable();
    table.FillTableFromJobText(text, progress);
    benchmark::DoNotOptimize(table);
  }
  state.SetItemsProcessed(state.iterations() * kMaxRecords);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
  CheckFullTable(state, table);

  std::error_code ignored;
  fs::remove_all(dir, ignored);
}
BENCHMARK(BM_OpenBdtFile)->Unit(benchmark::kMillisecond);

}  // namespace
