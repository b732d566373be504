// Code pages through iconv, one conversion a text.
#include "platform/imaging/helper/charset.h"

#include <iconv.h>

#include <cerrno>

namespace md::imaging::detail {
namespace {

const char* CodePage(unsigned charset) {
  switch (charset) {
    case 77:
      return "MACINTOSH";
    case 128:
      return "CP932";
    case 129:
      return "CP949";
    case 130:
      return "JOHAB";
    case 134:
      return "CP936";
    case 136:
      return "CP950";
    case 161:
      return "CP1253";
    case 162:
      return "CP1254";
    case 163:
      return "CP1258";
    case 177:
      return "CP1255";
    case 178:
      return "CP1256";
    case 186:
      return "CP1257";
    case 204:
      return "CP1251";
    case 222:
      return "CP874";
    case 238:
      return "CP1250";
    case 255:
      return "CP437";
    default:
      return "CP1252";
  }
}

constexpr char kReplacement[] = "\xEF\xBF\xBD";

std::string Latin1(const char* bytes, std::size_t size) {
  std::string out;
  for (std::size_t k = 0; k < size; ++k) {
    const auto c = static_cast<unsigned char>(bytes[k]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::string CharsetToUtf8(const char* bytes, std::size_t size, unsigned charset) {
  if (bytes == nullptr || size == 0) return "";
  if (charset == kSymbolCharset) return Latin1(bytes, size);
  iconv_t cd = iconv_open("UTF-8", CodePage(charset));
  if (cd == reinterpret_cast<iconv_t>(-1)) return Latin1(bytes, size);
  std::string out;
  char buffer[256];
  // What a stateful code page still holds (a base letter that a combining
  // mark may follow), written out.
  auto flush = [&] {
    char* o = buffer;
    std::size_t room = sizeof buffer;
    iconv(cd, nullptr, nullptr, &o, &room);
    out.append(buffer, static_cast<std::size_t>(o - buffer));
  };
  char* in = const_cast<char*>(bytes);
  std::size_t left = size;
  // Each round converts what it can; a byte that stops it is replaced and
  // stepped over, so every round moves on.
  while (left > 0) {
    char* o = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t done = iconv(cd, &in, &left, &o, &room);
    out.append(buffer, static_cast<std::size_t>(o - buffer));
    if (done != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG && o != buffer) continue;
    flush();
    out += kReplacement;
    ++in;
    --left;
  }
  flush();
  iconv_close(cd);
  return out;
}

}  // namespace md::imaging::detail
