// A day of raw measurement records for the benchmarks, as the instrument
// gives them.
#pragma once

#include <cstdint>
#include <string>

#include "rawdata/RawRecord.h"
#include "support/RawRecordBuilder.h"

namespace lumaq::bench {

using test::RawRecordBuilder;

// A station or backsight record (names and heights as given, coordinates in
// millimetres), numbers most significant byte first as a listed instrument
// writes them.
inline std::string PositionRecord(unsigned char type, const std::string& name, float height,
                                  std::int32_t n, std::int32_t e, std::int32_t z,
                                  unsigned char link) {
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
inline std::string MakeRawRecords(int records, int groupSize) {
  const std::string model(kMostSignificantByteFirstModels[0]);
  std::string buffer;
  buffer.reserve(static_cast<std::size_t>(records) * 42);
  buffer += RawRecordBuilder(0x81).Bytes(1, model).Bytes(11, "2.10").Bytes(15, "S0012345");
  buffer += RawRecordBuilder(0x82).Bytes(1, "ROAD7");
  buffer += RawRecordBuilder(0x83).UInt32(5, 0x00440BB0u).Float(13, 1.0f);  // 68 F, 2992
  unsigned seed = 20240611u;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  int station = 0;
  for (int i = 3; i < records; ++i) {
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

}  // namespace lumaq::bench
