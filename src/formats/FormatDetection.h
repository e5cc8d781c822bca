// Telling a file's format by its content, with the content checks of the
// registry (ExchangeFormat::looksLike): the import warns about a file that
// does not look like the format chosen but like another, and lumaq-cli
// import --detect picks the format itself.
#pragma once

#include <string>
#include <string_view>

#include "formats/ExchangeFormats.h"

namespace lumaq {

// At most the first kContentCheckBytes of the file; "" when it cannot be
// read (the import then says why).
std::string FirstBytesOf(const std::string& path);

// The formats among candidates that the bytes look like, in their order.
FormatList FormatsItLooksLike(std::string_view firstBytes, const FormatList& candidates);

// The other candidates the bytes look like, when they do not look like
// chosen; nothing when they do, when chosen cannot be told by its content,
// or when they look like none.
FormatList OtherFormatsItLooksLike(const ExchangeFormat& chosen, std::string_view firstBytes,
                                   const FormatList& candidates);

// What the user is told of a file that does not look like chosen but like
// others: "文件“NAME”看起来不是“…”格式，而像是“…”格式。"
std::string MismatchText(const ExchangeFormat& chosen, const FormatList& others,
                         const std::string& fileName);

// "“CSV文件(逗号分隔)(*.CSV)”" and more joined by "或": the formats as the
// dialogs show them.
std::string ShownFormats(const FormatList& formats);

}  // namespace lumaq
