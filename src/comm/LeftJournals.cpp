#include "comm/LeftJournals.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "comm/JournalFile.h"

namespace lumaq {

std::vector<LeftJournal> FindLeftJournals(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<LeftJournal> journals;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::error_code ignored;
    if (entry.path().extension() != ".journal" || !entry.is_regular_file(ignored)) continue;
    LeftJournal journal;
    journal.path = entry.path().string();
    if (JournalFile::InUse(journal.path)) continue;
    try {
      journal.lastFrameTime = JournalFile::LastWriteTime(journal.path);
      const JournalContent content = ReadJournal(journal.path);
      journal.frames = static_cast<int>(content.frames.size());
      journal.cutFrame = content.cutFrame.has_value();
      journal.damage = content.damage;
      if (IsNoJournal(content)) journal.problem = NoJournalProblem(*content.damage);
    } catch (const std::exception& problem) {
      journal.problem = problem.what();
    }
    journals.push_back(std::move(journal));
  }
  std::sort(journals.begin(), journals.end(), [](const LeftJournal& a, const LeftJournal& b) {
    if (a.lastFrameTime != b.lastFrameTime) return a.lastFrameTime > b.lastFrameTime;
    return a.path < b.path;
  });
  return journals;
}

}  // namespace lumaq
