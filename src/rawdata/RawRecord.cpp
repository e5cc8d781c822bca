#include "rawdata/RawRecord.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "rawdata/FieldLine.h"
#include "rawdata/RawFormat.h"
#include "rawdata/RawRecordView.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

static_assert(kRawRecordSize == 42);

struct PointFields {
  std::string_view name;
  std::string_view code;
  std::string height;
};

PointFields ReadPointFields(const RawUnitState& state, const RawRecordView& raw) {
  return {raw.PointName(), raw.PointCode(), raw.Distance<19>(state)};
}

// CRD, STN and BS: point name, height, N, E, Z (from byte 23), code.
void CoordinateText(std::string& line, std::string_view tag, const RawUnitState& state,
                    const RawRecordView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  FieldLine(line, tag)
      .Add(point.name)
      .Add(point.height)
      .Add(raw.Coordinate<23>(state))
      .Add(raw.Coordinate<29>(state))
      .Add(raw.Coordinate<35>(state))
      .AddCode(point.code);
}

void DistanceText(std::string& line, const RawUnitState& state, const RawRecordView& raw) {
  const PointFields point = ReadPointFields(state, raw);
  FieldLine(line, "DIST: ")
      .Add(point.name)
      .Add(point.height)
      .Add(raw.Angle<31>(state))  // horizontal angle first
      .Add(raw.Angle<27>(state))  // then the zenith angle
      .Add(raw.Distance<23>(state))
      .AddCode(point.code);
}

// ANG shows the horizontal angle (byte 31) first, BKB the two angles in byte
// order.
void AnglesText(std::string& line, std::string_view tag, const RawUnitState& state,
                const RawRecordView& raw, bool horizontalFirst) {
  const PointFields point = ReadPointFields(state, raw);
  const std::string at27 = raw.Angle<27>(state);
  const std::string at31 = raw.Angle<31>(state);
  FieldLine(line, tag)
      .Add(point.name)
      .Add(point.height)
      .Add(horizontalFirst ? at31 : at27)
      .Add(horizontalFirst ? at27 : at31)
      .AddCode(point.code);
}

void PointText(std::string& line, const RawUnitState& state, const RawRecordView& raw) {
  FieldLine(line, "PT:   ")
      .Add(raw.PointName())
      .Add(raw.Coordinate<19>(state))
      .Add(raw.Coordinate<25>(state))
      .Add(raw.Coordinate<31>(state));
}

void InstrumentText(std::string& line, RawUnitState& state, const RawRecordView& raw) {
  const std::string model = raw.Fixed<1, 10>();
  state.SwapBytes = IsListedInstrumentModel(model);
  const std::span<const char, 3> mark = raw.At<24, 3>();
  if (std::string_view(mark.data(), mark.size()) == "LTE") state.SwapBytes = false;
  line += "INST: " + model + ",V" + raw.Fixed<11, 4>() + ",No." + raw.Fixed<15, 8>();
}

