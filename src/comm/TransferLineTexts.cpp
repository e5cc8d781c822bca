#include "comm/TransferLineTexts.h"

namespace lumaq {

std::string LineInUseText(const std::string& port, const std::string& device, int baud) {
  return port + " " + device + " " + std::to_string(baud) + " 波特";
}

std::string SilenceHintText(TransferDirection direction, int baud) {
  const std::string rate = std::to_string(baud) + " 波特";
  if (direction == TransferDirection::kReceive) {
    return "全站仪没有发来数据：请检查数据线，并将全站仪设为以 " + rate + " 发送数据。";
  }
  return "全站仪没有回应：请检查数据线，并将全站仪设为以 " + rate + " 接收数据。";
}

}  // namespace lumaq
