// The VEXO decoder library: decode entries for both codec families.
//
// Two kinds of entry are offered:
//  - the classic per-family entries (Vexo101Decode, Vexo201Decode) that return
//    -1 on failure and keep the failure code in a module-level last error;
//  - VexoDecode, re-entrant and free of module-level state, which returns a
//    status beside the result. Every caller in this project uses it.
//    VexoDecodeContext::Decode is the same decode with memory kept from one
//    picture to the next; the one-shot entries use a context of their own.
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

// Stores the family's version number (101 or 201) at *version; returns 0.
int Vexo101GetVersion(int32_t* version);
int Vexo201GetVersion(int32_t* version);

// Decode a whole file of fileSize bytes into image565, which must hold
// width x height pixels. Returns -1 on failure (see the family's last error),
// otherwise the coding path's result. A null fileData or image565 where
// bytes or pixels are needed fails as malformed.
int32_t Vexo101Decode(const uint8_t* fileData, size_t fileSize, uint16_t* image565);
int32_t Vexo201Decode(const uint8_t* fileData, size_t fileSize, uint16_t* image565);

// The most recent failure code of each family's entry on the calling thread
// (0 until its first failure); a later success does not reset it.
int32_t Vexo101LastError();
int32_t Vexo201LastError();

// Re-entrant decode as the given family's entry would do it. image565 must
// hold at least width x height pixels, otherwise the decode fails as
// malformed.
VexoDecodeResult VexoDecode(VexoFamily family, std::span<const uint8_t> file,
                            std::span<uint16_t> image565);

// A decoder that keeps its working memory (the transform path's three colour
// planes) between pictures, so that a series of decodes allocates only when
// a picture needs more than any before it. Its decodes give exactly what
// VexoDecode gives for the same file and output, whatever was decoded before.
//
// One context per thread: Decode is not safe to call on one context from two
// threads at once; distinct contexts never share anything.
class VexoDecodeContext {
 public:
  // As VexoDecode. Fails as out of memory when the planes of a larger
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
