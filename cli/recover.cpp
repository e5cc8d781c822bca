// lumaq-cli recover JOURNAL OUT: what lumaq-cli receive would have saved to
// OUT after the frames in a receive journal, for a receive that was killed or
// lost its power before it saved. A last frame cut short was never answered
// 0x00 (the instrument sent it again, or it is lost with the transfer): it is
// left out and named on standard error. A journal damaged part-way gives up
// only what follows the damage: the frames before it are saved, and where
// the damage starts and how much was set aside is said (exit 1). The journal
// itself stays, damage and all.
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "CliCommand.h"
#include "Instrument.h"
#include "TransferRun.h"
#include "comm/FrameHeaders.h"
#include "comm/JournalFile.h"
#include "comm/JournalLayout.h"
#include "comm/JournalReplay.h"

namespace lumaq::cli {
namespace {

void ReportCutFrame(const std::string& journal, const JournalReplay& replay) {
  const Frame& cut = *replay.cutFrame;
  const std::size_t bodySize = FindFrameHeader(cut.header)->bodySize;
  std::cerr << "lumaq-cli: the last frame of \"" << journal << "\" (" << HexByte(cut.header)
            << ") is cut short "
            << (cut.body.size() < bodySize ? "after " + std::to_string(cut.body.size()) + " of " +
                                                 std::to_string(bodySize) + " body bytes"
                                           : std::string("before its checksum"))
            << " and is left out; " << replay.frames << " frames recovered\n";
}

ExitCode RunRecover(const CliCall& call) {
  const std::string& journal = call.Positional()[0];
  const std::string& out = call.Positional()[1];
  std::error_code unused;
  if (std::filesystem::equivalent(journal, out, unused)) {
    throw call.Wrong("OUT is the journal itself");
  }
  if (JournalFile::InUse(journal)) {
    throw std::runtime_error("lumaq-cli: \"" + journal +
                             "\" is being written by a receive that is still running");
  }
  const JournalContent content = ReadJournal(journal);
  if (IsNoJournal(content)) {
    throw RejectedInput("\"" + journal + "\": " + NoJournalProblem(*content.damage));
  }
  JobDocument job;
  const JournalReplay replay = ReplayFrames(content, job, ProcessRawUnitState());
  if (replay.cutFrame) ReportCutFrame(journal, replay);
  SaveReceivedJob(job, out);
  if (!replay.damage) return ExitCode::kDone;
  std::cerr << "lumaq-cli: \"" << journal << "\" is damaged from byte " << replay.damage->offset
            << " on (" << replay.damage->reason << "): " << replay.damage->setAside
            << " bytes set aside, left in the journal; the " << replay.frames
            << " frames before the damage are saved in \"" << out << "\"\n";
  return ExitCode::kFailed;
}

const CliRegistration registration{{"recover",
                                    "JOURNAL OUT",
                                    {},
                                    "(what receive would have saved after the frames of a journal)",
                                    RunRecover}};

}  // namespace
}  // namespace lumaq::cli
