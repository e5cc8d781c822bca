// lumaq-cli receive PORT [--baud RATE] [--no-journal] OUT: Receive (F9) with a
// file name in place of Save As. The instrument's frames go into a new job
// until its end byte; the job is then saved to OUT. After a line error or
// Ctrl-C what was accepted is saved too.
//
// No frame is acknowledged that is not kept. Meanwhile the receive journal
// OUT.journal holds every frame accepted before it is answered; it goes once
// OUT is saved, and stays when the program dies first or OUT cannot be
// written (lumaq-cli recover saves from it). A frame the journal cannot take
// is refused and ends the receive. Without a journal, a job that OUT cannot
// take is saved in the user's state folder instead. A journal already there
// is the only copy of an earlier download: the receive refuses to start
// rather than overwrite it. Two receives into one OUT never run at once.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "PortOptions.h"
#include "TransferRun.h"
#include "comm/JournalFile.h"
#include "comm/ReceiveJournal.h"
#include "records/JobFiles.h"
#include "records/ReplacingFile.h"
#include "records/SettingsLocation.h"

namespace lumaq::cli {
namespace {

namespace fs = std::filesystem;

// OUT.lock beside out, held while the receive runs, with or without journal.
class OutputLock {
 public:
  explicit OutputLock(const std::string& out) : path_(out + ".lock") {
    lock_ = JournalFile::HoldLock(path_);
    if (!lock_) throw RejectedInput("\"" + out + "\": another receive into it is running");
  }
  ~OutputLock() {
    try {
      lock_->Remove();
    } catch (const FileError&) {
      // Left behind, it holds nothing: the next receive takes it over.
    }
  }
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;

 private:
  std::string path_;
  std::optional<JournalFile> lock_;
};

// The journal beside out, or none when it cannot be made (the receive goes on
// without it, and the user is told).
std::unique_ptr<ReceiveJournal> StartJournal(const std::string& out) {
  const std::string path = out + ".journal";
  try {
    return std::make_unique<ReceiveJournal>(path, nullptr);
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
    std::cerr << "lumaq-cli: no receive journal (" << error.what()
              << "); a job that OUT cannot take is saved in the user's state folder\n";
    return nullptr;
  }
}

// Where a job goes that OUT could not take and no journal holds: a new file
// named after out in the user's state folder, where the window keeps its
// journals. Returns its name. Raises FileError.
std::string SaveFallback(JobDocument& job, const std::string& out) {
  const std::string folder = UserStateFolder();
  if (folder.empty()) throw FileError("没有用户状态文件夹（未设置 HOME 与 XDG_STATE_HOME）");
  const std::string stamp = JournalFile::DateStamp(std::chrono::system_clock::now());
  std::string path;
  for (int number = 1; path.empty() || fs::exists(path); ++number) {
    path =
        (fs::path(folder) / ("receive-" + stamp + (number > 1 ? "-" + std::to_string(number) : "") +
                             "-" + FileNameOf(out)))
            .string();
  }
  CreateSettingsFolder(path);
  SaveReceivedJob(job, path);
  return path;
}

// Saves the job to out; when out cannot take it, says where the frames are
// instead (the journal, or a fallback file) and raises FileError.
void SaveOrKeep(JobDocument& job, const std::string& out, const ReceiveJournal* journal,
                int frames) {
  try {
    SaveReceivedJob(job, out);
  } catch (const FileError& error) {
    const std::string count = std::to_string(frames);
    if (journal) {
      // The journal stays: it is all that is left of the transfer.
      throw FileError(std::string(error.what()) + "; the " + count +
                      " frames received are kept in \"" + journal->Path() +
                      "\" (lumaq-cli recover " + journal->Path() + " FILE)");
    }
    std::string fallback;
    try {
      fallback = SaveFallback(job, out);
    } catch (const FileError& lost) {
      throw FileError(std::string(error.what()) + "; nor could the " + count +
                      " frames received be saved in the state folder: " + lost.what());
    }
    throw FileError(std::string(error.what()) + "; the " + count +
                    " frames received are saved in \"" + fallback + "\" instead");
  }
}

ExitCode RunReceive(const CliCall& call) {
  const bool withoutJournal = call.Has("--no-journal");
  const PortOptions options = PortOptionsOf(call);
  const std::string& out = call.Positional()[0];
  // A folder that cannot take OUT, or an OUT that is no file, is found before
  // anything is received.
  { const ReplacingFile probe(out); }
  const OutputLock lock(out);

  const std::unique_ptr<ReceiveJournal> journal = withoutJournal ? nullptr : StartJournal(out);
  JobDocument job;
  const TransferResult result =
      RunTransfer(job, TransferDirection::kReceive, options, journal.get());
  if (journal) journal->Finish();
  const bool notKept = result.outcome == TransferOutcome::kFrameNotKept;
  if (notKept) {
    std::cerr << "lumaq-cli: " << kJournalStoppedText << " (" << result.sinkFailure << ")\n";
  }
  if (result.outcome != TransferOutcome::kPortNotOpened) {
    SaveOrKeep(job, out, journal.get(), result.frames);
  }
  if (journal) {
    try {
      journal->Remove();
    } catch (const FileError& error) {
      std::cerr << "lumaq-cli: " << error.what() << '\n';
    }
  }
  if (notKept) {
    std::cerr << "lumaq-cli: the " << result.frames << " frames accepted before it are saved in \""
              << out << "\"\n";
    return ExitCode::kFailed;
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
