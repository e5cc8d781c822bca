// A measurement file of 100,000 raw records: opened (read and turned into
// text) and exported as polar lines. These are the waits of a long day's
// download from the instrument.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "rawdata/PolarLines.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"
#include "support/RawRecordBuilder.h"
#include "support/TempDir.h"

namespace {

constexpr int kRecords = 100000;

using lumaq::test::RawRecordBuilder;

// A station or backsight record (names and heights as given, coordinates in
// millimetres), numbers most significant byte first as a listed instrument
// writes them.
std::string PositionRecord(unsigned char type, const std::string& name, float height,
                           std::int32_t n, std::int32_t e, std::int32_t z, unsigned char link) {
  const auto coordinate = [](RawRecordBuilder& record, std::size_t at, std::int32_t millimetres) {
    record.Coordinate(at, millimetres / 1000, static_cast<std::int16_t>(millimetres % 1000));
  };
  RawRecordBuilder record(type);
  record.Bytes(1, name).Float(19, height);
  coordinate(record, 23, n);
  coordinate(record, 29, e);
  coordinate(record, 35, z);
  return record.Link(link);
}

// An instrument, a job and a unit record, then stations of groupSize records:
// the station, one backsight and distance measurements, the link byte
// counting stations as the instrument does (it wraps after 255).
std::string MakeRawRecords(int groupSize) {
  const std::string model(lumaq::kMostSignificantByteFirstModels[0]);
  std::string buffer;
  buffer.reserve(static_cast<std::size_t>(kRecords) * 42);
  buffer += RawRecordBuilder(0x81).Bytes(1, model).Bytes(11, "2.10").Bytes(15, "S0012345");
  buffer += RawRecordBuilder(0x82).Bytes(1, "ROAD7");
  buffer += RawRecordBuilder(0x83).UInt32(5, 0x00440BB0u).Float(13, 1.0f);  // 68 F, 2992
  unsigned seed = 20240611u;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  int station = 0;
  for (int i = 3; i < kRecords; ++i) {
    const int inGroup = (i - 3) % groupSize;
    if (inGroup == 0) ++station;
    const auto link = static_cast<unsigned char>(station);
    const std::string name = "P" + std::to_string(i);
    const auto n = static_cast<std::int32_t>(3421000000 + next() % 2000000u);
    const std::int32_t e = 512000000 + static_cast<std::int32_t>(next() % 2000000u);
    if (inGroup == 0) {
      buffer += PositionRecord(0x03, "S" + std::to_string(station), 1.55f, n, e, 35210, link);
    } else if (inGroup == 1) {
      buffer += PositionRecord(0x06, "BS" + std::to_string(station), 1.6f, n, e, 34100, link);
    } else {
      buffer += RawRecordBuilder(0x01)
                    .Bytes(1, name)
                    .Bytes(10, (i % 3) ? "TREE" : "\xB5\xE7\xB8\xCB")
                    .Float(19, 1.5f)
                    .Float(23, 5.0f + static_cast<float>(next() % 300000u) / 1000.0f)
                    .UInt32(27, 280000u + next() % 90000u)
                    .UInt32(31, next() % 1296000u)
                    .Link(link);
    }
  }
  return buffer;
}

// Open of a TSM file: read it, check it, convert every record to text.
void BM_OpenTsmFile(benchmark::State& state) {
  const lumaq::test::TempDir dir;
  const std::string path = dir.Write("FIELD.TSM", MakeRawRecords(50));

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
  const std::string buffer = MakeRawRecords(groupSize);
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
