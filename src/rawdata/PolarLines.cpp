#include "rawdata/PolarLines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "rawdata/FieldLine.h"
#include "rawdata/RawRecord.h"
#include "rawdata/RawRecordView.h"
#include "records/ReplacingFile.h"

namespace lumaq {
namespace {

// Station and backsight lines: name, height, E, N, Z, code.
std::string StationOrBacksightLine(const RawUnitState& state, const RawRecordView& record) {
  return FieldLine()
      .Add(record.PointName())
      .Add(record.Distance<19>(state))
      .Add(record.Coordinate<29>(state))  // E before N
      .Add(record.Coordinate<23>(state))
      .Add(record.Coordinate<35>(state))
      .AddCode(record.PointCode())
      .Take();
}

std::string MeasurementLine(const RawUnitState& state, const RawRecordView& record) {
  return FieldLine()
      .Add(record.PointName())
      .Add(record.Distance<19>(state))
      .Add(record.Distance<23>(state))
      .Add(record.Angle<31>(state))
      .Add(record.Angle<27>(state))
      .AddCode(record.PointCode())
      .Take();
}

// separateFirst: an empty line before the first group too.
void MakePolarLines(const RawUnitState& state, std::string_view buffer, bool separateFirst,
                    const PolarLineSink& sink) {
  const std::size_t count = buffer.size() / kRawRecordSize;
  auto record = [&](std::size_t i) { return RawRecordView::InBuffer(buffer, i); };
  auto link = [&](std::size_t i) { return record(i).Link(); };

  // The backsight and distance records of each link byte, in buffer order.
  // Stations that share a link byte list the same records, so each line is
  // built once and copied.
  std::array<std::vector<std::size_t>, 256> members;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char type = record(i).Type();
    if (type == kRawBacksight || type == kRawDistance) members[link(i)].push_back(i);
  }
  std::vector<std::optional<std::string>> built(count);
  auto lineOf = [&](std::size_t i) -> const std::string& {
    if (!built[i]) {
      const RawRecordView r = record(i);
      built[i] =
          r.Type() == kRawBacksight ? StationOrBacksightLine(state, r) : MeasurementLine(state, r);
    }
    return *built[i];
  };

  std::vector<std::size_t> backsights;
  std::vector<std::size_t> distances;
  bool separate = separateFirst;
  for (std::size_t i = 0; i < count; ++i) {
    if (record(i).Type() != kRawStation) continue;
    if (separate) sink(std::string_view());
    separate = true;
    sink(StationOrBacksightLine(state, record(i)));

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
