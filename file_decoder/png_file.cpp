#include "png_file.h"

#include <spng.h>

#include <cstdlib>
#include <memory>

namespace vexo {
namespace {

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

Error Problem(int error) {
  return {ErrorCode::kWriteFailed,
          std::string("cannot make the PNG picture: ") + spng_strerror(error)};
}

}  // namespace

Result<std::vector<uint8_t>> EncodePng(int32_t width, int32_t height,
                                       std::span<const uint8_t> rgb) {
  if (width < 1 || height < 1 ||
      rgb.size() != 3 * static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return Error{ErrorCode::kInvalidRequest,
                 "cannot make the PNG picture: the pixels do not match its size"};
  }
  std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!context) {
    return Error{ErrorCode::kOutOfMemory, "cannot make the PNG picture: not enough memory"};
  }
  spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr header{};
  header.width = static_cast<uint32_t>(width);
  header.height = static_cast<uint32_t>(height);
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  if (const int error = spng_set_ihdr(context.get(), &header)) return Problem(error);
  if (const int error = spng_encode_image(context.get(), rgb.data(), rgb.size(), SPNG_FMT_PNG,
                                          SPNG_ENCODE_FINALIZE)) {
    return Problem(error);
  }
  size_t size = 0;
  int error = 0;
  // The buffer belongs to the caller once taken, and is released with free().
  std::unique_ptr<void, decltype(&std::free)> buffer(
      spng_get_png_buffer(context.get(), &size, &error), &std::free);
  if (!buffer) return Problem(error);
  const auto* bytes = static_cast<const uint8_t*>(buffer.get());
  return std::vector<uint8_t>(bytes, bytes + size);
}

}  // namespace vexo
