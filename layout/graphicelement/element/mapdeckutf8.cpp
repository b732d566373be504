// Cutting UTF-8 texts to a byte limit without splitting a character.
#include <cstring>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/mapdeckutf8.h"

namespace md::layout {

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

std::size_t Utf8CutLength(const char* szText, std::size_t nLength, std::size_t nMaxBytes) {
  if (szText == nullptr) return 0;
  if (nLength <= nMaxBytes) return nLength;
  // The byte at nMaxBytes starts the first character that is cut off; when
  // it continues a character, that character started earlier and goes too.
  // A well-formed character has at most three continuation bytes, so a
  // longer run is malformed input and is cut at the limit.
  std::size_t n = nMaxBytes;
  int steps = 0;
  while (n > 0 && steps < 3 && IsContinuation(static_cast<unsigned char>(szText[n]))) {
    --n;
    ++steps;
  }
  if (IsContinuation(static_cast<unsigned char>(szText[n]))) return nMaxBytes;
  return n;
}

std::size_t CopyUtf8Cut(char* pDest, const char* szText, std::size_t nMaxBytes) {
  if (pDest == nullptr) return 0;
  if (szText == nullptr) {
    pDest[0] = '\0';
    return 0;
  }
  const std::size_t len = ::strnlen(szText, nMaxBytes + 1);
  const std::size_t n = Utf8CutLength(szText, len, nMaxBytes);
  std::memmove(pDest, szText, n);
  pDest[n] = '\0';
  return n;
}

std::string Utf8Cut(const char* szText, std::size_t nMaxBytes) {
  if (szText == nullptr) return std::string();
  const std::size_t len = ::strnlen(szText, nMaxBytes + 1);
  return std::string(szText, Utf8CutLength(szText, len, nMaxBytes));
}

void SetCutName(std::string* pName, const char* szName, std::size_t nMaxBytes, const char* szMethod) {
  if (szName == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "szName为NULL");
    return;
  }
  if (*pName == szName) return;
  *pName = Utf8Cut(szName, nMaxBytes);
}

}  // namespace md::layout
