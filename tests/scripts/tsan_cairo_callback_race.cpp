// A data race of this program's own with cairo on its stack: a count written
// by a cairo PDF stream callback on the main thread and by plain code on a
// second thread, without a lock. Run under ThreadSanitizer with the thread
// tests' suppressions (scripts/tsan.supp), the sanitizer must report it: a
// suppression that matched every report with cairo anywhere on a stack would
// hide races in code cairo calls back.
#include <cairo-pdf.h>
#include <cairo.h>

#include <thread>

namespace {

unsigned long g_count = 0;  // written on both threads, unlocked on purpose

cairo_status_t CountPdfBytes(void*, const unsigned char*, unsigned int length) {
  g_count += length;
  return CAIRO_STATUS_SUCCESS;
}

void CountByHand() { g_count += 1; }

}  // namespace

int main() {
  std::thread other(CountByHand);
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(CountPdfBytes, nullptr, 100, 100);
  cairo_t* cr = cairo_create(pdf);
  cairo_rectangle(cr, 10, 10, 50, 50);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  const bool written = cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf);
  other.join();
  return written ? 0 : 1;
}
