#include "transform/plane_packing.h"

#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace vexo {
namespace {

#if defined(__x86_64__)

// Sixteen pixels at a time with SSE2, the x86-64 baseline: each colour's
// kept bits are put in place within the 16-bit lanes by the unpacking itself
// or by one shift.
void PackSixteen(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i r = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(red)),
                                  _mm_set1_epi8(static_cast<char>(0xF8)));
  const __m128i g = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(green)),
                                  _mm_set1_epi8(static_cast<char>(0xFC)));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue));
  const auto pack = [](__m128i redHigh, __m128i green16, __m128i blue16) {
    return _mm_or_si128(_mm_or_si128(redHigh, _mm_slli_epi16(green16, 3)),
                        _mm_srli_epi16(blue16, 3));
  };
  const __m128i low =
      pack(_mm_unpacklo_epi8(zero, r), _mm_unpacklo_epi8(g, zero), _mm_unpacklo_epi8(b, zero));
  const __m128i high =
      pack(_mm_unpackhi_epi8(zero, r), _mm_unpackhi_epi8(g, zero), _mm_unpackhi_epi8(b, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), high);
}

void PackRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* out,
             int32_t width) {
  constexpr int32_t kRun = 16;
  int32_t x = 0;
  for (; x + kRun <= width; x += kRun) PackSixteen(red + x, green + x, blue + x, out + x);
  for (; x < width; ++x) out[x] = Pack565(red[x], green[x], blue[x]);
}

#else

// Eight pixels at a time in the compiler's generic vectors, then the rest of
// the row.
using Samples8 = uint8_t __attribute__((vector_size(8)));
using Pixels8 = uint16_t __attribute__((vector_size(16)));

Pixels8 Widen(const uint8_t* samples) {
  Samples8 narrow;
  std::memcpy(&narrow, samples, sizeof narrow);
  return __builtin_convertvector(narrow, Pixels8);
}

void PackRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* out,
             int32_t width) {
  constexpr int32_t kRun = 8;
  int32_t x = 0;
  for (; x + kRun <= width; x += kRun) {
    const Pixels8 pixels =
        (Widen(red + x) >> 3) << 11 | (Widen(green + x) >> 2) << 5 | Widen(blue + x) >> 3;
    std::memcpy(out + x, &pixels, sizeof pixels);
  }
  for (; x < width; ++x) out[x] = Pack565(red[x], green[x], blue[x]);
}

#endif

}  // namespace

void PackPlanes565(const WorkingPlanes& planes, int32_t width, int32_t height, uint16_t* image,
                   ptrdiff_t stride) {
  for (int32_t y = 0; y < height; ++y) {
    const size_t source = static_cast<size_t>(y) * planes.paddedWidth;
    PackRow(planes.plane[0] + source, planes.plane[1] + source, planes.plane[2] + source,
            image + static_cast<size_t>(y) * static_cast<size_t>(stride), width);
  }
}

}  // namespace vexo
