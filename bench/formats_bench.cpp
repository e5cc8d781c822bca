// The exchange formats at their largest job: a 20000-line CASS file imported
// (the import keeps 15999 records) and 15999 records exported to each format.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "SampleJob.h"
#include "formats/ExchangeFormats.h"
#include "formats/ExportFormats.h"
#include "formats/ImportFormats.h"
#include "records/JobFiles.h"
#include "records/RecordTable.h"
#include "support/ExchangeFormatsByName.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using lumaq::JobText;

using lumaq::NoProgress;

std::string CassFile(int lines) {
  std::string bytes;
  unsigned state = lumaq::bench::kSampleSeed;
  for (int i = 0; i < lines; ++i) {
    const lumaq::bench::SamplePoint p = lumaq::bench::MakeSamplePoint(i, state);
    bytes += p.name + "," + p.code + "," + p.e + "," + p.n + "," + p.z + "\r\n";
  }
  return bytes;
}

JobText RecordLines(int lines) {
  return lumaq::bench::SampleJobText(lines);
}

// What lumaq-cli import does: the file read and converted, the BDT written.
void BM_ImportCass20000ToBdt(benchmark::State& state) {
  const lumaq::test::TempDir folder;
  const std::string in = folder.Path("in.DAT");
  lumaq::WriteFileAtomically(in, CassFile(20000));
  const std::string out = folder.Path("OUT.BDT");
  std::size_t records = 0;
  for (auto _ : state) {
    const JobText text =
        lumaq::ImportRecordLines(lumaq::test::Format("cass"), lumaq::ReadTextFile(in));
    lumaq::WriteTextFile(out, text);
    records = text.size();
  }
  state.SetItemsProcessed(state.iterations() * 20000);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(in)));
  if (records != static_cast<std::size_t>(lumaq::kMaxRecords)) state.SkipWithError("not 15999");
}
BENCHMARK(BM_ImportCass20000ToBdt)->Unit(benchmark::kMillisecond);

// What the window's Import does after the dialog: read, convert, fill the table.
void BM_ImportCass20000IntoTable(benchmark::State& state) {
  const lumaq::test::TempDir folder;
  const std::string in = folder.Path("in.DAT");
  lumaq::WriteFileAtomically(in, CassFile(20000));
  NoProgress progress;
  lumaq::RecordTable table;
  for (auto _ : state) {
    table.ClearTable();
    const JobText text =
        lumaq::ImportRecordLines(lumaq::test::Format("cass"), lumaq::ReadTextFile(in));
    table.FillTableFromJobText(text, progress);
    benchmark::DoNotOptimize(table);
  }
  state.SetItemsProcessed(state.iterations() * 20000);
  if (table.CountRecords() != lumaq::kMaxRecords) state.SkipWithError("not 15999");
}
BENCHMARK(BM_ImportCass20000IntoTable)->Unit(benchmark::kMillisecond);

// The formats streamed record by record; the GIS formats are timed by
// bench/rows/gis.sh through lumaq-cli.
lumaq::FormatList CoordinateExports() {
  lumaq::FormatList formats = lumaq::FormatsToExport(lumaq::RecordKind::kCoordinateRecords);
  std::erase_if(formats, [](const lumaq::ExchangeFormat* format) {
    return format->writer.record == nullptr;
  });
  return formats;
}

// The export of a full job, streamed into a file that replaces the target.
void BM_Export15999(benchmark::State& state) {
  const lumaq::ExchangeFormat& format =
      lumaq::FormatOfTypeIndex(CoordinateExports(), static_cast<int>(state.range(0)));
  const lumaq::test::TempDir folder;
  const JobText text = RecordLines(lumaq::kMaxRecords);
  const std::string out = folder.Path("out");
  for (auto _ : state) lumaq::ExportRecordsToFile(text, format, {}, out);
  state.SetItemsProcessed(state.iterations() * lumaq::kMaxRecords);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(out)));
  state.SetLabel(std::string(format.name));
}
BENCHMARK(BM_Export15999)
    ->DenseRange(1, static_cast<int>(CoordinateExports().size()))
    ->Unit(benchmark::kMillisecond);

}  // namespace
