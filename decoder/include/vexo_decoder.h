// The VEXO decoder library's C++ entries: a whole file into a picture, with
// the working memory the decode needs allocated for the caller.
//
// VexoDecode is re-entrant and free of module-level state, and returns a
// status beside the path's result. VexoDecodeContext::Decode is the same
// decode with memory kept from one picture to the next. Both run the same
// core as the C interface (vexo.h); the classic per-family entries are in
// vexo_classic.h.
//
// No entry ever reads outside the file or writes outside the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "vexo_header.h"
#include "vexo_status.h"

namespace vexo {

// Decodes a whole file as the given family's entry would: image565 must
// hold at least width x height pixels, otherwise the decode fails as
// malformed. Throws std::bad_alloc when the working memory cannot be
// allocated.
VexoDecodeResult VexoDecode(VexoFamily family, std::span<const uint8_t> file,
                            std::span<uint16_t> image565);

// A decoder that keeps its working memory (the transform path's rows)
// between pictures, so that a series of decodes allocates only when a
// picture needs more than any before it. Its decodes give exactly what
// VexoDecode gives for the same file and output, whatever was decoded before.
//
// One context per thread: Decode is not safe to call on one context from two
// threads at once; distinct contexts never share anything.
class VexoDecodeContext {
 public:
  // As VexoDecode. Throws std::bad_alloc when the memory of a larger
  // picture cannot be obtained (the context then keeps nothing).
  VexoDecodeResult Decode(VexoFamily family, std::span<const uint8_t> file,
                          std::span<uint16_t> image565);

  // Bytes kept for the next decode.
  size_t KeptBytes() const { return keptBytes_; }

 private:
  std::unique_ptr<uint8_t[]> kept_;
  size_t keptBytes_ = 0;
};

}  // namespace vexo
