// The record table at its largest job: 15999 records filled, tidied and opened
// from a BDT file. These are the waits a surveyor sees on a full job.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "SampleJob.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "records/TextLines.h"
#include "support/TempDir.h"

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

using lumaq::NoProgress;

JobText MakeJobText(int lines) {
  return lumaq::bench::SampleJobText(lines);
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
  const lumaq::test::TempDir dir;
  const std::string path = dir.Path("JOB1.BDT");
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
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
  CheckFullTable(state, table);
}
BENCHMARK(BM_OpenBdtFile)->Unit(benchmark::kMillisecond);

// A small job in a new table: ten records opened, tidied and counted, as a
// surveyor's short job is (and as every fuzz run of a job file is). The table
// starts with 3000 rows, almost all of them empty.
void BM_TidyTenRecords(benchmark::State& state) {
  const JobText text = MakeJobText(10);
  NoProgress progress;
  for (auto _ : state) {
    lumaq::RecordTable table;
    table.FillTableFromJobText(text, progress);
    JobText tidied = table.BuildJobTextFromTable(progress);
    table.ClearTable();
    table.FillTableFromJobText(tidied, progress);
    if (table.CountRecords() != 10) state.SkipWithError("the table does not hold 10 records");
    benchmark::DoNotOptimize(table);
  }
  state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK(BM_TidyTenRecords)->Unit(benchmark::kMicrosecond);

}  // namespace
