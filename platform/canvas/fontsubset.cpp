// Cutting a face down with HarfBuzz's subsetter and opening the result with
// FreeType for cairo.
#include "platform/canvas/fontsubset.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-subset.h>

#include <mutex>

namespace md::canvas::detail {
namespace {

// The FreeType library of the cut faces. FreeType wants the opening and
// closing of faces of one library serialised; cairo may close a face on any
// thread.
struct Library {
  std::mutex mutex;
  FT_Library library = nullptr;
  Library() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
};

Library& Lib() {
  // Never destroyed: cairo may drop its last face after static destructors ran.
  static Library* lib = new Library;
  return *lib;
}

// What a cut face needs kept until cairo lets go of it.
struct Holder {
  FT_Face face = nullptr;
  hb_blob_t* data = nullptr;
};

void Release(void* p) {
  auto* h = static_cast<Holder*>(p);
  {
    std::lock_guard lock(Lib().mutex);
    if (h->face != nullptr) FT_Done_Face(h->face);
  }
  hb_blob_destroy(h->data);
  delete h;
}

const cairo_user_data_key_t kHolderKey{};

// The face cut down to the glyphs, as a font file, with the glyphs' new
// indices; nullptr when it cannot be cut.
hb_blob_t* Cut(const text::FaceSource& src, const std::set<std::uint32_t>& glyphs,
               std::unordered_map<std::uint32_t, std::uint32_t>* index) {
  hb_blob_t* file = hb_blob_create_from_file_or_fail(src.file.c_str());
  if (file == nullptr) return nullptr;
  const unsigned faces = hb_face_count(file);
  hb_face_t* face = src.index >= 0 && static_cast<unsigned>(src.index) < faces
                        ? hb_face_create(file, static_cast<unsigned>(src.index))
                        : nullptr;
  hb_blob_destroy(file);
  if (face == nullptr) return nullptr;
  hb_blob_t* out = nullptr;
  const unsigned count = hb_face_get_glyph_count(face);
  hb_subset_input_t* input = count > 0 ? hb_subset_input_create_or_fail() : nullptr;
  hb_subset_plan_t* plan = nullptr;
  if (input != nullptr) {
    hb_set_t* keep = hb_subset_input_glyph_set(input);
    hb_set_add(keep, 0);
    for (std::uint32_t g : glyphs)
      if (g < count) hb_set_add(keep, g);
    // The PDF writer asks for the outlines by index; layout tables would only
    // pull in more glyphs.
    hb_set_t* drop = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (hb_tag_t tag : {HB_TAG('G', 'S', 'U', 'B'), HB_TAG('G', 'P', 'O', 'S'), HB_TAG('G', 'D', 'E', 'F'),
                         HB_TAG('B', 'A', 'S', 'E'), HB_TAG('J', 'S', 'T', 'F'), HB_TAG('M', 'A', 'T', 'H')})
      hb_set_add(drop, tag);
    plan = hb_subset_plan_create_or_fail(face, input);
    hb_subset_input_destroy(input);
  }
  if (plan != nullptr) {
    const hb_map_t* renumbered = hb_subset_plan_old_to_new_glyph_mapping(plan);
    bool complete = true;
    index->clear();
    for (std::uint32_t g : glyphs) {
      const hb_codepoint_t n = g < count ? hb_map_get(renumbered, g) : HB_MAP_VALUE_INVALID;
      if (n == HB_MAP_VALUE_INVALID) {
        complete = false;
        break;
      }
      (*index)[g] = n;
    }
    if (hb_face_t* cut = complete ? hb_subset_plan_execute_or_fail(plan) : nullptr) {
      out = hb_face_reference_blob(cut);
      hb_face_destroy(cut);
    }
    hb_subset_plan_destroy(plan);
  }
  hb_face_destroy(face);
  if (out != nullptr && hb_blob_get_length(out) == 0) {
    hb_blob_destroy(out);
    out = nullptr;
  }
  return out;
}

}  // namespace

bool SubsetFace(const text::FaceSource& src, const std::set<std::uint32_t>& glyphs, FaceSubset* out) {
  if (src.file.empty() || out == nullptr) return false;
  std::unordered_map<std::uint32_t, std::uint32_t> index;
  hb_blob_t* data = Cut(src, glyphs, &index);
  if (data == nullptr) return false;
  auto* holder = new Holder;
  holder->data = data;
  unsigned length = 0;
  const char* bytes = hb_blob_get_data(data, &length);
  {
    std::lock_guard lock(Lib().mutex);
    if (Lib().library == nullptr || FT_New_Memory_Face(Lib().library, reinterpret_cast<const FT_Byte*>(bytes),
                                                       static_cast<FT_Long>(length), 0, &holder->face) != 0)
      holder->face = nullptr;
  }
  if (holder->face == nullptr) {
    Release(holder);
    return false;
  }
  cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(holder->face, 0);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(face, &kHolderKey, holder, Release) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face);
    Release(holder);
    return false;
  }
  if (src.syntheticBold) cairo_ft_font_face_set_synthesize(face, CAIRO_FT_SYNTHESIZE_BOLD);
  out->face = face;
  out->index = std::move(index);
  return true;
}

}  // namespace md::canvas::detail
