// The settings of a serial port as the program names them, with their texts
// in the settings file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace lumaq {

// A set of enumeration members (at most 32).
template <typename E>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> members) {
    for (E member : members) Include(member);
  }
  constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
  constexpr void Include(E member) { bits_ |= Bit(member); }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(EnumSet, EnumSet) = default;

 private:
  static constexpr std::uint32_t Bit(E member) { return 1u << static_cast<unsigned>(member); }
  std::uint32_t bits_ = 0;
};

enum TBaudRate {
  brCustom,
  br110,
  br300,
  br600,
  br1200,
  br2400,
  br4800,
  br9600,
  br14400,
  br19200,
  br38400,
  br56000,
  br57600,
  br115200,
  br128000,
  br256000
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
// The summary of the flow-control members kept in the settings file.
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };

enum TComEvent {
  evRxChar,
  evTxEmpty,
  evRxFlag,
  evRing,
  evBreak,
  evCTS,
  evDSR,
  evError,
  evRLSD,
  evRx80Full
};
using TComEvents = EnumSet<TComEvent>;

enum TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
using TComErrors = EnumSet<TComError>;

enum TSyncMethod { smThreadSync, smWindowSync, smNone };
enum TStoreType { stRegistry, stIniFile };
enum TStoredProp { spBasic, spFlowControl, spBuffer, spTimeouts, spParity, spOthers };
using TStoredProps = EnumSet<TStoredProp>;

inline constexpr TComEvents kAllComEvents{evRxChar, evTxEmpty, evRxFlag, evRing, evBreak,
                                          evCTS,    evDSR,     evError,  evRLSD, evRx80Full};

// Bits per second of a rate; 0 for brCustom.
int BaudRateValue(TBaudRate rate);
int DataBitsValue(TDataBits bits);

// The texts of the settings file. The inverse conversions compare without
// regard to case and fall back to 9600, one stop bit, 8 data bits, no parity
// and fcCustom when nothing matches.
std::string BaudRateToStr(TBaudRate rate);
std::string StopBitsToStr(TStopBits bits);
std::string DataBitsToStr(TDataBits bits);
std::string ParityToStr(TParityBits parity);
std::string FlowControlToStr(TFlowControl flow);
TBaudRate StrToBaudRate(std::string_view text);
TStopBits StrToStopBits(std::string_view text);
TDataBits StrToDataBits(std::string_view text);
TParityBits StrToParity(std::string_view text);
TFlowControl StrToFlowControl(std::string_view text);

}  // namespace lumaq
