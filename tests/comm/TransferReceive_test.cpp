// The receive side of the transfer dialog on a scripted line: what the program
// answers, in order, to the frames an instrument sends, and what the frames
// become in the job.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "comm/TransferSession.h"
#include "rawdata/MeasurementFrames.h"
#include "rawdata/RawRecord.h"
#include "records/RecordLine.h"
#include "support/InstrumentFrames.h"
#include "support/RawRecordBuilder.h"
#include "support/RecordingTransferView.h"
#include "support/ScriptedTransferPort.h"
#include "support/TransferRig.h"

namespace lumaq {
namespace {

using test::BinaryCoordinateBody;
using test::Bytes;
using test::TextBody;
using test::WithChecksum;

// P1 TREE N 3456.789 E 1234.567 Z 12.300 in a binary frame.
const std::string kTreeBody = BinaryCoordinateBody(
    "P1", "TREE", Bytes({0x00, 0x03, 0x45, 0x67, 0x89}), Bytes({0x00, 0x01, 0x23, 0x45, 0x67}),
    Bytes({0x00, 0x00, 0x01, 0x23, 0x00}));
const std::string kTreeLine = ComposeRecordLine("P1", "TREE", "3456.789", "1234.567", "12.300");

const std::string kAnglesBody =
    TextBody(39, {{1, "P1"}, {9, "TOPO"}, {17, "90.0000"}, {25, "123.4500"}, {33, "1.500"}});
const std::string kSlopeBody =
    TextBody(47, {{1, "P5"}, {17, "12.345"}, {25, "90.0000"}, {33, "45.3000"}, {41, "1.600"}});
const std::string kInstrumentRecord = test::RawRecordBuilder(kRawInstrument).Bytes(1, "OTHER-1");
const std::string kSeparator(60, '-');

// A receive with its dialog shown, the port open, awaiting a header.
using Receive = test::TransferRig;

const std::vector<std::string> kAccepted33 = {
    "messages",      "read AA",  "write BB", "purge in before 33",
    "read 33 -> 33", "Label3 1", "write 00"};

TEST(TransferReceive, FormShowOpensAndPurgesThenAwaitsAHeaderWithNoRawRecords) {
  test::TransferLog log;
  test::ScriptedTransferPort port(log);
  test::RecordingTransferView view(log);
  JobDocument job;
  job.RawRecordBuffer = "left from before";
  TransferSession session(job, port, view, TransferDirection::kReceive);
  EXPECT_FALSE(session.CloseAllowed());
  session.FormShow();
  EXPECT_EQ(log, (test::TransferLog{"open", "purge in+out"}));
  EXPECT_EQ(session.TransferState(), TransferState::AwaitHeader);
  EXPECT_TRUE(session.CloseAllowed());
  EXPECT_EQ(job.RawRecordBuffer, "");
  EXPECT_EQ(port.wire, "");
}

TEST(TransferReceive, APortThatCannotBeOpenedWarnsAndAsksToClose) {
  test::TransferLog log;
  test::ScriptedTransferPort port(log);
  test::RecordingTransferView view(log);
  JobDocument job;
  port.FailOpen("COM3 (/dev/ttyUSB0)：串口正被另一程序使用");
  TransferSession session(job, port, view, TransferDirection::kReceive);
  session.FormShow();
  EXPECT_EQ(log,
            (test::TransferLog{"open", "open failed: COM3 (/dev/ttyUSB0)：串口正被另一程序使用",
                               "post close"}));
  EXPECT_EQ(session.Outcome(), TransferOutcome::kPortNotOpened);
  EXPECT_TRUE(session.FormCloseQuery());
  session.ComPort1RxChar(1);  // no step runs before the transfer started
  EXPECT_EQ(log.size(), 3u);
}

TEST(TransferReceive, ABinaryCoordinateFrameBecomesOneRecordLine) {
  Receive r;
  r.Frame(0xAA, WithChecksum(kTreeBody));
  EXPECT_EQ(r.log, kAccepted33);
  EXPECT_EQ(r.port.wire, "\xBB" + std::string(1, '\0'));
  EXPECT_EQ(r.job.JobText, JobText{kTreeLine});
  EXPECT_EQ(r.view.label3, 1);
  EXPECT_EQ(r.session.TransferState(), TransferState::AwaitHeader);
  EXPECT_TRUE(r.session.CloseAllowed());
  EXPECT_TRUE(r.session.CoordinateData());
}

TEST(TransferReceive, EveryHeaderIsAnsweredAndItsFrameHandled) {
  const std::string stationBlock = Bytes({0x01, 0x02}) + std::string(49, '\0');
  struct Case {
    const char* label;
    std::uint8_t header;
    std::string body;
    JobText lines;  // appended to the job text
    bool coordinateData;
    bool hasRawRecords;
  } cases[] = {
      {"0xAA binary record", 0xAA, kTreeBody, {kTreeLine}, true, false},
      {"0x06 text record",
       0x06,
       test::TextCoordinateBody("P2,PT,10.5,20.25,-3"),
       {ComposeRecordLine("P2", "PT", "10.5", "20.25", "-3")},
       true,
       false},
      {"0xA2 angles",
       0xA2,
       kAnglesBody,
       {kSeparator, "Pt.:P1 Tgt.h:1.500m HAR:123.4500 ZA:90.0000 Code:TOPO"},
       false,
       false},
      {"0xA1 slope distance",
       0xA1,
       kSlopeBody,
       {kSeparator, "Pt.:P5 Tgt.h:1.600m HAR:45.3000 ZA:90.0000 Sdist:12.345m Code:"},
       false,
       false},
      {"0xA0 coordinate observation",
       0xA0,
       TextBody(
           56, {{1, "Q1"}, {9, "C"}, {17, "100.000"}, {28, "200.000"}, {39, "3.000"}, {50, "1.5"}}),
       {kSeparator, "Pt.:Q1 Tgt.h:1.5m N:100.000m E:200.000m Z:3.000m Code:C"},
       false,
       false},
      {"0xA3 station",
       0xA3,
       TextBody(56, {{1, "ST"}, {17, "1.000"}, {28, "2.000"}, {39, "3.000"}, {50, "1.45"}}),
       {kSeparator, "Pt.:ST Ins.h:1.45m N0:1.000m E0:2.000m Z0:3.000m Code:"},
       false,
       false},
      // Control bytes in a text frame would split or shift its line: blanks.
      {"0x06 with CR LF and other control bytes",
       0x06,
       test::TextCoordinateBody("P\r\n2,P\tT\x1F,10.5,20.25,-3"),
       // (the fields of a received line lose their blanks)
       {ComposeRecordLine("P2", "PT", "10.5", "20.25", "-3")},
       true,
       false},
      {"0xA2 with CR LF in the name",
       0xA2,
       TextBody(39, {{1, "P\r\n1"}, {9, "TO\x01PO"}, {17, "90.0000"}, {25, "123.4500"}}),
       {kSeparator, "Pt.:P  1 Tgt.h:m HAR:123.4500 ZA:90.0000 Code:TO PO"},
       false,
       false},
      {"0xAF station block", 0xAF, stationBlock, {}, false, false},
      {"0xA8 raw record", 0xA8, kInstrumentRecord, {}, false, true},
  };
  // The station block and the raw record give the texts of their converters.
  AppendMeasurementFrameText(0xAF, stationBlock, cases[8].lines);
  RawUnitState fresh;
  ConvertRawRecord(fresh, kInstrumentRecord, cases[9].lines);
  ASSERT_EQ(cases[8].lines.size(), 7u);
  ASSERT_EQ(cases[9].lines.size(), 1u);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Receive r;
    r.job.JobText = {"kept"};
    r.job.CoordinateMode = !c.coordinateData;
    r.job.HasRawRecords = !c.hasRawRecords;
    r.Frame(c.header, WithChecksum(c.body));
    const std::string bodyRead = std::to_string(c.body.size() + 1);
    EXPECT_EQ(r.log,
              (test::TransferLog{"messages", "read " + test::Hex(c.header), "write BB",
                                 "purge in before " + bodyRead,
                                 "read " + bodyRead + " -> " + bodyRead, "Label3 1", "write 00"}));
    JobText expected{"kept"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(r.job.JobText, expected);
    EXPECT_EQ(r.session.CoordinateData(), c.coordinateData);
    EXPECT_EQ(r.job.HasRawRecords, c.hasRawRecords);
    EXPECT_EQ(r.job.RawRecordBuffer, c.hasRawRecords ? c.body : "");
  }
}

TEST(TransferReceive, RefusedFramesAreAnsweredFFAndStoreNothing) {
  struct Case {
    const char* label;
    std::string rest;  // what follows 0xBB
    const char* read;
  } cases[] = {
      {"wrong checksum", kTreeBody + '\x01', "read 33 -> 33"},
      {"body stops after 20 of 32 bytes", kTreeBody.substr(0, 20), "read 33 -> 20"},
      {"nothing after 0xBB", "", "read 33 -> 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Receive r;
    r.Frame(0xAA, c.rest);
    EXPECT_EQ(r.log, (test::TransferLog{"messages", "read AA", "write BB", "purge in before 33",
                                        c.read, "write FF"}));
    EXPECT_EQ(r.job.JobText, JobText{});
    EXPECT_EQ(r.session.TransferCount(), 0);
    EXPECT_EQ(r.session.TransferState(), TransferState::AwaitHeader);
    EXPECT_TRUE(r.session.CloseAllowed());
  }
}

TEST(TransferReceive, TheGoodRepeatOfAFrameWithABadChecksumIsAccepted) {
  Receive r;
  r.Frame(0xAA, kTreeBody + static_cast<char>(FrameChecksum(kTreeBody) + 1));
  r.log.clear();
  r.Frame(0xAA, WithChecksum(kTreeBody));
  EXPECT_EQ(r.log, kAccepted33);
  EXPECT_EQ(r.port.wire, "\xBB\xFF\xBB" + std::string(1, '\0'));
  EXPECT_EQ(r.job.JobText, JobText{kTreeLine});
  EXPECT_EQ(r.view.label3, 1);
}

TEST(TransferReceive, BytesThatAreNoHeaderAreDroppedWithoutAnAnswer) {
  struct Case {
    const char* label;
    std::string bytes;
    test::TransferLog log;
  } cases[] = {
      {"a header and the first body byte together", "\xAA\x01", {"purge in+out"}},
      {"0xEE together with another byte", "\xEE\xEE", {"purge in+out"}},
      {"a single byte of no frame", "\x55", {"messages", "read 55", "purge in+out"}},
      {"the program's own answer echoed", "\xBB", {"messages", "read BB", "purge in+out"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Receive r;
    r.Deliver(c.bytes);
    EXPECT_EQ(r.log, c.log);
    EXPECT_EQ(r.port.wire, "");
    EXPECT_EQ(r.session.TransferState(), TransferState::AwaitHeader);
    EXPECT_EQ(r.port.InputCount(), 0);
  }
}

TEST(TransferReceive, TheEndByteFirstClosesWithNothingAdded) {
  Receive r;
  r.job.JobText = {"kept"};
  r.Deliver("\xEE");
  EXPECT_EQ(r.log, (test::TransferLog{"messages", "read EE", "Label1 数据转输终止!", "messages",
                                      "close dialog"}));
  EXPECT_EQ(r.job.JobText, JobText{"kept"});
  EXPECT_EQ(r.session.Outcome(), TransferOutcome::kEndReceived);
  EXPECT_EQ(r.port.wire, "");
  // The transfer is over: later bytes run no step.
  r.log.clear();
  r.Deliver("\xAA");
  EXPECT_EQ(r.log, test::TransferLog{});
}

TEST(TransferReceive, CoordinatesThenAMeasurementEndInMeasurementMode) {
  Receive r;
  r.Frame(0xAA, WithChecksum(kTreeBody));
  r.Frame(0xAA, WithChecksum(kTreeBody));
  r.Frame(0xA1, WithChecksum(kSlopeBody));
  r.Deliver("\xEE");
  EXPECT_FALSE(r.job.CoordinateMode);  // written back at close
  EXPECT_FALSE(r.job.HasRawRecords);
  EXPECT_EQ(r.job.JobText,
            (JobText{kTreeLine, kTreeLine, kSeparator,
                     "Pt.:P5 Tgt.h:1.600m HAR:45.3000 ZA:90.0000 Sdist:12.345m Code:"}));
  EXPECT_EQ(r.view.label3, 3);
}

TEST(TransferReceive, RawRecordsGrowTheBufferAndSetTheUnitsOfTheRun) {
  Receive r;
  const std::string units = test::RawRecordBuilder(kRawUnits).Byte(1, 1).Byte(2, kAngleGon);
  r.Frame(0xA8, WithChecksum(kInstrumentRecord));
  r.Frame(0xA8, WithChecksum(units));
  EXPECT_EQ(r.job.RawRecordBuffer, kInstrumentRecord + units);
  EXPECT_TRUE(r.job.HasRawRecords);
  EXPECT_FALSE(r.session.CoordinateData());
  // The instrument of no listed model stores least significant bytes first;
  // the unit record sets feet and gon for every later record of the run.
  EXPECT_FALSE(r.units.SwapBytes);
  EXPECT_TRUE(r.units.DistanceInFeet);
  EXPECT_EQ(r.units.AngleUnit, kAngleGon);
}

// Raw records, once received, are never given up for what follows them: the
// job stays a measurement job that keeps their bytes and their text, and the
// lines of every other frame are also kept apart, for the text file beside a
// measurement data file.
TEST(TransferReceive, RawRecordsKeepTheJobAMeasurementJobWhateverFollows) {
  JobText rawText;
  RawUnitState fresh;
  ConvertRawRecord(fresh, kInstrumentRecord, rawText);
  const JobText slopeText = {kSeparator,
                             "Pt.:P5 Tgt.h:1.600m HAR:45.3000 ZA:90.0000 Sdist:12.345m Code:"};
  struct Case {
    const char* label;
    std::vector<std::pair<std::uint8_t, std::string>> frames;
    JobText beside;
  } cases[] = {
      {"raw records, then coordinate records",
       {{0xA8, kInstrumentRecord}, {0xAA, kTreeBody}, {0xAA, kTreeBody}},
       {kTreeLine, kTreeLine}},
      {"coordinate records, then raw records",
       {{0xAA, kTreeBody}, {0xA8, kInstrumentRecord}},
       {kTreeLine}},
      {"raw records around a measurement",
       {{0xA8, kInstrumentRecord}, {0xA1, kSlopeBody}, {0xA8, kInstrumentRecord}},
       slopeText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Receive r;
    std::string raw;
    for (const auto& [header, body] : c.frames) {
      r.Frame(header, WithChecksum(body));
      if (header == 0xA8) raw += body;
    }
    r.Deliver("\xEE");
    EXPECT_FALSE(r.job.CoordinateMode);
    EXPECT_TRUE(r.job.HasRawRecords);
    EXPECT_EQ(r.job.RawRecordBuffer, raw);
    EXPECT_EQ(r.job.LinesBesideRawRecords, c.beside);
    EXPECT_EQ(r.job.JobText.size(), c.beside.size() + raw.size() / 42 * rawText.size());
  }
}

}  // namespace
}  // namespace lumaq
