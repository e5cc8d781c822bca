// One exchange file line split into the five record fields by each fixed
// layout (the first byte picks the layout).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "records/FieldSplit.h"
#include "records/RecordLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumaq;
  if (size == 0) return 0;
  constexpr FixedLayout kLayouts[] = {FixedLayout::kGtsPoints, FixedLayout::kSv300,
                                      FixedLayout::kCass, FixedLayout::kReceivedCoordinateLine};
  const FixedLayout layout = kLayouts[data[0] % 4];
  const RecordFields fields = SplitFixedFields(fuzz::Bytes(data + 1, size - 1), layout);
  // Every field fits its width: names and codes 8, coordinates 11.
  FUZZ_CHECK(fields.name.size() <= 8 && fields.code.size() <= 8);
  FUZZ_CHECK(fields.n.size() <= 11 && fields.e.size() <= 11 && fields.z.size() <= 11);
  // Trimmed: no field starts or ends with a blank or a control byte.
  for (const std::string* field : {&fields.name, &fields.code, &fields.n, &fields.e, &fields.z}) {
    FUZZ_CHECK(field->empty() ||
               (!IsControlOrBlank(field->front()) && !IsControlOrBlank(field->back())));
  }
  return 0;
}
