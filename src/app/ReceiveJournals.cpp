#include "app/ReceiveJournals.h"

#include <filesystem>
#include <utility>

#include "comm/JournalLayout.h"
#include "records/JobFiles.h"
#include "records/SettingsLocation.h"

namespace lumaq {

AcceptedFrameSink* ReceiveJournals::BeginReceive(bool addsToJob, std::string& failure) {
  failure.clear();
  stopped_.clear();
  if (folder_.empty()) {
    failure = "没有用户状态文件夹（未设置 HOME 与 XDG_STATE_HOME）";
    return nullptr;
  }
  // The frames the job already owes to earlier receives, read before anything
  // changes: the journal that holds them stays until the new one has them.
  JournalContent earlier;
  if (addsToJob && Live()) {
    try {
      earlier = ReadJournal(Path());
    } catch (const std::exception& error) {
      failure = error.what();
      return nullptr;
    }
    if (earlier.damage) {
      failure = "\"" + Path() + "\": " + earlier.damage->reason;
      return nullptr;
    }
  }
  std::unique_ptr<ReceiveJournal> journal;
  try {
    CreateSettingsFolder((std::filesystem::path(folder_) / "receive.journal").string());
    journal =
        ReceiveJournal::CreateIn(folder_, [this](const std::string& detail) { stopped_ = detail; });
  } catch (const std::exception& error) {
    failure = error.what();
    return nullptr;
  }
  try {
    for (const Frame& frame : earlier.frames) journal->FrameAccepted(frame.header, frame.body);
  } catch (const std::exception& error) {
    // The earlier journal stays live: it still holds what it held.
    failure = error.what();
    stopped_.clear();
    try {
      journal->Remove();
    } catch (const std::exception&) {
      // Left with fewer frames than the earlier one: offered at the next start.
    }
    return nullptr;
  }
  // The earlier journal's frames are safe in the new one.
  if (Live()) Drop();
  journal_ = std::move(journal);
  return journal_.get();
}

std::string ReceiveJournals::EndReceive(bool jobKeepsFrames) {
  if (journal_) journal_->Finish();
  std::string told = std::exchange(stopped_, std::string());
  if (!jobKeepsFrames) Drop();
  return told;
}

bool ReceiveJournals::TakeFrames(const std::vector<Frame>& frames, std::string& failure) {
  Drop();
  std::unique_ptr<ReceiveJournal> journal;
  try {
    CreateSettingsFolder((std::filesystem::path(folder_) / "receive.journal").string());
    journal = ReceiveJournal::CreateIn(folder_, nullptr);
  } catch (const std::exception& error) {
    failure = error.what();
    return false;
  }
  try {
    for (const Frame& frame : frames) journal->FrameAccepted(frame.header, frame.body);
    journal->Finish();
  } catch (const std::exception& error) {
    failure = error.what();
    try {
      journal->Remove();
    } catch (const std::exception&) {
      // Fewer frames than the job holds: offered at the next start.
    }
    return false;
  }
  journal_ = std::move(journal);
  return true;
}

void ReceiveJournals::Adopt(JournalFile claim) {
  Drop();
  claim_.emplace(std::move(claim));
}

std::string ReceiveJournals::Drop() {
  std::string failure;
  try {
    if (journal_) journal_->Remove();
    if (claim_) claim_->Remove();
  } catch (const std::exception& error) {
    // A journal that stopped because its folder went has nothing left to
    // remove; only a file still there is worth a word.
    std::error_code ignored;
    if (std::filesystem::exists(Path(), ignored)) failure = error.what();
  }
  journal_.reset();
  claim_.reset();
  return failure;
}

std::string ReceiveJournals::Path() const {
  if (journal_) return journal_->Path();
  if (claim_) return claim_->Path();
  return {};
}

}  // namespace lumaq
