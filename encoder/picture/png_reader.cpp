#include <spng.h>

#include <cstdio>
#include <memory>

#include "picture_reader.h"

namespace {

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Problem(const std::string& path, int error) {
  return path + ": not a readable PNG picture (" + spng_strerror(error) + ")";
}

}  // namespace

PictureOrError ReadPng(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return path + ": cannot open";
  std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(0));
  if (!context) return path + ": not enough memory to read the picture";
  // Refuse pictures far larger than a VEXO file can hold before decoding.
  spng_set_image_limits(context.get(), kLargestEncodableSide + 1, kLargestEncodableSide + 1);
  spng_set_png_file(context.get(), file.get());

  spng_ihdr header{};
  if (const int error = spng_get_ihdr(context.get(), &header)) return Problem(path, error);
  size_t size = 0;
  if (const int error = spng_decoded_image_size(context.get(), SPNG_FMT_RGB8, &size)) {
    return Problem(path, error);
  }
  RgbPicture picture;
  picture.width = static_cast<int32_t>(header.width);
  picture.height = static_cast<int32_t>(header.height);
  picture.from24BitSource =
      header.bit_depth >= 8 && (header.color_type == SPNG_COLOR_TYPE_TRUECOLOR ||
                                header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA);
  picture.rgb.resize(size);
  if (const int error = spng_decode_image(context.get(), picture.rgb.data(), size, SPNG_FMT_RGB8,
                                          SPNG_DECODE_TRNS)) {
    return Problem(path, error);
  }
  return picture;
}
