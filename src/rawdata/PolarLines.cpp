#include "rawdata/PolarLines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rawdata/RawFormat.h"
#include "rawdata/RawRecord.h"

namespace lumaq {
namespace {

// Fields at fixed offsets of record `index` of the buffer.
class BufferRecord {
 public:
  BufferRecord(std::string_view buffer, std::size_t index)
      : bytes_(buffer.data() + index * kRawRecordSize, kRawRecordSize) {}

  unsigned char Type() const { return static_cast<unsigned char>(bytes_[0]); }

  template <std::size_t Offset, std::size_t Size>
  std::span<const char, Size> At() const {
    static_assert(Offset + Size <= kRawRecordSize, "field beyond the record");
    return bytes_.subspan<Offset, Size>();
  }

  // Zero-terminated, ending with its field when it holds no zero byte.
  template <std::size_t Offset>
  std::string_view Text() const {
    const auto field = At<Offset, 9>();
    std::size_t length = 0;
    while (length < field.size() && field[length] != '\0') ++length;
    return std::string_view(field.data(), length);
  }

 private:
  std::span<const char, kRawRecordSize> bytes_;
};

void AppendField(std::string& line, std::string_view field) {
  line += ',';
  line += field;
}

std::string Coordinate(const RawUnitState& state, std::span<const char, 6> bytes) {
  return FormatRawCoordinate(state, ReadRawCoordinate(state, bytes));
}

// Station and backsight lines: name, height, E, N, Z, code.
std::string StationOrBacksightLine(const RawUnitState& state, const BufferRecord& record) {
  std::string line(record.Text<1>());
  AppendField(line, FormatRawDistance(state, ReadRawFloat(state, record.At<19, 4>())));
  AppendField(line, Coordinate(state, record.At<29, 6>()));  // E before N
  AppendField(line, Coordinate(state, record.At<23, 6>()));
  AppendField(line, Coordinate(state, record.At<35, 6>()));
  if (const auto code = record.Text<10>(); !code.empty()) AppendField(line, code);
  return line;
}

std::string MeasurementLine(const RawUnitState& state, const BufferRecord& record) {
  std::string line(record.Text<1>());
  AppendField(line, FormatRawDistance(state, ReadRawFloat(state, record.At<19, 4>())));
  AppendField(line, FormatRawDistance(state, ReadRawFloat(state, record.At<23, 4>())));
  AppendField(line, FormatRawAngle(state, ReadRawUInt32(state, record.At<31, 4>())));
  AppendField(line, FormatRawAngle(state, ReadRawUInt32(state, record.At<27, 4>())));
  if (const auto code = record.Text<10>(); !code.empty()) AppendField(line, code);
  return line;
}

}  // namespace

void BuildPolarLines(const RawUnitState& state, std::string_view buffer, JobText& lines) {
  const std::size_t count = buffer.size() / kRawRecordSize;
  auto record = [&](std::size_t i) { return BufferRecord(buffer, i); };
  auto link = [&](std::size_t i) {
    return static_cast<unsigned char>(buffer[i * kRawRecordSize + kRawLinkByte]);
  };

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
      const BufferRecord r = record(i);
      built[i] =
          r.Type() == kRawBacksight ? StationOrBacksightLine(state, r) : MeasurementLine(state, r);
    }
    return *built[i];
  };

  std::vector<std::size_t> backsights;
  std::vector<std::size_t> distances;
  for (std::size_t i = 0; i < count; ++i) {
    if (record(i).Type() != kRawStation) continue;
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(StationOrBacksightLine(state, record(i)));

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
    for (auto it = backsights.rbegin(); it != backsights.rend(); ++it) lines.push_back(lineOf(*it));
    for (const std::size_t k : distances) lines.push_back(lineOf(k));
  }
}

}  // namespace lumaq
