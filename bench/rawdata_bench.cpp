// A measurement file of 100,000 raw records: opened (read and turned into
// text) and exported as polar lines. These are the waits of a long day's
// download from the instrument.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "rawdata/PolarLines.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"

namespace {

constexpr int kRecords = 100000;

// One record, numbers most significant byte first as a listed instrument
// writes them.
class Record {
 public:
  explicit Record(unsigned char type) : bytes_(42, '\0') { bytes_[0] = static_cast<char>(type); }
  Record& Text(std::size_t at, const std::string& text) {
    bytes_.replace(at, text.size(), text);
    return *this;
  }
  Record& U32(std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>(value >> (24 - 8 * i));
    return *this;
  }
  Record& F32(std::size_t at, float value) { return U32(at, std::bit_cast<std::uint32_t>(value)); }
  Record& Coordinate(std::size_t at, std::int32_t millimetres) {
    U32(at, static_cast<std::uint32_t>(millimetres / 1000));
    const auto thousandths = static_cast<std::uint16_t>(millimetres % 1000);
    bytes_[at + 4] = static_cast<char>(thousandths >> 8);
    bytes_[at + 5] = static_cast<char>(thousandths);
    return *this;
  }
  Record& Link(unsigned char link) {
    bytes_[41] = static_cast<char>(link);
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// An instrument, a job and a unit record, then stations of groupSize records:
// the station, one backsight and distance measurements, the link byte
// counting stations as the instrument does (it wraps after 255).
std::string MakeRawRecords(int groupSize) {
  const std::string model(lumaq::kMostSignificantByteFirstModels[0]);
  std::string buffer;
  buffer.reserve(static_cast<std::size_t>(kRecords) * 42);
  buffer += Record(0x81).Text(1, model).Text(11, "2.10").Text(15, "S0012345").Bytes();
  buffer += Record(0x82).Text(1, "ROAD7").Bytes();
  buffer += Record(0x83).U32(5, 0x00440BB0u).F32(13, 1.0f).Bytes();  // 68 F, 2992
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
      buffer += Record(0x03)
                    .Text(1, "S" + std::to_string(station))
                    .F32(19, 1.55f)
                    .Coordinate(23, n)
                    .Coordinate(29, e)
                    .Coordinate(35, 35210)
                    .Link(link)
                    .Bytes();
    } else if (inGroup == 1) {
      buffer += Record(0x06)
                    .Text(1, "BS" + std::to_string(station))
                    .F32(19, 1.6f)
                    .Coordinate(23, n)
                    .Coordinate(29, e)
                    .Coordinate(35, 34100)
                    .Link(link)
                    .Bytes();
    } else {
      buffer += Record(0x01)
                    .Text(1, name)
                    .Text(10, (i % 3) ? "TREE" : "\xB5\xE7\xB8\xCB")
                    .F32(19, 1.5f)
                    .F32(23, 5.0f + static_cast<float>(next() % 300000u) / 1000.0f)
                    .U32(27, 280000u + next() % 90000u)
                    .U32(31, next() % 1296000u)
                    .Link(link)
                    .Bytes();
    }
  }
  return buffer;
}

// Open of a TSM file: read it, check it, convert every record to text.
void BM_OpenTsmFile(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("lumaq_raw_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "FIELD.TSM").string();
  lumaq::WriteFileAtomically(path, MakeRawRecords(50));

  std::size_t lines = 0;
  for (auto _ : state) {
    lumaq::RawUnitState units;
    lumaq::TsmContent content = lumaq::OpenTsmBytes(units, lumaq::ReadFileBytes(path));
    lines = content.JobText.size();
    benchmark::DoNotOptimize(content);
  }
  if (lines != kRecords + 1) state.SkipWithError("not every record gave its line");
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));

  std::error_code ignored;
  fs::remove_all(dir, ignored);
}
BENCHMARK(BM_OpenTsmFile)->Unit(benchmark::kMillisecond);

// The polar export's lines. With 400 records to a station there are 250
// stations, each with a link byte of its own. With 50 there are 2000, and the
// link byte wraps: stations 256 apart share it and list each other's records.
void BM_BuildPolarLines(benchmark::State& state) {
  const int groupSize = static_cast<int>(state.range(0));
  const std::string buffer = MakeRawRecords(groupSize);
  lumaq::RawUnitState units;
  lumaq::JobText warmUp;
  lumaq::ConvertRawRecord(units, buffer.substr(0, 42), warmUp);  // the instrument's byte order
  std::size_t lines = 0;
  for (auto _ : state) {
    lumaq::JobText polar;
    lumaq::BuildPolarLines(units, buffer, polar);
    lines = polar.size();
    benchmark::DoNotOptimize(polar);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BuildPolarLines)->Arg(400)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
