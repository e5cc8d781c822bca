// Settings files of sections and keys, read and written line by line as the
// system's profile functions do: section and key names match without regard
// to case, a value is read trimmed (and without one pair of enclosing
// quotes), and writing a key replaces its line in place or appends it to its
// section, appending the section when there is none. Every other line of the
// file stays as it was; the file is written with CR LF line ends.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumaq {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  // The lines of the file at path; a missing file gives an empty one. Raises
  // FileError when the file is there but cannot be read.
  static IniFile Load(const std::string& path);
  // Replaces the file at path as a whole. Raises FileError.
  void Save(const std::string& path) const;

  bool HasSection(std::string_view section) const;
  // The value of key in the first section of that name, if the key is there.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // The keys of the first section of that name with their values, in file
  // order.
  std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

  void Write(std::string_view section, std::string_view key, std::string_view value);

  const std::vector<std::string>& Lines() const { return lines_; }
  // The file's bytes: every line followed by CR LF.
  std::string Text() const;

 private:
  struct SectionRange {
    std::size_t header;  // index of the [section] line
    std::size_t end;     // one past its last line
  };
  std::optional<SectionRange> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const SectionRange& range, std::string_view key) const;

  std::vector<std::string> lines_;
};

// One key read or written straight in the file, as the profile functions do.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback);
void WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace lumaq
