// The classic per-family entries of the decoder library: a version query and
// a decode entry per codec family, which return -1 on failure and keep the
// failure's code in the family's last error. They run the same decode as
// VexoDecode (vexo_decoder.h), which new code should call instead.
#pragma once

#include <cstddef>
#include <cstdint>

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
// (0 until its first failure); a later success does not reset it. Like errno,
// one pair per thread.
int32_t Vexo101LastError();
int32_t Vexo201LastError();

}  // namespace vexo
