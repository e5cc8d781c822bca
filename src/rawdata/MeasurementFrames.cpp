#include "rawdata/MeasurementFrames.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

#include "rawdata/String_func.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

// The first line of every frame's text: 60 hyphens.
constexpr std::string_view kFrameSeparator =
    "------------------------------------------------------------";

// GB2312 labels of the station block, each with its blanks and full-width
// colon ("：" is A3 BA).
constexpr std::string_view kPointNameLabel = "  \xB5\xE3\xBA\xC5\xC3\xFB\xA3\xBA ";  // 点号名：
constexpr std::string_view kCodeLabel = "  \xB1\xEA\xCA\xB6\xB7\xFB\xA3\xBA ";       // 标识符：
constexpr std::string_view kHorizontalLabel = "  \xCB\xAE\xC6\xBD\xBD\xC7\xA3\xBA ";  // 水平角：
constexpr std::string_view kVerticalLabel = " \xB4\xB9\xD6\xB1\xBD\xC7\xA3\xBA ";  // 垂直角：
constexpr std::string_view kSlopeLabel = " \xD0\xB1\xBE\xE0\xA3\xBA ";             // 斜距：
constexpr std::string_view kStationNLabel =
    "  \xB2\xE2\xD5\xBE\xD7\xF8\xB1\xEA\xA3\xBA N: ";  // 测站坐标： N:
constexpr std::string_view kStationELabel = "   E\xA3\xBA";
constexpr std::string_view kStationZLabel = "   Z\xA3\xBA";
constexpr std::string_view kInstrumentHeightLabel =
    "  \xD2\xC7\xC6\xF7\xB8\xDF\xA3\xBA ";  // 仪器高：
constexpr std::string_view kPrismHeightLabel = "  \xC0\xE2\xBE\xB5\xB8\xDF\xA3\xBA ";  // 棱镜高：

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (const auto part : parts) joined += part;
  return joined;
}

void AppendStationBlock(std::string_view body, JobText& text) {
  if (body.size() < 49) throw std::invalid_argument("a station block body has 51 bytes");
  const std::string name = DecodeInstrumentText(body.substr(0, 8));
  const std::string code = DecodeInstrumentText(body.substr(8, 8));
  const std::string horizontal = UnpackBcdAngle(body.substr(16, 4));
  const std::string vertical = UnpackBcdAngle(body.substr(20, 4));
  const std::string slope = UnpackBcdNumber(body.substr(24, 4));
  const std::string n = UnpackBcdNumber(body.substr(28, 5));
  const std::string e = UnpackBcdNumber(body.substr(33, 5));
  const std::string z = UnpackBcdNumber(body.substr(38, 5));
  const std::string instrumentHeight = UnpackBcdNumber(body.substr(43, 3));
  const std::string prismHeight = UnpackBcdNumber(body.substr(46, 3));

  JobText lines;
  lines.emplace_back(kFrameSeparator);
  lines.push_back(Join({kPointNameLabel, name}));
  lines.push_back(Join({kCodeLabel, code}));
  lines.push_back(
      Join({kHorizontalLabel, horizontal, kVerticalLabel, vertical, kSlopeLabel, slope, "m"}));
  lines.push_back(Join({kStationNLabel, n, "m", kStationELabel, e, "m", kStationZLabel, z, "m"}));
  lines.push_back(Join({kInstrumentHeightLabel, instrumentHeight, "m"}));
  lines.push_back(Join({kPrismHeightLabel, prismHeight, "m"}));
  text.insert(text.end(), lines.begin(), lines.end());
}

// Columns first..last (counted from 1) of the text, trimmed; what the text
// has of them.
std::string Columns(std::string_view text, std::size_t first, std::size_t last) {
  if (text.size() < first) return {};
  return TrimControl(text.substr(first - 1, last - first + 1));
}

void AppendObservation(unsigned char header, std::string_view body, JobText& text) {
  std::string_view fields = body.substr(0, MeasurementFrameBodySize(header));
  fields = fields.substr(0, fields.find('\0'));
  const std::string name = Columns(fields, 1, 8);
  const std::string code = Columns(fields, 9, 16);
  std::string line;
  switch (header) {
    case kFrameSlopeDistance:
      line = Join({"Pt.:", name, " Tgt.h:", Columns(fields, 41, 47),
                   "m HAR:", Columns(fields, 33, 40), " ZA:", Columns(fields, 25, 32),
                   " Sdist:", Columns(fields, 17, 24), "m Code:", code});
      break;
    case kFrameAngles:
      line =
          Join({"Pt.:", name, " Tgt.h:", Columns(fields, 33, 39), "m HAR:", Columns(fields, 25, 32),
                " ZA:", Columns(fields, 17, 24), " Code:", code});
      break;
    case kFrameCoordinateObservation:
      line =
          Join({"Pt.:", name, " Tgt.h:", Columns(fields, 50, 56), "m N:", Columns(fields, 17, 27),
                "m E:", Columns(fields, 28, 38), "m Z:", Columns(fields, 39, 49), "m Code:", code});
      break;
    default:  // kFrameStation
      line = Join({"Pt.:", name, " Ins.h:", Columns(fields, 50, 56),
                   "m N0:", Columns(fields, 17, 27), "m E0:", Columns(fields, 28, 38),
                   "m Z0:", Columns(fields, 39, 49), "m Code:", code});
      break;
  }
  text.reserve(text.size() + 2);
  text.emplace_back(kFrameSeparator);
  text.push_back(std::move(line));
}

}  // namespace

std::size_t MeasurementFrameBodySize(unsigned char header) {
  switch (header) {
    case kFrameCoordinateObservation:
    case kFrameStation:
      return 56;
    case kFrameSlopeDistance:
      return 47;
    case kFrameAngles:
      return 39;
    case kFrameStationBlock:
      return 51;
    default:
      return 0;
  }
}

bool AppendMeasurementFrameText(unsigned char header, std::string_view body, JobText& text) {
  switch (header) {
    case kFrameStationBlock:
      AppendStationBlock(body, text);
      return true;
    case kFrameCoordinateObservation:
    case kFrameSlopeDistance:
    case kFrameAngles:
    case kFrameStation:
      AppendObservation(header, body, text);
      return true;
    default:
      return false;
  }
}

}  // namespace lumaq
