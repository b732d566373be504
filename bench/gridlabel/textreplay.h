// The texts of one recorded drawing shown again straight with cairo: the
// baseline the label benchmarks compare their drawing with (the same texts
// at the same places, in the same face, size and turn).
#pragma once

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"

namespace md::bench {

// The texts of one recorded drawing, each with what cairo needs made beforehand.
class TextReplay {
 public:
  explicit TextReplay(const md::canvas::RecordingCanvas& recording) {
    for (const md::canvas::Record* r : recording.recordsOf(md::canvas::Record::Type::Text)) {
      texts_.push_back({r->text.text, r->text.origin.x, r->text.origin.y, r->text.angle,
                        r->text.font.emHeight, FaceOf(r->text.font)});
    }
  }
  ~TextReplay() {
    for (cairo_font_face_t* f : faces_) cairo_font_face_destroy(f);
  }
  TextReplay(const TextReplay&) = delete;
  TextReplay& operator=(const TextReplay&) = delete;

  std::size_t size() const { return texts_.size(); }
  void Draw(cairo_t* cr) const {
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const Text& t : texts_) {
      cairo_save(cr);
      cairo_translate(cr, t.x, t.y);
      cairo_rotate(cr, -t.angle * M_PI / 180.0);
      cairo_set_font_face(cr, t.face);
      cairo_set_font_size(cr, t.em);
      cairo_move_to(cr, 0, 0);
      cairo_show_text(cr, t.text.c_str());
      cairo_restore(cr);
    }
  }

 private:
  struct Text {
    std::string text;
    double x, y, angle, em;
    cairo_font_face_t* face;
  };
  // The face file the text engine chose for the run's font.
  cairo_font_face_t* FaceOf(const md::canvas::Font& font) {
    md::text::FontRequest req;
    req.face = font.face;
    req.height = -font.emHeight;
    const md::text::FontPtr matched = md::text::FreeTypeEngine().Match(req);
    const md::text::FaceSource* src = matched->Face(0);
    FcPattern* pat = FcPatternCreate();
    if (src != nullptr) {
      FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src->file.c_str()));
      FcPatternAddInteger(pat, FC_INDEX, src->index);
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
    FcPatternDestroy(pat);
    faces_.push_back(face);
    return face;
  }
  std::vector<Text> texts_;
  std::vector<cairo_font_face_t*> faces_;
};

}  // namespace md::bench
