// StoreSettings and LoadSettings with the settings file "Commpara".
#include <gtest/gtest.h>

#include <string>

#include "comm/ComError.h"
#include "comm/ComPort.h"
#include "records/JobFiles.h"
#include "support/TempDir.h"

namespace lumaq {
namespace {

struct Designed {
  LoopDispatcher loop;
  TComPort port{loop};
  Designed() { ApplyComPort1Design(port); }
};

const char* const kDesignedText =
    "[ComPort1]\r\nPort=COM1\r\nBaudRate=1200\r\nStopBits=1\r\nDataBits=8\r\n"
    "Parity=None\r\nFlowControl=None\r\n";

TEST(StoreSettings, WritesTheBasicKeysInOrder) {
  struct Case {
    const char* label;
    void (*change)(TComPort&);
    const char* expected;
  };
  const Case cases[] = {
      {"designed values", [](TComPort&) {}, kDesignedText},
      {"chosen port and rate",
       [](TComPort& port) {
         port.SetPort("com12");
         port.SetBaudRate(br19200);
       },
       "[ComPort1]\r\nPort=COM12\r\nBaudRate=19200\r\nStopBits=1\r\nDataBits=8\r\n"
       "Parity=None\r\nFlowControl=None\r\n"},
      {"custom rate adds its key after BaudRate",
       [](TComPort& port) {
         port.SetBaudRate(brCustom);
         port.SetCustomBaudRate(31250);
       },
       "[ComPort1]\r\nPort=COM1\r\nBaudRate=Custom\r\nCustomBaudRate=31250\r\nStopBits=1\r\n"
       "DataBits=8\r\nParity=None\r\nFlowControl=None\r\n"},
      {"every other line setting",
       [](TComPort& port) {
         port.SetStopBits(sbOne5StopBits);
         port.SetDataBits(dbFive);
         port.Parity().SetBits(prMark);
         port.FlowControl().SetFlowControl(fcHardware);
       },
       "[ComPort1]\r\nPort=COM1\r\nBaudRate=1200\r\nStopBits=1.5\r\nDataBits=5\r\n"
       "Parity=Mark\r\nFlowControl=Hardware\r\n"},
      {"flow control that is no summary",
       [](TComPort& port) { port.FlowControl().SetControlRTS(rtsEnable); },
       "[ComPort1]\r\nPort=COM1\r\nBaudRate=1200\r\nStopBits=1\r\nDataBits=8\r\n"
       "Parity=None\r\nFlowControl=Custom\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    Designed d;
    c.change(d.port);
    d.port.StoreSettings(stIniFile, dir.Path("Commpara"));
    EXPECT_EQ(ReadFileBytes(dir.Path("Commpara")), c.expected);
  }
}

TEST(StoreSettings, KeepsOtherSectionsAndRewritesOnlyItsKeys) {
  test::TempDir dir;
  const std::string path = dir.Write("Commpara",
                                     "[PortMap]\r\nCOM3=/dev/ttyUSB0\r\n"
                                     "[ComPort1]\r\nBaudRate=600\r\nPort=COM3\r\nExtra=1\r\n"
                                     "\r\n[UserDefFormat1]\r\nDefName=\xb2\xe2\xc1\xbf\r\n"
                                     "DefFileExt=dat\r\nDefOrderWord=012340\r\n");
  Designed d;
  d.port.SetPort("COM3");
  d.port.StoreSettings(stIniFile, path);
  EXPECT_EQ(ReadFileBytes(path),
            "[PortMap]\r\nCOM3=/dev/ttyUSB0\r\n"
            "[ComPort1]\r\nBaudRate=1200\r\nPort=COM3\r\nExtra=1\r\n"
            "StopBits=1\r\nDataBits=8\r\nParity=None\r\nFlowControl=None\r\n"
            "\r\n[UserDefFormat1]\r\nDefName=\xb2\xe2\xc1\xbf\r\n"
            "DefFileExt=dat\r\nDefOrderWord=012340\r\n");
}

TEST(StoreSettings, FailureIsStoreFailedWithTheCauseNested) {
  test::TempDir dir;
  Designed d;
  try {
    d.port.StoreSettings(stIniFile, dir.Path("missing/Commpara"));
    FAIL() << "no EComPort";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kStoreFailed);
    EXPECT_EQ(std::string(error.what()), "无法保存通讯设置");
    EXPECT_THROW(std::rethrow_if_nested(error), FileError);
  }
  EXPECT_THROW(d.port.StoreSettings(stRegistry, dir.Path("Commpara")), EComPort);
}

struct LoadCase {
  const char* label;
  const char* file;
  const char* port;
  TBaudRate baud;
  int custom;
  TStopBits stop;
  TDataBits data;
  TParityBits parity;
  TRTSFlowControl rts;
  bool xon;
};

TEST(LoadSettings, ReadsEachKeyWithTheCurrentValueAsDefault) {
  const LoadCase cases[] = {
      {"no [ComPort1] changes nothing",
       "[Other]\r\nPort=COM5\r\nBaudRate=600\r\n[ComPort12]\r\nPort=COM6\r\n", "COM1", br1200, 9600,
       sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"only Port=COM2", "[ComPort1]\r\nPort=COM2\r\n", "COM2", br1200, 9600, sbOneStopBit, dbEight,
       prNone, rtsDisable, false},
      {"14400 is a rate of the list", "[ComPort1]\r\nBaudRate=14400\r\n", "COM1", br14400, 9600,
       sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"12345 falls back to 9600", "[ComPort1]\r\nBaudRate=12345\r\n", "COM1", br9600, 9600,
       sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"texts in any case", "[comport1]\r\nparity=none\r\nSTOPBITS=2\r\nflowcontrol=SOFTWARE\r\n",
       "COM1", br1200, 9600, sbTwoStopBits, dbEight, prNone, rtsDisable, true},
      {"values trimmed, unknown texts fall back",
       "[ComPort1]\r\nParity=Odd \r\nDataBits=9\r\nStopBits=3\r\n", "COM1", br1200, 9600,
       sbOneStopBit, dbEight, prOdd, rtsDisable, false},
      {"custom rate and its value", "[ComPort1]\r\nBaudRate=Custom\r\nCustomBaudRate=31250\r\n",
       "COM1", brCustom, 31250, sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"custom rate without its key is 9600", "[ComPort1]\r\nBaudRate=custom\r\n", "COM1", brCustom,
       9600, sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"CustomBaudRate ignored for a listed rate",
       "[ComPort1]\r\nBaudRate=600\r\nCustomBaudRate=31250\r\n", "COM1", br600, 9600, sbOneStopBit,
       dbEight, prNone, rtsDisable, false},
      {"port names normalised", "[ComPort1]\r\nPort=com12\r\n", "COM12", br1200, 9600, sbOneStopBit,
       dbEight, prNone, rtsDisable, false},
      {"a port beyond COM16 is COM1", "[ComPort1]\r\nPort=COM17\r\n", "COM1", br1200, 9600,
       sbOneStopBit, dbEight, prNone, rtsDisable, false},
      {"hardware flow", "[ComPort1]\r\nFlowControl=Hardware\r\n", "COM1", br1200, 9600,
       sbOneStopBit, dbEight, prNone, rtsHandshake, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    test::TempDir dir;
    Designed d;
    d.port.LoadSettings(stIniFile, dir.Write("Commpara", c.file));
    EXPECT_EQ(d.port.Port(), c.port);
    EXPECT_EQ(d.port.BaudRate(), c.baud);
    EXPECT_EQ(d.port.CustomBaudRate(), c.custom);
    EXPECT_EQ(d.port.StopBits(), c.stop);
    EXPECT_EQ(d.port.DataBits(), c.data);
    EXPECT_EQ(d.port.Parity().Bits(), c.parity);
    EXPECT_EQ(d.port.FlowControl().ControlRTS(), c.rts);
    EXPECT_EQ(d.port.FlowControl().XonXoffIn(), c.xon);
    EXPECT_EQ(d.port.FlowControl().XonXoffOut(), c.xon);
  }
}

TEST(LoadSettings, MissingFileChangesNothingAndStoreLoadRoundTrips) {
  test::TempDir dir;
  Designed d;
  d.port.SetPort("COM7");
  d.port.LoadSettings(stIniFile, dir.Path("Commpara"));
  EXPECT_EQ(d.port.Port(), "COM7");

  d.port.SetBaudRate(brCustom);
  d.port.SetCustomBaudRate(250000);
  d.port.Parity().SetBits(prSpace);
  d.port.StoreSettings(stIniFile, dir.Path("Commpara"));
  Designed other;
  other.port.LoadSettings(stIniFile, dir.Path("Commpara"));
  EXPECT_EQ(other.port.Port(), "COM7");
  EXPECT_EQ(other.port.BaudRate(), brCustom);
  EXPECT_EQ(other.port.CustomBaudRate(), 250000);
  EXPECT_EQ(other.port.Parity().Bits(), prSpace);
}

TEST(LoadSettings, FailureIsLoadFailed) {
  test::TempDir dir;
  Designed d;
  try {
    d.port.LoadSettings(stIniFile, dir.Folder());  // a folder cannot be read as a file
    FAIL() << "no EComPort";
  } catch (const EComPort& error) {
    EXPECT_EQ(error.Code(), EComPort::kLoadFailed);
    EXPECT_EQ(std::string(error.what()), "无法读取通讯设置");
  }
  EXPECT_EQ(d.port.BaudRate(), br1200);
}

}  // namespace
}  // namespace lumaq
