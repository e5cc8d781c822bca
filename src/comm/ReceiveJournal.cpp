#include "comm/ReceiveJournal.h"

#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "comm/FrameHeaders.h"
#include "comm/JournalLayout.h"

namespace lumaq {
namespace {

// A new journal's file with the layout's first bytes, or none at all.
JournalFile CreateJournalFile(const std::string& path) {
  JournalFile file = JournalFile::Create(path);
  try {
    file.Append(kJournalMagic);
  } catch (const FileError&) {
    try {
      file.Remove();
    } catch (const FileError&) {
      // Nothing was written to it: the next receive finds it empty.
    }
    throw;
  }
  return file;
}

}  // namespace

ReceiveJournal::ReceiveJournal(const std::string& path, StopNotice onStopped,
                               std::chrono::milliseconds syncDelay)
    : file_(CreateJournalFile(path)),
      path_(path),
      onStopped_(std::move(onStopped)),
      syncDelay_(syncDelay),
      syncer_([this] { SyncLoop(); }) {}

std::unique_ptr<ReceiveJournal> ReceiveJournal::CreateIn(const std::string& folder,
                                                         const StopNotice& onStopped) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) ThrowFileError("无法写入文件", folder, error.value());
  const std::string stamp = JournalFile::DateStamp(std::chrono::system_clock::now());
  for (int number = 1;; ++number) {
    std::string name = "receive-" + stamp;
    if (number > 1) name += "-" + std::to_string(number);
    try {
      return std::make_unique<ReceiveJournal>(
          (std::filesystem::path(folder) / (name + ".journal")).string(), onStopped);
    } catch (const JournalExists&) {
      if (number == 1000) throw;
    }
  }
}

ReceiveJournal::~ReceiveJournal() {
  Finish();
}

void ReceiveJournal::FrameAccepted(std::uint8_t header, std::string_view body) {
  if (stopped_) ThrowStopped();
  if (finished_) return;
  TakeSyncFailure();
  if (stopped_) ThrowStopped();
  const auto entry = FindFrameHeader(header);
  if (!entry || body.size() != entry->bodySize) {
    throw std::invalid_argument("no frame of the header table: " + std::to_string(header));
  }
  frameBytes_.assign(1, static_cast<char>(header));
  frameBytes_.append(body);
  frameBytes_.push_back(static_cast<char>(FrameChecksum(body)));
  try {
    file_.Append(frameBytes_);
  } catch (const FileError& error) {
    Stop(error.what());
    ThrowStopped();
  }
  ++frames_;
  const std::lock_guard lock(mutex_);
  if (!dirty_) {
    dirty_ = true;
    dirtySince_ = std::chrono::steady_clock::now();
    wake_.notify_one();
  }
}

void ReceiveJournal::Finish() {
  if (finished_) return;
  finished_ = true;
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  if (syncer_.joinable()) syncer_.join();
  TakeSyncFailure();
  try {
    // Even a journal that stopped keeps the frames before its failure.
    file_.DataSync();
  } catch (const FileError& error) {
    Stop(error.what());
  }
}

void ReceiveJournal::Remove() {
  Finish();
  file_.Remove();
}

void ReceiveJournal::SyncLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || dirty_; });
    if (quit_) return;  // Finish syncs the rest
    // The frames that follow within the delay go to the disk together.
    if (wake_.wait_until(lock, dirtySince_ + syncDelay_, [this] { return quit_; })) return;
    dirty_ = false;
    lock.unlock();
    std::string failure;
    try {
      file_.DataSync();
    } catch (const FileError& error) {
      failure = error.what();
    }
    lock.lock();
    if (!failure.empty()) {
      // Told on the receive's thread, at its next frame or at Finish.
      syncFailure_ = std::move(failure);
      return;
    }
  }
}

void ReceiveJournal::TakeSyncFailure() {
  std::string failure;
  {
    const std::lock_guard lock(mutex_);
    failure = std::exchange(syncFailure_, "");
  }
  if (!failure.empty()) Stop(failure);
}

void ReceiveJournal::Stop(const std::string& detail) {
  if (stopped_) return;
  stopped_ = true;
  stopDetail_ = detail;
  try {
    if (onStopped_) onStopped_(detail);
  } catch (...) {
    // The notice only tells; the journal has stopped all the same.
  }
}

void ReceiveJournal::ThrowStopped() const {
  throw FileError(stopDetail_);
}

}  // namespace lumaq
