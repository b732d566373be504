// Text in the character set a Windows font names (the charset byte of a
// metafile's font), as UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace md::imaging::detail {

// The charset byte of a symbol font: its bytes are the font's own glyph
// codes, not characters of a code page.
constexpr unsigned kSymbolCharset = 2;

// The bytes as UTF-8, read in the code page of `charset`: GBK for 134, Big5
// for 136, Shift-JIS for 128, the Korean ones for 129 and 130, the Windows
// code pages of the Greek, Turkish, Vietnamese, Hebrew, Arabic, Baltic,
// Cyrillic, Thai and Central European sets, the Mac Roman set for 77, the
// OEM code page 437 for 255 and Windows-1252 for ANSI, DEFAULT and any
// other. A symbol font's bytes stay the codes U+0000 to U+00FF. A byte that
// does not decode becomes U+FFFD and reading goes on after it.
std::string CharsetToUtf8(const char* bytes, std::size_t size, unsigned charset);

}  // namespace md::imaging::detail
