// Cutting UTF-8 texts to a byte limit without splitting a character.
#pragma once

#include <cstddef>

namespace md::layout {

// The number of leading bytes of a text of nLength bytes that form whole
// characters and do not exceed nMaxBytes.
std::size_t Utf8CutLength(const char* szText, std::size_t nLength, std::size_t nMaxBytes);

// Copies at most nMaxBytes bytes of the UTF-8 text into a buffer of at least
// nMaxBytes + 1 bytes, cut at a character boundary, and terminates it. A NULL
// text gives the empty string. Returns the number of bytes copied.
std::size_t CopyUtf8Cut(char* pDest, const char* szText, std::size_t nMaxBytes);

}  // namespace md::layout
