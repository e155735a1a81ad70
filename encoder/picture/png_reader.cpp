#include <spng.h>

#include <memory>
#include <vector>

#include "picture_reader.h"

namespace vexo {

namespace {

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

Error Problem(const std::string& path, int error) {
  const bool tooLarge = error == SPNG_EUSER_WIDTH || error == SPNG_EUSER_HEIGHT;
  return {tooLarge ? ErrorCode::kTooLarge : ErrorCode::kDamaged,
          path + ": not a readable PNG picture (" + spng_strerror(error) + ")"};
}

}  // namespace

namespace {

// Each colour mixed with the background as its alpha says: opaque pixels
// keep their colour exactly.
void CompositeOver(const std::vector<uint8_t>& rgba, const Rgb& background,
                   std::vector<uint8_t>& rgb) {
  rgb.resize(rgba.size() / 4 * 3);
  for (size_t pixel = 0; pixel < rgba.size() / 4; ++pixel) {
    const unsigned alpha = rgba[4 * pixel + 3];
    for (size_t c = 0; c < 3; ++c) {
      const unsigned mixed = rgba[4 * pixel + c] * alpha + background[c] * (255 - alpha);
      rgb[3 * pixel + c] = static_cast<uint8_t>((mixed + 127) / 255);
    }
  }
}

}  // namespace

Result<RgbPicture> DecodePng(std::span<const uint8_t> bytes, const std::string& name,
                             const Rgb& background) {
  std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(0));
  if (!context)
    return Error{ErrorCode::kOutOfMemory, name + ": not enough memory to read the picture"};
  // Refuse pictures far larger than a VEXO file can hold before decoding.
  spng_set_image_limits(context.get(), kVexoLargestSide + 1, kVexoLargestSide + 1);
  spng_set_png_buffer(context.get(), bytes.data(), bytes.size());

  spng_ihdr header{};
  if (const int error = spng_get_ihdr(context.get(), &header)) return Problem(name, error);
  size_t size = 0;
  if (const int error = spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &size)) {
    return Problem(name, error);
  }
  RgbPicture picture;
  picture.width = static_cast<int32_t>(header.width);
  picture.height = static_cast<int32_t>(header.height);
  picture.from24BitSource =
      header.bit_depth >= 8 && (header.color_type == SPNG_COLOR_TYPE_TRUECOLOR ||
                                header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA);
  // Transparency, from an alpha channel or a tRNS chunk, is composited over
  // the background rather than dropped.
  std::vector<uint8_t> rgba(size);
  if (const int error =
          spng_decode_image(context.get(), rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS)) {
    return Problem(name, error);
  }
  CompositeOver(rgba, background, picture.rgb);
  return picture;
}

}  // namespace vexo
