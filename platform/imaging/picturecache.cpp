// The capacity of the pictures' cache, as hosts set it.
#include "platform/imaging/picturecache.h"

#include "platform/imaging/loader.h"

namespace md::imaging {

std::size_t PictureCacheCapacity() { return ImageCache::Shared().Capacity(); }

std::size_t SetPictureCacheCapacity(std::size_t bytes) { return ImageCache::Shared().SetCapacity(bytes); }

}  // namespace md::imaging
