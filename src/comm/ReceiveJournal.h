// The receive journal: the safety copy of a receive. Every frame the receive
// accepts is appended to the journal (JournalLayout.h: header byte, body and
// checksum) and handed to the system before the program answers 0x00, so a
// program that is killed loses no frame it acknowledged. A thread of the
// journal's own puts the frames on the disk (fdatasync) at most
// kJournalSyncDelay after the first one not yet there and once more at
// Finish, so a power cut takes at most the last quarter second; the answer to
// the instrument never waits for the disk.
//
// A journal that cannot be written (a full disk, a folder gone) refuses the
// frame: FrameAccepted raises, the receive answers the frame 0xFF and ends,
// since nothing is acknowledged that is not kept. The journal stops there and
// tells why once through its notice; the frames before are in the file.
//
// Give it to the session with TransferSession::SetAcceptedFrameSink. Its
// frames give the job back through ReplayJournal (JournalReplay.h).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "comm/AcceptedFrame.h"
#include "comm/JournalFile.h"

namespace lumaq {

// What the user is told first when the journal stopped; the detail and
// where the frames are follow.
inline constexpr const char* kJournalStoppedText =
    "接收日志无法写入，接收已停止：未能保存的数据没有向全站仪确认。";

// The longest a written frame waits for its sync to begin.
inline constexpr std::chrono::milliseconds kJournalSyncDelay{100};

class ReceiveJournal final : public AcceptedFrameSink {
 public:
  // Told why the journal stopped (the file and the system's reason), once,
  // on the thread that runs the receive (in FrameAccepted or Finish). What it
  // raises is dropped.
  using StopNotice = std::function<void(const std::string& detail)>;

  // The journal of a receive that starts now: creates path, which must not
  // exist, locks it for this program and writes the layout's first bytes.
  // Raises JournalExists when a file is there (JournalExists::inUse tells a
  // running receive from one left behind), FileError when it cannot be
  // created or written (then nothing of it stays).
  ReceiveJournal(const std::string& path, StopNotice onStopped,
                 std::chrono::milliseconds syncDelay = kJournalSyncDelay);
  // A new journal in folder (made when missing), named after the time it
  // starts: "receive-20240315-142502.journal" ("-2" and on when taken).
  // Raises FileError.
  static std::unique_ptr<ReceiveJournal> CreateIn(const std::string& folder,
                                                  const StopNotice& onStopped);
  ReceiveJournal(const ReceiveJournal&) = delete;
  ReceiveJournal& operator=(const ReceiveJournal&) = delete;
  // Finishes; the file stays (a job not yet saved is still in it).
  ~ReceiveJournal() override;

  // Appends the frame and hands it to the system. Raises FileError when it
  // cannot (the file cut back to the frames before, as far as the system
  // lets it), and for every frame after that; std::invalid_argument for a
  // frame of no header of the table.
  void FrameAccepted(std::uint8_t header, std::string_view body) override;
  // The receive is over: no more frames; what was written goes to the disk
  // now. The file stays open and locked, so no other program takes it for
  // left behind, until Remove or the end of the object.
  void Finish();
  // The received job has been saved (or dropped by the user): the file goes.
  // Raises FileError when it cannot be removed.
  void Remove();

  const std::string& Path() const { return path_; }
  // Frames written so far.
  int FrameCount() const { return frames_; }
  // The journal stopped after a failure; later frames are not in it.
  bool Stopped() const { return stopped_; }
  // Why it stopped (the file and the system's reason), else empty.
  const std::string& StopDetail() const { return stopDetail_; }

 private:
  void SyncLoop();
  void TakeSyncFailure();
  void Stop(const std::string& detail);
  [[noreturn]] void ThrowStopped() const;

  JournalFile file_;
  std::string path_;
  StopNotice onStopped_;
  std::chrono::milliseconds syncDelay_;
  std::string frameBytes_;  // the frame being appended, kept for its room
  int frames_ = 0;
  bool stopped_ = false;
  std::string stopDetail_;
  bool finished_ = false;

  // Shared with the syncing thread.
  std::mutex mutex_;
  std::condition_variable wake_;
  bool dirty_ = false;  // frames written and not yet synced
  std::chrono::steady_clock::time_point dirtySince_;
  bool quit_ = false;
  std::string syncFailure_;
  std::thread syncer_;  // last: starts once everything above is ready
};

}  // namespace lumaq
