// A fast PNG writer for 24-bit pixels (0x00RRGGBB in native 32-bit words, as
// cairo's RGB24 surfaces and the canvases' readPixels hold them), encoded by
// pngencode.h on several threads. The file replaces the target the way every
// file is replaced (platform/files/filestore.h): written beside it and
// renamed over it, keeping its permission bits and a symbolic link to it, so
// a failed write leaves an existing file untouched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas/pngencode.h"

namespace md::canvas {

// Writes the rows as an 8-bit RGB PNG stating their resolution (rows.dpi);
// false (and no file made or changed) on a bad size or resolution, a missing
// row, a read-only target or an I/O failure, with *pError, when given,
// saying why (the system's reason for a file that could not be written).
bool WritePngFile(const std::string& path, const PngRows& rows, std::string* pError = nullptr);

// Rows held in one block, `strideBytes` apart (rows bottom-up when bottomUp),
// at `dpi`.
bool WritePngFile(const std::string& path, const void* pixels, int width, int height,
                  std::ptrdiff_t strideBytes, bool bottomUp = false, std::string* pError = nullptr,
                  double dpi = kScreenDpi);

// A file of width x height pixels at `dpi` from stripes compressed apart
// (EmitPngStripes); false as above, with *pError, when given, saying why.
bool WritePngFile(const std::string& path, int width, int height, const std::vector<PngStripe>& stripes,
                  double dpi = kScreenDpi, std::string* pError = nullptr);

}  // namespace md::canvas
