// lumaq-cli receive PORT [--baud RATE] [--no-journal] OUT: Receive (F9) with a
// file name in place of Save As. The instrument's frames go into a new job
// until its end byte; the job is then saved to OUT. After a line error or
// Ctrl-C what was accepted is saved too.
//
// Meanwhile the receive journal OUT.journal holds every frame accepted before
// it is answered; it goes once OUT is saved, and stays when the program dies
// first or OUT cannot be written (lumaq-cli recover saves from it). A journal
// already there is the only copy of an earlier download: the receive refuses
// to start rather than overwrite it.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "PortOptions.h"
#include "TransferRun.h"
#include "comm/ReceiveJournal.h"
#include "records/JobFiles.h"
#include "records/ReplacingFile.h"

namespace lumaq::cli {
namespace {

// The journal beside out, or none when it cannot be made (the receive goes on
// without it, and the user is told). showingCounter says that the counter line
// is on the terminal, which a notice leaves first.
std::unique_ptr<ReceiveJournal> StartJournal(const std::string& out, const bool& showingCounter) {
  const std::string path = out + ".journal";
  const auto notice = [&showingCounter](const std::string& detail) {
    std::cerr << (showingCounter ? "\n" : "") << "lumaq-cli: " << kJournalStoppedText << " ("
              << detail << ")" << std::endl;
  };
  try {
    return std::make_unique<ReceiveJournal>(path, notice);
  } catch (const JournalExists& there) {
    if (there.inUse()) {
      throw RejectedInput(std::string(there.what()) +
                          ": another receive into the same file is running");
    }
    throw RejectedInput(std::string(there.what()) +
                        ": it holds the frames of a receive that was never saved; save them with"
                        " \"lumaq-cli recover " +
                        path + " FILE\", or remove it, then receive again");
  } catch (const FileError& error) {
    notice(error.what());
    return nullptr;
  }
}

ExitCode RunReceive(const CliCall& call) {
  const bool withoutJournal = call.Has("--no-journal");
  const PortOptions options = PortOptionsOf(call);
  const std::string& out = call.Positional()[0];
  // A folder that cannot take OUT is found before anything is received.
  { const ReplacingFile probe(out); }

  bool showingCounter = false;
  const std::unique_ptr<ReceiveJournal> journal =
      withoutJournal ? nullptr : StartJournal(out, showingCounter);
  JobDocument job;
  showingCounter = true;
  const TransferResult result =
      RunTransfer(job, TransferDirection::kReceive, options, journal.get());
  showingCounter = false;
  if (journal) journal->Finish();
  if (result.outcome != TransferOutcome::kPortNotOpened) {
    try {
      SaveReceivedJob(job, out);
    } catch (const FileError& error) {
      if (!journal) throw;
      // The journal stays: it is all that is left of the transfer.
      const std::string frames = std::to_string(journal->FrameCount());
      throw FileError(std::string(error.what()) + "; " +
                      (journal->Stopped() ? "the first " + frames + " of the frames"
                                          : "the " + frames + " frames") +
                      " received are kept in \"" + journal->Path() + "\" (lumaq-cli recover " +
                      journal->Path() + " FILE)");
    }
  }
  if (journal) {
    try {
      journal->Remove();
    } catch (const FileError& error) {
      std::cerr << "lumaq-cli: " << error.what() << '\n';
    }
  }
  return ReportTransfer(result);
}

std::vector<CliOption> ReceiveOptions() {
  std::vector<CliOption> options = PortCliOptions();
  options.push_back({"--no-journal", "", "keep no OUT.journal: a crash loses the transfer"});
  return options;
}

const CliRegistration registration{
    {"receive", "OUT", ReceiveOptions(),
     "until the instrument's end byte; Ctrl-C stops and saves. Meanwhile every frame\n"
     "accepted is in OUT.journal, removed once OUT is saved (see recover)",
     RunReceive}};

}  // namespace
}  // namespace lumaq::cli
