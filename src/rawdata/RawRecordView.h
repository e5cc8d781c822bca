// One raw measurement record of 42 bytes, read field by field. Every field
// offset is a template argument that the compiler checks against the record's
// size, so no reading strays past the record.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "rawdata/RawFormat.h"
#include "rawdata/RawUnitState.h"
#include "records/JobDocument.h"
#include "records/RecordLine.h"

namespace lumaq {

// The byte that ties the records of one station together.
inline constexpr std::size_t kRawLinkByte = 41;

class RawRecordView {
 public:
  // The first 42 bytes of record, which must hold at least that many.
  explicit RawRecordView(std::string_view record) : bytes_(record.data(), kRawRecordSize) {}

  // Record `index` (from 0) of a buffer of whole records.
  static RawRecordView InBuffer(std::string_view buffer, std::size_t index) {
    return RawRecordView(buffer.substr(index * kRawRecordSize, kRawRecordSize));
  }

  template <std::size_t Offset>
  unsigned char Byte() const {
    static_assert(Offset < kRawRecordSize, "byte beyond the record");
    return static_cast<unsigned char>(bytes_[Offset]);
  }
  unsigned char Type() const { return Byte<0>(); }
  unsigned char Link() const { return Byte<kRawLinkByte>(); }

  template <std::size_t Offset, std::size_t Size>
  std::span<const char, Size> At() const {
    static_assert(Offset + Size <= kRawRecordSize, "field beyond the record");
    return bytes_.template subspan<Offset, Size>();
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

  // The point name (bytes 1-9) and code (bytes 10-18) of a point record.
  std::string_view PointName() const { return ZeroTerminated<1, 9>(); }
  std::string_view PointCode() const { return ZeroTerminated<10, 9>(); }

  // The numbers of a field as text, read and shown with the state.
  template <std::size_t Offset>
  std::string Distance(const RawUnitState& state) const {  // a 4-byte float in metres
    return FormatRawDistance(state, ReadRawFloat(state, At<Offset, 4>()));
  }
  template <std::size_t Offset>
  std::string Angle(const RawUnitState& state) const {  // 4 bytes of seconds of arc
    return FormatRawAngle(state, ReadRawUInt32(state, At<Offset, 4>()));
  }
  template <std::size_t Offset>
  std::string Coordinate(const RawUnitState& state) const {  // 6 bytes
    return FormatRawCoordinate(state, ReadRawCoordinate(state, At<Offset, 6>()));
  }

 private:
  std::span<const char, kRawRecordSize> bytes_;
};

}  // namespace lumaq
