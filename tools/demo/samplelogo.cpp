// Painting the sample page's logo with cairo: a navy disc with a compass
// star, on a transparent ground; and the text file its linked object shows.
#include "tools/demo/samplelogo.h"

#include <cairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "platform/canvas/cairo_canvas.h"

namespace md::demo {
namespace {

void Star(cairo_t* cr, double c, double outer, double inner, int tips, double turn) {
  const double pi = 3.14159265358979;
  for (int i = 0; i < tips * 2; ++i) {
    const double a = turn + pi * i / tips;
    const double r = i % 2 == 0 ? outer : inner;
    if (i == 0) {
      cairo_move_to(cr, c + r * std::sin(a), c - r * std::cos(a));
    } else {
      cairo_line_to(cr, c + r * std::sin(a), c - r * std::cos(a));
    }
  }
  cairo_close_path(cr);
}

// Writes the whole file under a temporary name beside it, then renames it
// into place.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary);
    out << bytes;
    if (!out.flush()) return false;
  }
  if (std::rename(partial.c_str(), path.c_str()) == 0) return true;
  std::remove(partial.c_str());
  return false;
}

// Paints the logo and writes it to the path; false when it cannot be written.
bool PaintLogo(const std::string& path) {
  const double c = kLogoPixels / 2.0;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kLogoPixels, kLogoPixels);
  cairo_t* cr = cairo_create(surface);
  // Disc with a light rim.
  cairo_arc(cr, c, c, c - 4, 0, 2 * 3.14159265358979);
  cairo_pattern_t* disc = cairo_pattern_create_radial(c * 0.7, c * 0.6, 10, c, c, c);
  cairo_pattern_add_color_stop_rgb(disc, 0, 0.20, 0.38, 0.75);
  cairo_pattern_add_color_stop_rgb(disc, 1, 0.06, 0.13, 0.38);
  cairo_set_source(cr, disc);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(disc);
  cairo_set_source_rgb(cr, 0.94, 0.75, 0.12);
  cairo_set_line_width(cr, 6);
  cairo_stroke(cr);
  // Compass star: four long gold tips over four short white ones.
  Star(cr, c, c * 0.55, c * 0.12, 4, 3.14159265358979 / 4);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  Star(cr, c, c * 0.85, c * 0.16, 4, 0);
  cairo_set_source_rgb(cr, 0.94, 0.75, 0.12);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.06, 0.13, 0.38);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The north tip in red.
  cairo_move_to(cr, c, c - c * 0.85);
  cairo_line_to(cr, c + c * 0.16 * std::sin(3.14159265358979 / 4),
                c - c * 0.16 * std::cos(3.14159265358979 / 4));
  cairo_line_to(cr, c, c);
  cairo_line_to(cr, c - c * 0.16 * std::sin(3.14159265358979 / 4),
                c - c * 0.16 * std::cos(3.14159265358979 / 4));
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.80, 0.12, 0.16);
  cairo_fill(cr);
  cairo_destroy(cr);

  const std::vector<std::uint8_t> png = md::canvas::SurfacePng(surface, kLogoDpi);
  cairo_surface_destroy(surface);
  return !png.empty() && WriteWholeFile(path, std::string(png.begin(), png.end()));
}

std::mutex g_filesMutex;
std::string g_sampleFileFolder;  // guarded by g_filesMutex
// The files written, each with whether it is removed when the process ends.
struct Written {
  std::map<std::string, bool> paths;  // path -> scratch
  ~Written() {
    for (const auto& [path, remove] : paths)
      if (remove) std::remove(path.c_str());
  }
} g_written;  // guarded by g_filesMutex

// Writes the file at `path` once per process (again when it has gone);
// `scratch` files are removed when the process ends.
std::string WriteOnce(const std::string& path, bool scratch,
                      const std::function<bool(const std::string&)>& write, std::string* error) {
  std::lock_guard<std::mutex> lock(g_filesMutex);
  struct stat st {};
  if (g_written.paths.count(path) != 0 && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  if (!write(path)) {
    if (error != nullptr) *error = "cannot write " + path;
    return std::string();
  }
  g_written.paths.emplace(path, scratch);
  return path;
}

}  // namespace

std::string WriteSampleFile(const char* szName, const std::function<bool(const std::string&)>& write,
                            std::string* error) {
  std::string folder;
  {
    std::lock_guard<std::mutex> lock(g_filesMutex);
    folder = g_sampleFileFolder;
  }
  if (!folder.empty()) return WriteOnce(folder + "/sample-" + szName, false, write, error);
  return WriteOnce(
      std::string(GIS_GetTempDir()) + "/mapdeck-demo-" + std::to_string(::getpid()) + "-" + szName, true,
      write, error);
}

void SetSampleFileFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_filesMutex);
  g_sampleFileFolder = folder;
}

std::vector<std::string> SampleFilesKept() {
  std::lock_guard<std::mutex> lock(g_filesMutex);
  std::vector<std::string> kept;
  for (const auto& [path, scratch] : g_written.paths)
    if (!scratch) kept.push_back(path);
  return kept;
}

std::string WriteSampleLogo(std::string* error) { return WriteSampleFile("logo.png", &PaintLogo, error); }

std::string WriteSampleNotes(std::string* error) {
  return WriteSampleFile(
      "notes.txt",
      [](const std::string& path) {
        return WriteWholeFile(path, "链接对象 Linked object\n源文件 · source file");
      },
      error);
}

}  // namespace md::demo
