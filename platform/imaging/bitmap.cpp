// Numbers of bitmaps' pixels.
#include "platform/imaging/bitmap.h"

#include <atomic>

namespace md::imaging {
namespace {
std::atomic<std::uint64_t> g_next{1};
std::atomic<detail::PictureEndHook> g_endHook{nullptr};

void Ended(std::uint64_t id) {
  if (const detail::PictureEndHook hook = g_endHook.load()) hook(id);
}
}  // namespace

std::uint64_t PictureId::Next() { return g_next.fetch_add(1, std::memory_order_relaxed); }

PictureId& PictureId::operator=(const PictureId& other) {
  if (this != &other) {
    Ended(value_);
    value_ = Next();
  }
  return *this;
}

PictureId::~PictureId() { Ended(value_); }

void detail::SetPictureEndHook(PictureEndHook hook) { g_endHook.store(hook); }

}  // namespace md::imaging
