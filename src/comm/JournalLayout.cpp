#include "comm/JournalLayout.h"

#include <cstdio>

#include "comm/FrameHeaders.h"
#include "records/JobFiles.h"

namespace lumaq {

std::string JournalFrameBytes(std::uint8_t header, std::string_view body) {
  std::string bytes = FrameBytes({header, std::string(body)});
  bytes += static_cast<char>(FrameChecksum(body));
  return bytes;
}

JournalContent ParseJournal(std::string_view bytes) {
  JournalContent content;
  content.checksummed = bytes.starts_with(kJournalMagic);
  if (!content.checksummed && !bytes.empty() && kJournalMagic.starts_with(bytes)) {
    // Torn before its first frame was written.
    content.checksummed = true;
    return content;
  }
  const std::size_t sumSize = content.checksummed ? 1 : 0;
  std::size_t offset = content.checksummed ? kJournalMagic.size() : 0;
  const auto damaged = [&](std::string reason) {
    content.damage = JournalDamage{offset, bytes.size() - offset, std::move(reason)};
  };
  while (offset < bytes.size()) {
    const auto header = static_cast<std::uint8_t>(bytes[offset]);
    const auto entry = FindFrameHeader(header);
    if (!entry) {
      damaged("byte " + HexByte(header) + " at offset " + std::to_string(offset) +
              " is no frame header");
      break;
    }
    const std::string_view rest = bytes.substr(offset + 1);
    if (rest.size() < entry->bodySize + sumSize) {
      content.cutFrame = Frame{header, std::string(rest.substr(0, entry->bodySize))};
      break;
    }
    const std::string_view body = rest.substr(0, entry->bodySize);
    if (content.checksummed &&
        FrameChecksum(body) != static_cast<std::uint8_t>(rest[entry->bodySize])) {
      damaged("the frame " + HexByte(header) + " at offset " + std::to_string(offset) +
              " does not match its checksum");
      break;
    }
    content.frames.push_back({header, std::string(body)});
    offset += 1 + entry->bodySize + sumSize;
  }
  return content;
}

JournalContent ReadJournal(const std::string& path) {
  return ParseJournal(ReadFileBytes(path));
}

bool IsNoJournal(const JournalContent& content) {
  return !content.checksummed && content.damage && content.damage->offset == 0;
}

std::string NoJournalProblem(const JournalDamage& damage) {
  return "not a frames file: " + damage.reason;
}

}  // namespace lumaq
