// lumaq-cli recover JOURNAL OUT: what lumaq-cli receive would have saved to
// OUT after the frames in a receive journal, for a receive that was killed or
// lost its power before it saved. A last frame cut short was never answered
// 0x00 (the instrument sent it again, or it is lost with the transfer): it is
// left out and named on standard error. The journal itself stays.
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
#include "comm/JournalReplay.h"

namespace lumaq::cli {
namespace {

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
  FramesFileContent content;
  try {
    content = ReadFramesFile(journal);
  } catch (const InvalidFramesFile& error) {
    throw RejectedInput(error.what());
  }
  JobDocument job;
  const JournalReplay replay = ReplayFrames(content, job, ProcessRawUnitState());
  if (replay.cutFrame) {
    std::cerr << "lumaq-cli: the last frame of \"" << journal << "\" ("
              << Hex(replay.cutFrame->header) << ") is cut short after "
              << replay.cutFrame->body.size() << " of "
              << FindFrameHeader(replay.cutFrame->header)->bodySize
              << " body bytes and is left out; " << replay.frames << " frames recovered\n";
  }
  SaveReceivedJob(job, out);
  return ExitCode::kDone;
}

const CliRegistration registration{{"recover",
                                    "JOURNAL OUT",
                                    {},
                                    "(what receive would have saved after the frames of a journal)",
                                    RunRecover}};

}  // namespace
}  // namespace lumaq::cli
