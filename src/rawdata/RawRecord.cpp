#include "rawdata/RawRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>

#include "rawdata/RawFormat.h"
#include "records/JobFiles.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

static_assert(kRawRecordSize == 42);

// Bounds-checked views of one record: every field offset is a constant that
// the compiler checks against the record's 42 bytes.
class RawView {
 public:
  explicit RawView(std::string_view record) : bytes_(record.data(), kRawRecordSize) {}

  unsigned char Byte(std::size_t offset) const {
    return static_cast<unsigned char>(bytes_[offset]);
  }

  template <std::size_t Offset, std::size_t Size>
  std::span<const char, Size> At() const {
    static_assert(Offset + Size <= kRawRecordSize, "field beyond the record");
    return bytes_.subspan<Offset, Size>();
  }

  // A zero-terminated text in a field; a field without a zero byte ends with
  // the field (the instrument writes at most 8 characters and the zero).
  template <std::size_t Offset, std::size_t Size>
  std::string_view ZeroTerminated() const {
    const auto field = At<Offset, Size>();
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string_view(field.data(), static_cast<std::size_t>(end - field.begin()));
  }

  // A fixed-width text: exactly its bytes, trimmed of codes 32 and below.
  template <std::size_t Offset, std::size_t Size>
  std::string Fixed() const {
    const auto field = At<Offset, Size>();
    return TrimControl(std::string_view(field.data(), Size));
  }

 private:
  std::span<const char, kRawRecordSize> bytes_;
};

// Fields joined by commas after the tag; an empty code is left out with its
// comma.
class FieldLine {
 public:
  explicit FieldLine(std::string_view tag) : text_(tag) {}
  FieldLine& Add(std::string_view field) {
    if (!first_) text_ += ',';
    first_ = false;
    text_ += field;
    return *this;
  }
  FieldLine& AddCode(std::string_view code) {
    if (!code.empty()) Add(code);
    return *this;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  bool first_ = true;
};

struct PointFields {
  std::string_view name;
  std::string_view code;
  std::string height;
};

PointFields ReadPointFields(const RawUnitState& state, const RawView& raw) {
  return {raw.ZeroTerminated<1, 9>(), raw.ZeroTerminated<10, 9>(),
          FormatRawDistance(state, ReadRawFloat(state, raw.At<19, 4>()))};
}

// The coordinates N, E and Z at bytes First, First + 6 and First + 12.
template <std::size_t First>
std::array<std::string, 3> ReadNez(const RawUnitState& state, const RawView& raw) {
  return {FormatRawCoordinate(state, ReadRawCoordinate(state, raw.At<First, 6>())),
          FormatRawCoordinate(state, ReadRawCoordinate(state, raw.At<First + 6, 6>())),
          FormatRawCoordinate(state, ReadRawCoordinate(state, raw.At<First + 12, 6>()))};
}

std::string AngleAt27(const RawUnitState& state, const RawView& raw) {
  return FormatRawAngle(state, ReadRawUInt32(state, raw.At<27, 4>()));
}
std::string AngleAt31(const RawUnitState& state, const RawView& raw) {
  return FormatRawAngle(state, ReadRawUInt32(state, raw.At<31, 4>()));
}

// CRD, STN and BS: point name, height, N, E, Z, code.
std::string CoordinateText(std::string_view tag, const RawUnitState& state, const RawView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  const auto nez = ReadNez<23>(state, raw);
  return FieldLine(tag)
      .Add(point.name)
      .Add(point.height)
      .Add(nez[0])
      .Add(nez[1])
      .Add(nez[2])
      .AddCode(point.code)
      .Take();
}

std::string DistanceText(const RawUnitState& state, const RawView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  return FieldLine("DIST: ")
      .Add(point.name)
      .Add(point.height)
      .Add(AngleAt31(state, raw))  // horizontal angle first
      .Add(AngleAt27(state, raw))  // then the zenith angle
      .Add(FormatRawDistance(state, ReadRawFloat(state, raw.At<23, 4>())))
      .AddCode(point.code)
      .Take();
}

std::string AnglesText(const RawUnitState& state, const RawView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  return FieldLine("ANG:  ")
      .Add(point.name)
      .Add(point.height)
      .Add(AngleAt31(state, raw))  // horizontal angle first
      .Add(AngleAt27(state, raw))
      .AddCode(point.code)
      .Take();
}

std::string TwoAnglesText(const RawUnitState& state, const RawView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  return FieldLine("BKB:  ")
      .Add(point.name)
      .Add(point.height)
      .Add(AngleAt27(state, raw))  // in byte order, unlike ANG
      .Add(AngleAt31(state, raw))
      .AddCode(point.code)
      .Take();
}

std::string PointText(const RawUnitState& state, const RawView& raw) {
  const auto nez = ReadNez<19>(state, raw);
  return FieldLine("PT:   ")
      .Add(raw.ZeroTerminated<1, 9>())
      .Add(nez[0])
      .Add(nez[1])
      .Add(nez[2])
      .Take();
}

std::string InstrumentText(RawUnitState& state, const RawView& raw) {
  const std::string model = raw.Fixed<1, 10>();
  state.SwapBytes = IsListedInstrumentModel(model);
  const std::span<const char, 3> mark = raw.At<24, 3>();
  if (std::string_view(mark.data(), mark.size()) == "LTE") state.SwapBytes = false;
  return "INST: " + model + ",V" + raw.Fixed<11, 4>() + ",No." + raw.Fixed<15, 8>();
}

std::string UnitText(RawUnitState& state, const RawView& raw) {
  switch (raw.Byte(1)) {
    case 0:
      state.DistanceInFeet = false;
      state.UsSurveyFoot = false;
      break;
    case 1:
      state.DistanceInFeet = true;
      state.UsSurveyFoot = false;
      break;
    case 2:
      state.DistanceInFeet = true;
      state.UsSurveyFoot = true;
      break;
    default:
      break;
  }
  if (raw.Byte(2) <= 2) state.AngleUnit = raw.Byte(2);

  // Temperature and pressure units hold for this record only.
  const int temperatureUnit = raw.Byte(3) <= 1 ? raw.Byte(3) : 1;
  const int pressureUnit = raw.Byte(4) <= 2 ? raw.Byte(4) : 2;
  const int signedByte11 = static_cast<std::int8_t>(raw.Byte(11));
  const int value11 = (signedByte11 >= -99 && signedByte11 <= 99) ? signedByte11 : 0;
  const int value12 = raw.Byte(12) <= 2 ? raw.Byte(12) : 0;
  const std::int16_t temperature = ReadRawInt16(state, raw.At<5, 2>());
  const std::int16_t pressure = ReadRawInt16(state, raw.At<7, 2>());
  const std::int16_t value9 = ReadRawInt16(state, raw.At<9, 2>());
  float factor = ReadRawFloat(state, raw.At<13, 4>());
  if (!(factor >= 0.98f && factor <= 1.02f)) factor = 1.0f;  // not-a-number included

  const int distanceCode = !state.DistanceInFeet ? 0 : state.UsSurveyFoot ? 2 : 1;
  std::string text = "UNIT: " + std::to_string(distanceCode) + ',' +
                     std::to_string(state.AngleUnit) + ',' + std::to_string(temperatureUnit) + ',' +
                     std::to_string(pressureUnit);
  text += "\r\n";
  text += FieldLine("EDM:  ")
              .Add(FormatTemperature(temperature, temperatureUnit))
              .Add(FormatPressure(pressure, pressureUnit))
              .Add(std::to_string(value9))
              .Add(std::to_string(value12))
              .Add(std::to_string(value11))
              .Add(FormatDecimals(factor, 6))
              .Take();
  return text;
}

}  // namespace

