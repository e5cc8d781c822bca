// The receive journal of the open job: made before a receive opens the port,
// removed once the job is saved or dropped, and a journal left behind by a
// run that ended without either offered back at start-up.
#include <exception>
#include <optional>
#include <string>

#include "app/MainCommands.h"
#include "app/StatusTexts.h"
#include "comm/JournalFile.h"
#include "comm/JournalLayout.h"
#include "comm/JournalReplay.h"
#include "comm/LeftJournals.h"
#include "comm/ReceiveJournal.h"
#include "rawdata/RawUnitState.h"
#include "records/JobFiles.h"

namespace lumaq {
namespace {

// "20240315-142502" as "2024-03-15 14:25".
std::string ShownTime(std::chrono::system_clock::time_point time) {
  const std::string stamp = JournalFile::DateStamp(time);
  return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
         stamp.substr(9, 2) + ":" + stamp.substr(11, 2);
}

}  // namespace

std::string RestoreQuestionText(const LeftJournal& left) {
  std::string text = "发现上次未保存的接收数据：共 " + std::to_string(left.frames) +
                     " 帧，最后一帧接收于 " + ShownTime(left.lastFrameTime) + "。";
  if (left.cutFrame) text += "（最后一帧未接收完整，未计入。）";
  if (left.damage) {
    text += "（接收日志从第 " + std::to_string(left.damage->offset) + " 字节起已损坏，其后 " +
            std::to_string(left.damage->setAside) + " 字节无法恢复。）";
  }
  return text + "是否恢复？\n选“否”则该接收日志改名保留在 " + FolderOf(left.path) +
         " 中，以后不再询问。";
}

std::string UnreadableJournalText(const std::string& path, const std::string& problem,
                                  const std::string& keptAs) {
  return "上次留下的接收日志 " + FileNameOf(path) + " 无法恢复：" + problem +
         "\n该文件已改名保留为 " + keptAs + "。";
}

std::string DamagedJournalText(const std::string& path, const JournalDamage& damage, int frames,
                               const std::string& keptAs) {
  return "接收日志 " + FileNameOf(path) + " 从第 " + std::to_string(damage.offset) +
         " 字节起已损坏：其前的 " + std::to_string(frames) + " 帧已恢复，其后 " +
         std::to_string(damage.setAside) + " 字节未能恢复，连同整个文件改名保留为 " + keptAs + "。";
}

std::string JournalStoppedText(const std::string& detail, const std::string& path, int frames) {
  return std::string(kJournalStoppedText) + "\n" + detail + "\n已确认的 " + std::to_string(frames) +
         " 帧在接收日志 " + path + " 中，也仍在程序中：请用“另存为”保存到其他磁盘。";
}

std::string NoJournalText(const std::string& detail) {
  return std::string("无法建立接收日志：") + detail +
         "\n本次接收照常进行，但没有安全副本：请在传输结束后及时保存。";
}

bool MainCommands::OfferLeftJournals() {
  if (journals_.Folder().empty()) return false;
  for (const LeftJournal& left : FindLeftJournals(journals_.Folder())) {
    try {
      std::optional<JournalFile> claim = JournalFile::Claim(left.path);
      if (!claim) continue;  // another Lumaq has just taken it
      if (!left.problem.empty()) {
        SetAsideJournal(*claim, left.problem);
        continue;
      }
      // Nothing in it was ever answered 0x00: nothing to give back.
      if (left.frames == 0) {
        claim->Remove();
        continue;
      }
      const MessageResult answer = dialogs_.ShowMessage(
          kCaptionNote, RestoreQuestionText(left), MessageIcon::kQuestion, MessageButtons::kYesNo);
      if (answer != MessageResult::kYes) {
        claim->SetAside();
        continue;
      }
      // One restored job per start: the others wait for the next.
      if (RestoreJournal(left, *claim)) return true;
    } catch (const FileError& error) {
      // A journal that cannot be claimed, set aside or removed stays as it
      // is; the start goes on.
      dialogs_.ShowMessage(kCaptionWarning, error.what(), MessageIcon::kWarning,
                           MessageButtons::kOk);
    }
  }
  return false;
}

bool MainCommands::RestoreJournal(const LeftJournal& left, JournalFile& claim) {
  linesBeforeReceive_ = job_.JobText.size();
  JournalContent content;
  try {
    // The job is untouched when the journal cannot be read.
    content = ReadJournal(left.path);
  } catch (const std::exception& error) {
    SetAsideJournal(claim, error.what());
    return false;
  }
  const JournalReplay replay = ReplayFrames(content, job_, ProcessRawUnitState());
  if (!replay.damage) {
    journals_.Adopt(std::move(claim));
    FinishReceive();
    return true;
  }
  // The damaged file is kept whole under another name; the intact frames go
  // on in a journal of their own until the job is saved.
  const std::string keptAs = claim.SetAside();
  std::string text = DamagedJournalText(left.path, *replay.damage, replay.frames, keptAs);
  std::string failure;
  if (!journals_.TakeFrames(content.frames, failure)) text += "\n" + NoJournalText(failure);
  FinishReceive();
  dialogs_.ShowMessage(kCaptionWarning, text, MessageIcon::kWarning, MessageButtons::kOk);
  return true;
}

void MainCommands::SetAsideJournal(JournalFile& claim, const std::string& problem) {
  const std::string path = claim.Path();
  const std::string keptAs = claim.SetAside();
  dialogs_.ShowMessage(kCaptionWarning, UnreadableJournalText(path, problem, keptAs),
                       MessageIcon::kWarning, MessageButtons::kOk);
}

void MainCommands::BeginReceiveJournal() {
  // The journal live now holds the job's frames: the receive adds to them.
  receiveSink_ = journals_.BeginReceive(journals_.Live(), journalFailure_);
}

void MainCommands::EndReceiveJournal() {
  receiveSink_ = nullptr;
  const std::string stopped = journals_.EndReceive(job_.Modified || receivedUnsaved_);
  if (!stopped.empty()) {
    dialogs_.ShowMessage(kCaptionWarning,
                         JournalStoppedText(stopped, journals_.Path(), journals_.FrameCount()),
                         MessageIcon::kWarning, MessageButtons::kOk);
  }
  if (journalFailure_.empty()) return;
  // Told in a box once a run; the status bar says it for every later receive.
  if (!journalFailureTold_) {
    journalFailureTold_ = true;
    dialogs_.ShowMessage(kCaptionNote, NoJournalText(journalFailure_), MessageIcon::kInformation,
                         MessageButtons::kOk);
  } else {
    view_.SetStatusText(StatusPanel::kHint, kNoJournalStatusText);
  }
  journalFailure_.clear();
}

void MainCommands::DropJournal() {
  const std::string failure = journals_.Drop();
  if (!failure.empty()) {
    dialogs_.ShowMessage(kCaptionWarning, "接收日志未能删除，下次启动时将再次询问：" + failure,
                         MessageIcon::kWarning, MessageButtons::kOk);
  }
}

}  // namespace lumaq
