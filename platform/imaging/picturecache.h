// The memory the pictures of this process keep between drawings: the decoded
// pictures (pixels, a metafile's drawing, a refusal's reason), what is known
// of each picture file read (its stamp and content digest), the pictures'
// resamplings for the device rectangles they were drawn onto (at most an
// eighth of the whole), and the pixels the metafiles' helper painted for the
// device boxes they were drawn into on rasters (each at most an eighth). One capacity bounds all of it;
// past it the least recently drawn leave, and a picture that left is read
// and decoded again when it is next drawn. The default is 512 MiB. Pictures the pages
// hold themselves (their embedded objects' presentations) are not counted.
#pragma once

#include <cstddef>

namespace md::imaging {

// The capacity in bytes, and a change of it, which lets the least recently
// drawn go at once; SetPictureCacheCapacity answers the capacity it replaced.
// Either may be called on any thread at any time, also while other threads
// draw: a picture being drawn when it leaves is drawn whole. At 0 nothing is
// kept, and each picture is read and decoded again at each drawing.
std::size_t PictureCacheCapacity();
std::size_t SetPictureCacheCapacity(std::size_t bytes);

}  // namespace md::imaging
