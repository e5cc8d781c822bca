#include "rawdata/PolarLines.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "rawdata/FieldLine.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawRecordView.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

// Station and backsight lines: name, height, E, N, Z, code.
void StationOrBacksightLine(std::string& line, const RawUnitState& state,
                            const RawRecordView& record) {
  line.clear();
  FieldLine(line)
      .Add(record.PointName())
      .Add(record.Distance<19>(state))
      .Add(record.Coordinate<29>(state))  // E before N
      .Add(record.Coordinate<23>(state))
      .Add(record.Coordinate<35>(state))
      .AddCode(record.PointCode());
}

void MeasurementLine(std::string& line, const RawUnitState& state, const RawRecordView& record) {
  line.clear();
  FieldLine(line)
      .Add(record.PointName())
      .Add(record.Distance<19>(state))
      .Add(record.Distance<23>(state))
      .Add(record.Angle<31>(state))
      .Add(record.Angle<27>(state))
      .AddCode(record.PointCode());
}

// separateFirst: an empty line before the first group too.
void MakePolarLines(const RawUnitState& state, std::string_view buffer, bool separateFirst,
                    const PolarLineSink& sink) {
  const std::size_t count = buffer.size() / kRawRecordSize;
  auto record = [&](std::size_t i) { return RawRecordView::InBuffer(buffer, i); };
  auto link = [&](std::size_t i) { return record(i).Link(); };

  // The backsight and distance records of each link byte, in buffer order,
  // and the stations of each.
  std::array<std::vector<std::size_t>, 256> members;
  std::array<std::size_t, 256> stations{};
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char type = record(i).Type();
    if (type == kRawBacksight || type == kRawDistance) members[link(i)].push_back(i);
    if (type == kRawStation) ++stations[link(i)];
  }
  // Stations that share a link byte list the same records, so their lines
  // are built once and kept, one after another in kept; the others' lines
  // are listed once and not kept.
  std::string line;  // reused for every line made
  std::string kept;
  struct KeptLine {
    std::size_t at = 0;
    std::size_t size = std::string::npos;  // not built yet
  };
  std::vector<KeptLine> keptLines;
  auto build = [&](std::size_t i) {
    const RawRecordView r = record(i);
    if (r.Type() == kRawBacksight) {
      StationOrBacksightLine(line, state, r);
    } else {
      MeasurementLine(line, state, r);
    }
  };
  auto lineOf = [&](std::size_t i) -> std::string_view {
    if (stations[link(i)] < 2) {
      build(i);
      return line;
    }
    if (keptLines.empty()) {
      keptLines.resize(count);
      // Room enough for the lines as they usually are; pages not written to
      // cost nothing.
      kept.reserve(count * 64);
    }
    KeptLine& keptLine = keptLines[i];
    if (keptLine.size == std::string::npos) {
      build(i);
      keptLine = {kept.size(), line.size()};
      kept += line;
    }
    return std::string_view(kept).substr(keptLine.at, keptLine.size);
  };

  std::vector<std::size_t> backsights;
  std::vector<std::size_t> distances;
  bool separate = separateFirst;
  for (std::size_t i = 0; i < count; ++i) {
    if (record(i).Type() != kRawStation) continue;
    if (separate) sink(std::string_view());
    separate = true;
    StationOrBacksightLine(line, state, record(i));
    sink(line);

    // After the station to the end, then from the start up to the station.
    const auto& group = members[link(i)];
    const auto after = std::upper_bound(group.begin(), group.end(), i);
    backsights.clear();
    distances.clear();
    auto collect = [&](auto from, auto to) {
      for (auto it = from; it != to; ++it) {
        (record(*it).Type() == kRawBacksight ? backsights : distances).push_back(*it);
      }
    };
    collect(after, group.end());
    collect(group.begin(), after);
    // Each backsight found goes directly below the station line.
    for (auto it = backsights.rbegin(); it != backsights.rend(); ++it) sink(lineOf(*it));
    for (const std::size_t k : distances) sink(lineOf(k));
  }
}

}  // namespace

void BuildPolarLines(const RawUnitState& state, std::string_view buffer, JobText& lines) {
  MakePolarLines(state, buffer, !lines.empty(),
                 [&](std::string_view line) { lines.emplace_back(line); });
}

void WritePolarLines(const RawUnitState& state, std::string_view buffer,
                     const PolarLineSink& sink) {
  MakePolarLines(state, buffer, false, sink);
}

void WritePolarFile(const RawUnitState& state, std::string_view buffer, const std::string& path) {
  ReplacingFile file(path);
  WritePolarLines(state, buffer, [&](std::string_view line) {
    file.Write(line);
    file.Write("\r\n");
  });
  file.Commit();
}

}  // namespace lumaq
