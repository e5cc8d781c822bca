// The receive journal's bytes. A journal starts with kJournalMagic, then each
// accepted frame follows as its header byte, its body and its checksum byte,
// so that a body damaged on the disk is found on replay. A journal written
// before this layout is a plain frames file (FramesFile.h), without the
// magic and without checksums; it still replays. Frames files given to the
// simulated instrument keep the plain layout.
//
// Reading never gives up the frames before damage: a zero-filled tail after
// a power loss, bytes appended, a damaged header byte or (in this layout) a
// damaged body end the frames there, and the rest is set aside.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/FramesFile.h"

namespace lumaq {

// The first bytes of a journal of this layout; its last but one byte is the
// layout's version. No frame header starts it, so a plain journal is never
// taken for one of this layout.
inline constexpr std::string_view kJournalMagic{"LUMAQJ\x02\n", 8};

// Where a journal stops being readable.
struct JournalDamage {
  std::size_t offset = 0;    // the first byte that is no part of a whole, intact frame
  std::size_t setAside = 0;  // the bytes from there to the end, not replayed
  std::string reason;        // what is wrong there
};

struct JournalContent {
  std::vector<Frame> frames;      // the intact frames before any damage
  std::optional<Frame> cutFrame;  // a last frame cut short (never answered 0x00)
  std::optional<JournalDamage> damage;
  bool checksummed = false;  // of this layout (a plain journal otherwise)
};

// A frame as the journal stores it: header, body and checksum. Raises
// std::invalid_argument as FrameBytes does.
std::string JournalFrameBytes(std::uint8_t header, std::string_view body);

// The frames of a journal's bytes, of either layout. Never raises.
JournalContent ParseJournal(std::string_view bytes);
// The same for the journal at path. Raises FileError when it cannot be read.
JournalContent ReadJournal(const std::string& path);

// A file of the plain layout damaged from its first byte is no journal at
// all: nothing in it was ever a frame.
bool IsNoJournal(const JournalContent& content);
// What is wrong with such a file: "not a frames file: byte 0x50 at offset 0
// is no frame header".
std::string NoJournalProblem(const JournalDamage& damage);

}  // namespace lumaq
