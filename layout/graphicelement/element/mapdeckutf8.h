// Cutting UTF-8 texts to a byte limit without splitting a character.
#pragma once

#include <cstddef>
#include <string>

namespace md::layout {

// The number of leading bytes of a text of nLength bytes that form whole
// characters and do not exceed nMaxBytes.
std::size_t Utf8CutLength(const char* szText, std::size_t nLength, std::size_t nMaxBytes);

// Copies at most nMaxBytes bytes of the UTF-8 text into a buffer of at least
// nMaxBytes + 1 bytes, cut at a character boundary, and terminates it. A NULL
// text gives the empty string. Returns the number of bytes copied.
std::size_t CopyUtf8Cut(char* pDest, const char* szText, std::size_t nMaxBytes);

// The text cut to at most nMaxBytes bytes at a character boundary; NULL
// gives the empty text.
std::string Utf8Cut(const char* szText, std::size_t nMaxBytes);

// The name setters' rule: NULL is refused with the level-3 record
// "szName为NULL" under szMethod; a text equal to the name changes nothing;
// another becomes the name, cut to nMaxBytes at a character boundary.
void SetCutName(std::string* pName, const char* szName, std::size_t nMaxBytes, const char* szMethod);

}  // namespace md::layout
