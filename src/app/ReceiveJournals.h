// The receive journal of the window's open job: the safety copy of what its
// receives brought, kept in the user's state folder until the job is saved or
// dropped (ReceiveJournal.h tells how a frame gets there).
//
// One journal is live at a time, and it holds every frame the open job still
// owes to a receive: a receive that adds to the unsaved records of an earlier
// one (Receive keeps an untitled, unchanged job) starts its journal with the
// frames of the earlier one, so that playing the journal back gives the whole
// job. A journal taken over at start-up (restored) is live in the same way.
// The live journal stays locked, so that another running Lumaq never takes
// it for one left behind.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "comm/AcceptedFrame.h"
#include "comm/FramesFile.h"
#include "comm/JournalFile.h"
#include "comm/ReceiveJournal.h"

namespace lumaq {

class ReceiveJournals {
 public:
  // folder: where journals are made ("" for nowhere: no journal is kept).
  explicit ReceiveJournals(std::string folder) : folder_(std::move(folder)) {}

  const std::string& Folder() const { return folder_; }
  void SetFolder(std::string folder) { folder_ = std::move(folder); }

  // A receive begins. addsToJob: it adds to the open job, whose frames the
  // live journal holds (they are copied into the new one); otherwise the job
  // is a new one and the live journal has been dropped already. Returns the
  // sink for the receive; nullptr when no journal could be made, and then
  // failure says why (the file and the system's reason).
  AcceptedFrameSink* BeginReceive(bool addsToJob, std::string& failure);
  // The receive has ended: what was written goes to the disk. jobKeepsFrames:
  // the job holds something not saved; when it does not, the journal goes
  // (a receive that brought nothing). Returns why the journal stopped during
  // the receive, once; empty when it did not.
  std::string EndReceive(bool jobKeepsFrames);

  // Takes over a journal left behind, restored into the open job.
  void Adopt(JournalFile claim);

  // The job the live journal belongs to was saved or dropped: the journal
  // goes. Never raises: returns why the file could not be removed, else
  // empty.
  std::string Drop();

  // The frames of a damaged journal, restored into the open job, go into a
  // journal of their own, which becomes live (the damaged one was set
  // aside). False when it cannot be made, and then failure says why.
  bool TakeFrames(const std::vector<Frame>& frames, std::string& failure);

  // Whether a journal is live, and its file.
  bool Live() const { return journal_ != nullptr || claim_.has_value(); }
  std::string Path() const;
  // The frames in the journal made by the last receive.
  int FrameCount() const { return journal_ ? journal_->FrameCount() : 0; }

 private:
  std::string folder_;
  std::unique_ptr<ReceiveJournal> journal_;  // made by a receive of this run
  std::optional<JournalFile> claim_;         // or restored at start-up
  std::string stopped_;                      // why journal_ stopped, not yet told
};

}  // namespace lumaq
