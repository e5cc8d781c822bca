// The texts of the port's settings in the settings file.
#include "comm/ComSettings.h"

#include <gtest/gtest.h>

namespace lumaq {
namespace {

TEST(ComSettingsText, EveryValueRoundTripsAndUnknownTextsFallBack) {
  for (int rate = brCustom; rate <= br256000; ++rate) {
    const auto value = static_cast<TBaudRate>(rate);
    EXPECT_EQ(StrToBaudRate(BaudRateToStr(value)), value) << BaudRateToStr(value);
  }
  for (int bits = dbFive; bits <= dbEight; ++bits) {
    EXPECT_EQ(StrToDataBits(DataBitsToStr(static_cast<TDataBits>(bits))), bits);
  }
  for (int bits = sbOneStopBit; bits <= sbTwoStopBits; ++bits) {
    EXPECT_EQ(StrToStopBits(StopBitsToStr(static_cast<TStopBits>(bits))), bits);
  }
  for (int parity = prNone; parity <= prSpace; ++parity) {
    EXPECT_EQ(StrToParity(ParityToStr(static_cast<TParityBits>(parity))), parity);
  }
  for (int flow = fcHardware; flow <= fcCustom; ++flow) {
    EXPECT_EQ(StrToFlowControl(FlowControlToStr(static_cast<TFlowControl>(flow))), flow);
  }
  EXPECT_EQ(BaudRateToStr(br14400), "14400");
  EXPECT_EQ(StopBitsToStr(sbOne5StopBits), "1.5");

  EXPECT_EQ(StrToBaudRate("14400"), br14400);
  EXPECT_EQ(StrToBaudRate("custom"), brCustom);
  EXPECT_EQ(StrToBaudRate("12345"), br9600);
  EXPECT_EQ(StrToBaudRate(""), br9600);
  EXPECT_EQ(StrToParity("none"), prNone);
  EXPECT_EQ(StrToParity("SPACE"), prSpace);
  EXPECT_EQ(StrToParity("X"), prNone);
  EXPECT_EQ(StrToStopBits("1,5"), sbOneStopBit);
  EXPECT_EQ(StrToDataBits("9"), dbEight);
  EXPECT_EQ(StrToFlowControl("hardware"), fcHardware);
  EXPECT_EQ(StrToFlowControl("RTS"), fcCustom);
}

}  // namespace
}  // namespace lumaq
