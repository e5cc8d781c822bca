#include "records/InputLimits.h"

namespace lumaq {

std::string OversizedFileMessage(const std::string& where) {
  return "文件太大，无法读入 " + where + "：超过 " + std::to_string(kMaxFileBytes >> 20) + " MB";
}

std::string OverlongLineMessage(const std::string& where, std::size_t lineNumber) {
  return "文件中的行太长，无法读入 " + where + "：第 " + std::to_string(lineNumber) + " 行超过 " +
         std::to_string(kMaxLineBytes >> 20) + " MB";
}

}  // namespace lumaq
