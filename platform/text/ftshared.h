// Internal to md_text: the FreeType/fontconfig state shared by both engines.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/text/textengine.h"

namespace md::text::detail {

// The lock every FreeType call of the text layer holds.
std::mutex& FreeTypeMutex();

// The face the fixed-metrics engine draws with: a monospaced CJK face (the
// default face when none is installed); nullptr when there is no font at all.
const FaceSource* MonospacedCjkFace();

// Glyph index of a character in a face (0 when missing or the face cannot be
// loaded) and its advance in em units (advance / em). Caller holds FreeTypeMutex().
bool LookupGlyphLocked(const FaceSource& face, char32_t ch, std::uint32_t& index, double& advanceInEm);

}  // namespace md::text::detail
