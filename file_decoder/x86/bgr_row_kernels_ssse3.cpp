// The 16-byte form of the row kernel: 16 pixels per step.
#include <immintrin.h>

#include "bgr_row_kernels_x86.h"
#include "bgr_row_shuffles.h"

namespace vexo {
namespace {

using bgr_detail::kInterleaveControls;

#define VEXO_SSSE3 __attribute__((target("ssse3")))

VEXO_SSSE3 inline __m128i Control(const std::array<int8_t, 16>& bytes) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data()));
}

VEXO_SSSE3 inline __m128i Chunk(int chunk, __m128i blue, __m128i green, __m128i red) {
  const auto& c = kInterleaveControls[chunk];
  return _mm_or_si128(
      _mm_or_si128(_mm_shuffle_epi8(blue, Control(c[0])), _mm_shuffle_epi8(green, Control(c[1]))),
      _mm_shuffle_epi8(red, Control(c[2])));
}

}  // namespace

VEXO_SSSE3 void Rgb565RowToBgrSsse3(const uint16_t* pixels, size_t count, uint8_t* bgr) {
  const __m128i blueMask = _mm_set1_epi16(0xF8);
  const __m128i greenMask = _mm_set1_epi16(0xFC);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i + 8));
    const __m128i blue = _mm_packus_epi16(_mm_and_si128(_mm_slli_epi16(low, 3), blueMask),
                                          _mm_and_si128(_mm_slli_epi16(high, 3), blueMask));
    const __m128i green = _mm_packus_epi16(_mm_and_si128(_mm_srli_epi16(low, 3), greenMask),
                                           _mm_and_si128(_mm_srli_epi16(high, 3), greenMask));
    const __m128i red = _mm_packus_epi16(_mm_and_si128(_mm_srli_epi16(low, 8), blueMask),
                                         _mm_and_si128(_mm_srli_epi16(high, 8), blueMask));
    uint8_t* out = bgr + 3 * i;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Chunk(0, blue, green, red));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), Chunk(1, blue, green, red));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), Chunk(2, blue, green, red));
  }
  Rgb565RowToBgrPlain(pixels + i, count - i, bgr + 3 * i);
}

}  // namespace vexo
