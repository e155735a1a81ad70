// The 32-byte form of the row kernel: 32 pixels per step, each 16-byte lane
// doing what the 16-byte form does for 16 of them.
#include <immintrin.h>

#include "bgr_row_kernels_x86.h"
#include "bgr_row_shuffles.h"

namespace vexo {
namespace {

using bgr_detail::kInterleaveControls;

#define VEXO_AVX2 __attribute__((target("avx2")))

// The same 16-byte control in both lanes.
VEXO_AVX2 inline __m256i Control(int chunk, int plane) {
  return _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kInterleaveControls[chunk][plane].data())));
}

VEXO_AVX2 inline __m256i Chunk(int chunk, __m256i blue, __m256i green, __m256i red) {
  return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(blue, Control(chunk, 0)),
                                         _mm256_shuffle_epi8(green, Control(chunk, 1))),
                         _mm256_shuffle_epi8(red, Control(chunk, 2)));
}

// Packs two vectors of 16-bit values below 256 into bytes in pixel order:
// the pack works per lane, so its quarters come out as 0, 2, 1, 3.
VEXO_AVX2 inline __m256i PackInOrder(__m256i low, __m256i high) {
  return _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
}

}  // namespace

VEXO_AVX2 void Rgb565RowToBgrAvx2(const uint16_t* pixels, size_t count, uint8_t* bgr) {
  const __m256i blueMask = _mm256_set1_epi16(0xF8);
  const __m256i greenMask = _mm256_set1_epi16(0xFC);
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels + i + 16));
    // Lane 0 holds pixels 0 to 15, lane 1 pixels 16 to 31.
    const __m256i blue = PackInOrder(_mm256_and_si256(_mm256_slli_epi16(low, 3), blueMask),
                                     _mm256_and_si256(_mm256_slli_epi16(high, 3), blueMask));
    const __m256i green = PackInOrder(_mm256_and_si256(_mm256_srli_epi16(low, 3), greenMask),
                                      _mm256_and_si256(_mm256_srli_epi16(high, 3), greenMask));
    const __m256i red = PackInOrder(_mm256_and_si256(_mm256_srli_epi16(low, 8), blueMask),
                                    _mm256_and_si256(_mm256_srli_epi16(high, 8), blueMask));
    const __m256i chunk0 = Chunk(0, blue, green, red);
    const __m256i chunk1 = Chunk(1, blue, green, red);
    const __m256i chunk2 = Chunk(2, blue, green, red);
    uint8_t* out = bgr + 3 * i;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_permute2x128_si256(chunk0, chunk1, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32),
                        _mm256_permute2x128_si256(chunk2, chunk0, 0x30));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 64),
                        _mm256_permute2x128_si256(chunk1, chunk2, 0x31));
  }
  Rgb565RowToBgrSsse3(pixels + i, count - i, bgr + 3 * i);
}

}  // namespace vexo
