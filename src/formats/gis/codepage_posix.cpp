// The re-encoding of CodePage.h with the C library's iconv.
#include "formats/gis/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "formats/gis/GisFailure.h"

namespace lumaq::gis {
namespace {

struct IconvCloser {
  void operator()(iconv_t converter) const { iconv_close(converter); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter OpenConverter(const char* to, const char* from) {
  const iconv_t converter = iconv_open(to, from);
  // iconv_open's failure value is (iconv_t)-1.
  if (converter == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
    throw Failed(std::string("系统不支持从 ") + from + " 到 " + to + " 的文字转换");
  }
  return Converter(converter);
}

// The text converted; a sequence the converter refuses is skipped byte by
// byte, each time with replacement written in its place.
std::string Convert(const char* to, const char* from, std::string_view text,
                    std::string_view replacement) {
  const Converter converter = OpenConverter(to, from);
  std::string out;
  std::string input(text);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* next = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t done = iconv(converter.get(), &in, &inLeft, &next, &room);
    const int error = errno;
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    if (done != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut off at the end.
    out += replacement;
    ++in;
    --inLeft;
  }
  return out;
}

}  // namespace

std::string Utf8FromCodePage(std::string_view bytes) {
  return Convert("UTF-8", "GB18030", bytes, "\xEF\xBF\xBD");
}

std::string PrintableUtf8FromCodePage(std::string_view bytes) {
  std::string text;
  for (const char c : Utf8FromCodePage(bytes)) {
    const auto byte = static_cast<unsigned char>(c);
    text +=
        byte < 0x20 || byte == 0x7F ? std::string_view("\xEF\xBF\xBD") : std::string_view(&c, 1);
  }
  return text;
}

std::string CodePageFromUtf8(std::string_view utf8) {
  return Convert("GB18030", "UTF-8", utf8, "?");
}

}  // namespace lumaq::gis