void UnitText(std::string& line, RawUnitState& state, const RawRecordView& raw) {
  switch (raw.Byte<1>()) {
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
  if (raw.Byte<2>() <= 2) state.AngleUnit = raw.Byte<2>();

  // Temperature and pressure units hold for this record only.
  const int temperatureUnit = raw.Byte<3>() <= 1 ? raw.Byte<3>() : 1;
  const int pressureUnit = raw.Byte<4>() <= 2 ? raw.Byte<4>() : 2;
  const int signedByte11 = static_cast<std::int8_t>(raw.Byte<11>());
  const int value11 = (signedByte11 >= -99 && signedByte11 <= 99) ? signedByte11 : 0;
  const int value12 = raw.Byte<12>() <= 2 ? raw.Byte<12>() : 0;
  const std::int16_t temperature = ReadRawInt16(state, raw.At<5, 2>());
  const std::int16_t pressure = ReadRawInt16(state, raw.At<7, 2>());
  const std::int16_t value9 = ReadRawInt16(state, raw.At<9, 2>());
  float factor = ReadRawFloat(state, raw.At<13, 4>());
  if (!(factor >= 0.98f && factor <= 1.02f)) factor = 1.0f;  // not-a-number included

  const int distanceCode = !state.DistanceInFeet ? 0 : state.UsSurveyFoot ? 2 : 1;
  line += "UNIT: " + std::to_string(distanceCode) + ',' + std::to_string(state.AngleUnit) + ',' +
          std::to_string(temperatureUnit) + ',' + std::to_string(pressureUnit);
  line += "\r\n";
  FieldLine(line, "EDM:  ")
      .Add(FormatTemperature(temperature, temperatureUnit))
      .Add(FormatPressure(pressure, pressureUnit))
      .Add(std::to_string(value9))
      .Add(std::to_string(value12))
      .Add(std::to_string(value11))
      .Add(FormatDecimals(factor, 6));
}

// The text of one record into line, its lines joined by CR LF; nothing when
// there is none.
void RawRecordText(std::string& line, RawUnitState& state, std::string_view record) {
  line.clear();
  if (record.size() != kRawRecordSize) return;
  const RawRecordView raw(record);
  switch (raw.Type()) {
    case kRawCoordinates:
      return CoordinateText(line, "CRD:  ", state, raw);
    case kRawDistance:
      return DistanceText(line, state, raw);
    case kRawAngles:
      return AnglesText(line, "ANG:  ", state, raw, true);
    case kRawStation:
      return CoordinateText(line, "STN:  ", state, raw);
    case kRawPoint:
      return PointText(line, state, raw);
    case kRawTwoAngles:
      return AnglesText(line, "BKB:  ", state, raw, false);
    case kRawBacksight:
      return CoordinateText(line, "BS:  ", state, raw);  // five characters, unlike the others
    case kRawInstrument:
      return InstrumentText(line, state, raw);
    case kRawJob:
      line += "JOB:  " + raw.Fixed<1, 8>();
      return;
    case kRawUnits:
      return UnitText(line, state, raw);
    default:
      return;
  }
}

// ConvertRawRecord with a buffer for the text that a run of records reuses.
void ConvertRawRecord(RawUnitState& state, std::string_view record, std::string& line,
                      JobText& text) {
  try {
    RawRecordText(line, state, record);
    if (line.empty()) return;
    // Added as a text control adds a line: a line break inside the text (the
    // unit record's, or one in a point name) starts another line.
    const bool oneLine =
        line.find('\r') == std::string::npos && line.find('\n') == std::string::npos;
    if (oneLine) {
      text.emplace_back(line);
    } else {
      JobText lines = SplitTextLines(line);
      text.reserve(text.size() + lines.size());
      for (auto& split : lines) text.push_back(std::move(split));
    }
  } catch (...) {
    // A record that cannot be converted (out of memory) contributes nothing.
  }
}

}  // namespace

bool IsListedInstrumentModel(std::string_view model) {
  return std::find(kMostSignificantByteFirstModels.begin(), kMostSignificantByteFirstModels.end(),
                   model) != kMostSignificantByteFirstModels.end();
}

void ConvertRawRecord(RawUnitState& state, std::string_view record, JobText& text) {
  std::string line;
  ConvertRawRecord(state, record, line, text);
}

TsmContent OpenTsmBytes(RawUnitState& state, std::string bytes) {
  TsmContent content;
  if (!IsAcceptedTsm(bytes)) return content;
  content.accepted = true;
  content.RawRecordBuffer = std::move(bytes);
  const std::string_view buffer = content.RawRecordBuffer;
  // A unit record, or a line break in a name, gives more than one line: room
  // for some, so that one more line does not move every line taken so far
  // (untouched room costs no memory).
  const std::size_t records = buffer.size() / kRawRecordSize;
  content.JobText.reserve(records + records / 8 + 16);
  std::string line;
  for (std::size_t at = 0; at + kRawRecordSize <= buffer.size(); at += kRawRecordSize) {
    ConvertRawRecord(state, buffer.substr(at, kRawRecordSize), line, content.JobText);
  }
  return content;
}

}  // namespace lumaq
