#include "comm/ComSettings.h"

#include <array>

namespace lumaq {
namespace {

constexpr std::array<const char*, 16> kBaudTexts = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<int, 16> kBaudValues = {0,     110,    300,    600,   1200,  2400,
                                             4800,  9600,   14400,  19200, 38400, 56000,
                                             57600, 115200, 128000, 256000};
constexpr std::array<const char*, 3> kStopTexts = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kDataTexts = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParityTexts = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> kFlowTexts = {"Hardware", "Software", "None", "Custom"};

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

template <typename E, std::size_t N>
E FromText(const std::array<const char*, N>& texts, std::string_view text, E fallback) {
  for (std::size_t i = 0; i < N; ++i) {
    if (SameText(texts[i], text)) return static_cast<E>(i);
  }
  return fallback;
}

template <std::size_t N>
std::string ToText(const std::array<const char*, N>& texts, int index) {
  return (index >= 0 && static_cast<std::size_t>(index) < N)
             ? texts[static_cast<std::size_t>(index)]
             : "";
}

}  // namespace

int BaudRateValue(TBaudRate rate) {
  const auto index = static_cast<std::size_t>(rate);
  return index < kBaudValues.size() ? kBaudValues[index] : 0;
}

int DataBitsValue(TDataBits bits) {
  return 5 + static_cast<int>(bits);
}

std::string BaudRateToStr(TBaudRate rate) {
  return ToText(kBaudTexts, rate);
}
std::string StopBitsToStr(TStopBits bits) {
  return ToText(kStopTexts, bits);
}
std::string DataBitsToStr(TDataBits bits) {
  return ToText(kDataTexts, bits);
}
std::string ParityToStr(TParityBits parity) {
  return ToText(kParityTexts, parity);
}
std::string FlowControlToStr(TFlowControl flow) {
  return ToText(kFlowTexts, flow);
}

TBaudRate StrToBaudRate(std::string_view text) {
  return FromText(kBaudTexts, text, br9600);
}
TStopBits StrToStopBits(std::string_view text) {
  return FromText(kStopTexts, text, sbOneStopBit);
}
TDataBits StrToDataBits(std::string_view text) {
  return FromText(kDataTexts, text, dbEight);
}
TParityBits StrToParity(std::string_view text) {
  return FromText(kParityTexts, text, prNone);
}
TFlowControl StrToFlowControl(std::string_view text) {
  return FromText(kFlowTexts, text, fcCustom);
}

}  // namespace lumaq
