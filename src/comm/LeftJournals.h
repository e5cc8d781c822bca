// Receive journals left behind in a folder: by a program that was killed,
// crashed or lost its power before the received job was saved, or by a
// receive whose job was never saved. The window offers them back at start-up.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "comm/JournalLayout.h"

namespace lumaq {

struct LeftJournal {
  std::string path;
  int frames = 0;         // whole frames in it
  bool cutFrame = false;  // its last frame is cut short (left out on replay)
  std::chrono::system_clock::time_point lastFrameTime;  // when it was last written
  // Where it is damaged: the frames before are restored, the rest is not.
  std::optional<JournalDamage> damage;
  // Why it cannot be replayed (unreadable, or no journal at all: damaged
  // from its very first byte), else empty.
  std::string problem;
};

// The files in folder whose names end in ".journal" that no running program
// holds, newest first. A journal set aside (JournalFile::SetAside) is not
// among them; one without frames is (it holds nothing to restore). A folder
// that does not exist holds none.
std::vector<LeftJournal> FindLeftJournals(const std::string& folder);

}  // namespace lumaq
