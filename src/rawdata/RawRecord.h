// The instrument's raw measurement records and the text made from them.
//
// A raw record is 42 bytes: a type byte, a 40-byte body laid out by type, and a
// link byte that ties the records of one station together. They arrive one per
// frame over the serial line or as the content of a measurement data file.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"
#include "records/TextLines.h"

namespace lumaq {

// Record type bytes.
enum RawRecordType : unsigned char {
  kRawCoordinates = 0x00,  // CRD
  kRawDistance = 0x01,     // DIST
  kRawAngles = 0x02,       // ANG
  kRawStation = 0x03,      // STN
  kRawPoint = 0x04,        // PT
  kRawTwoAngles = 0x05,    // BKB
  kRawBacksight = 0x06,    // BS
  kRawInstrument = 0x81,   // INST
  kRawJob = 0x82,          // JOB
  kRawUnits = 0x83,        // UNIT
};

// The instrument models whose raw records store multi-byte values most
// significant byte first; the instrument record of any other model switches
// the byte order to least significant first. The identifiers are those that
// our own test instruments report in bytes 1-10 of their instrument record,
// compared whole and case-sensitively. A model that turns out to store its
// values most significant byte first is added here, and nowhere else.
inline constexpr auto kMostSignificantByteFirstModels = std::to_array<std::string_view>({
    "LQT-100",
    "LQT-200",
    "LQT-300",
    "LQT-500",
    "LQT-600R",
    "LQT-700R",
    "LQT-800",
    "LQT-900M",
    "LQT-1000",
});

// True when the model is one of kMostSignificantByteFirstModels.
bool IsListedInstrumentModel(std::string_view model);

// Appends the text of one record to the job text: one line, two for a unit
// record; nothing for a byte that is no record type or for a record that is
// not 42 bytes long. The instrument and unit records update the state first;
// every other record only reads it. Reading stays within the 42 bytes: a
// point name or code field that holds no zero byte ends with its field. A
// record whose text cannot be built adds nothing and raises nothing.
void ConvertRawRecord(RawUnitState& state, std::string_view record, JobText& text);

// What a measurement data file gives when it is opened.
struct TsmContent {
  bool accepted = false;        // a size that is a multiple of 42, first type byte 0x81
  std::string RawRecordBuffer;  // the file's bytes, when accepted
  lumaq::JobText JobText;       // the text of every record, in file order
};

// The content of a measurement data file given its bytes. A rejected file
// gives nothing and converts nothing; an accepted one has every record
// converted, in file order, with the state.
TsmContent OpenTsmBytes(RawUnitState& state, std::string bytes);

}  // namespace lumaq
