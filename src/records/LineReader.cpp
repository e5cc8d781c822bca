#include "records/LineReader.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <utility>

#include "records/InputLimits.h"

namespace lumaq {
LineReader::LineReader(Source source, std::string where, std::size_t bufferSize)
    : source_(std::move(source)),
      where_(std::move(where)),
      buffer_(std::max<std::size_t>(bufferSize, 1)) {}

LineReader::LineReader(std::string_view bytes, std::string where)
    : LineReader(
          [bytes](char* buffer, std::size_t size) mutable {
            const std::size_t n = std::min(size, bytes.size());
            std::memcpy(buffer, bytes.data(), n);
            bytes.remove_prefix(n);
            return n;
          },
          std::move(where), std::min(bytes.size(), std::size_t{1} << 16)) {}

bool LineReader::Refill() {
  position_ = 0;
  end_ = source_(buffer_.data(), buffer_.size());
  return end_ > 0;
}

bool LineReader::Next(std::string& line) {
  line.clear();
  bool started = false;
  while (position_ < end_ || Refill()) {
    started = true;
    const char* begin = buffer_.data() + position_;
    const char* end = buffer_.data() + end_;
    const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
    if (line.size() + static_cast<std::size_t>(stop - begin) > kMaxLineBytes) {
      throw OversizedInput(OverlongLineMessage(where_, lineNumber_ + 1));
    }
    if (std::memchr(begin, '\0', static_cast<std::size_t>(stop - begin))) sawNul_ = true;
    line.append(begin, stop);
    position_ = static_cast<std::size_t>(stop - buffer_.data());
    if (stop == end) continue;
    ++position_;
    // CR LF is one line break, also when the LF starts the next chunk.
    if (*stop == '\r' && (position_ < end_ || Refill()) && buffer_[position_] == '\n') ++position_;
    ++lineNumber_;
    return true;
  }
  if (started) ++lineNumber_;
  return started;
}

CappedLines ReadCappedLines(LineReader& reader, std::size_t headCount, std::size_t tailCount) {
  CappedLines capped;
  std::deque<std::string> tail;
  std::string line;
  while (reader.Next(line)) {
    ++capped.total;
    if (capped.lines.size() < headCount) {
      capped.lines.push_back(std::move(line));
      continue;
    }
    if (tailCount == 0) continue;
    if (tail.size() == tailCount) tail.pop_front();
    tail.push_back(std::move(line));
  }
  capped.hasNul = reader.SawNul();
  std::move(tail.begin(), tail.end(), std::back_inserter(capped.lines));
  return capped;
}

}  // namespace lumaq