bool IsListedInstrumentModel(std::string_view model) {
  return std::find(kMostSignificantByteFirstModels.begin(), kMostSignificantByteFirstModels.end(),
                   model) != kMostSignificantByteFirstModels.end();
}

std::string RawRecordText(RawUnitState& state, std::string_view record) {
  if (record.size() != kRawRecordSize) return {};
  const RawView raw(record);
  switch (raw.Byte(0)) {
    case kRawCoordinates:
      return CoordinateText("CRD:  ", state, raw);
    case kRawDistance:
      return DistanceText(state, raw);
    case kRawAngles:
      return AnglesText(state, raw);
    case kRawStation:
      return CoordinateText("STN:  ", state, raw);
    case kRawPoint:
      return PointText(state, raw);
    case kRawTwoAngles:
      return TwoAnglesText(state, raw);
    case kRawBacksight:
      return CoordinateText("BS:  ", state, raw);  // five characters, unlike the others
    case kRawInstrument:
      return InstrumentText(state, raw);
    case kRawJob:
      return "JOB:  " + raw.Fixed<1, 8>();
    case kRawUnits:
      return UnitText(state, raw);
    default:
      return {};
  }
}

void ConvertRawRecord(RawUnitState& state, std::string_view record, JobText& text) {
  try {
    std::string built = RawRecordText(state, record);
    if (built.empty()) return;
    // Added as a text control adds a line: a line break inside the text (the
    // unit record's, or one in a point name) starts another line.
    if (built.find_first_of("\r\n") == std::string::npos) {
      text.push_back(std::move(built));
    } else {
      JobText lines = SplitTextLines(built);
      text.reserve(text.size() + lines.size());
      for (auto& line : lines) text.push_back(std::move(line));
    }
  } catch (...) {
    // A record that cannot be converted (out of memory) contributes nothing.
  }
}

TsmContent OpenTsmBytes(RawUnitState& state, std::string bytes) {
  TsmContent content;
  if (!IsAcceptedTsm(bytes)) return content;
  content.accepted = true;
  content.RawRecordBuffer = std::move(bytes);
  const std::string_view buffer = content.RawRecordBuffer;
  content.JobText.reserve(buffer.size() / kRawRecordSize);
  for (std::size_t at = 0; at + kRawRecordSize <= buffer.size(); at += kRawRecordSize) {
    ConvertRawRecord(state, buffer.substr(at, kRawRecordSize), content.JobText);
  }
  return content;
}

}  // namespace lumaq
