#include "comm/TransferView.h"

#include <string>

namespace lumaq {

std::string UnsendableRecordText(const UnsendableRecord& record, std::string_view shownName) {
  return "第 " + std::to_string(record.lineNumber) + " 行的记录（点号 " + std::string(shownName) +
         "）无法发送：" + record.reason;
}

}  // namespace lumaq
