#include "formats/ReferenceSystems.h"

#include <algorithm>
#include <array>
#include <string>

#include "formats/GisFormats.h"
#include "formats/GisModule.h"

namespace lumaq {
namespace {

struct Family {
  std::string_view prefix;
  std::string_view contains;
};

constexpr std::array kFamilies{
    Family{"CGCS2000 / ", "Gauss-Kruger"},
    Family{"Xian 1980 / ", "Gauss-Kruger"},
    Family{"Beijing 1954 / ", "Gauss-Kruger"},
    Family{"WGS 84 / UTM zone ", ""},
};

// The family's position in kFamilies; kFamilies.size() for none.
std::size_t FamilyOf(std::string_view name) {
  for (std::size_t i = 0; i < kFamilies.size(); ++i) {
    if (name.starts_with(kFamilies[i].prefix) &&
        name.find(kFamilies[i].contains) != std::string_view::npos) {
      return i;
    }
  }
  return kFamilies.size();
}

unsigned long EpsgNumber(const std::string& code) {
  return std::stoul(code.substr(code.find(':') + 1));
}

std::string_view View(LumaqGisText text) {
  return text.size == 0 ? std::string_view() : std::string_view(text.bytes, text.size);
}

void KeepMessage(void* context, LumaqGisText message) {
  static_cast<std::string*>(context)->assign(View(message));
}

void KeepEntry(void* context, LumaqGisText code, LumaqGisText name) {
  static_cast<std::vector<CrsEntry>*>(context)->push_back(
      {std::string(View(code)), std::string(View(name))});
}

}  // namespace

bool IsJobCrsFamily(std::string_view name) {
  return FamilyOf(name) < kFamilies.size();
}

std::vector<CrsEntry> JobCrsChoices() {
  std::vector<CrsEntry> all;
  std::string message;
  if (GisModuleEntries().listProjectedCrs(KeepEntry, &all, KeepMessage, &message) !=
      kLumaqGisDone) {
    throw GisError(message);
  }
  std::erase_if(all, [](const CrsEntry& entry) { return !IsJobCrsFamily(entry.name); });
  std::stable_sort(all.begin(), all.end(), [](const CrsEntry& a, const CrsEntry& b) {
    const std::size_t familyA = FamilyOf(a.name);
    const std::size_t familyB = FamilyOf(b.name);
    return familyA != familyB ? familyA < familyB : EpsgNumber(a.code) < EpsgNumber(b.code);
  });
  return all;
}

CrsEntry DescribeCrs(std::string_view code) {
  std::vector<CrsEntry> described;
  std::string message;
  const std::string typed(code);
  const LumaqGisResult result =
      GisModuleEntries().describeCrs(typed.c_str(), KeepEntry, &described, KeepMessage, &message);
  if (result == kLumaqGisRejected) throw RejectedGisInput(message);
  if (result != kLumaqGisDone || described.empty()) throw GisError(message);
  return described.front();
}

std::string CrsLabel(const CrsEntry& entry) {
  return entry.name + " (" + entry.code + ")";
}

}  // namespace lumaq
