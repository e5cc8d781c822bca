#include "rawdata/AlteredRecords.h"

#include <algorithm>

#include "rawdata/String_func.h"
#include "records/RecordLine.h"

namespace lumaq {
namespace {

bool InstrumentCanCarry(std::string_view field) {
  return std::all_of(field.begin(), field.end(),
                     [](char c) { return InstrumentCharacterCode(c).has_value(); });
}

}  // namespace

AlteredRecords FindAlteredRecords(const JobText& lines) {
  AlteredRecords altered;
  for (const std::string& line : lines) {
    std::string name = RecordLineName(line);
    if (InstrumentCanCarry(name) && InstrumentCanCarry(RecordLineCode(line))) continue;
    if (altered.count++ < kAlteredRecordsNamed) altered.firstNames.push_back(std::move(name));
  }
  return altered;
}

std::string AlteredRecordsText(const AlteredRecords& altered,
                               const std::function<std::string(std::string_view)>& shownName) {
  std::string names;
  for (const std::string& name : altered.firstNames) {
    if (!names.empty()) names += "、";
    names += shownName(name);
  }
  if (altered.count > altered.firstNames.size()) names += " 等";
  return "共 " + std::to_string(altered.count) +
         " 条记录的点号或编码含有全站仪不能接收的字符（如汉字）：" + names +
         "。全站仪以二进制方式接收时，这些字符将变成“#”。";
}

}  // namespace lumaq
