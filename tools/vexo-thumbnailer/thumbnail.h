// Thumbnails of VEXO pictures as the desktop's thumbnail conventions ask:
// the longest side at most the requested size, the aspect ratio kept, never
// enlarged, written as PNG so that the file appears whole or not at all.
#pragma once

#include <cstdint>
#include <string>

namespace vexo::thumbnailer {

struct PictureSize {
  int32_t width;
  int32_t height;
  bool operator==(const PictureSize&) const = default;
};

// The thumbnail's size for a picture: unchanged when its longest side is at
// most `size`, otherwise scaled so that the longest side is `size` and the
// other is rounded to nearest, at least 1.
PictureSize ThumbnailSize(PictureSize picture, int32_t size);

// Decodes `input` and writes its thumbnail to `output`. Returns an empty
// string on success, otherwise a message naming the file and the reason.
std::string WriteThumbnail(const std::string& input, const std::string& output, int32_t size);

}  // namespace vexo::thumbnailer
