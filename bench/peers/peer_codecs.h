// The codecs the decode-speed comparison runs: our three coding paths and
// the peers, each able to code a picture once and decode it many times.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexo_encoder.h"

namespace vexo::bench {

// A picture as every codec receives it: the 5-6-5 pixels and the same
// pixels expanded to 8-bit RGB with zero low bits.
struct BenchPicture {
  std::string name;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint16_t> rgb565;
  RgbPicture rgb;
};

class DecodeCase {
 public:
  virtual ~DecodeCase() = default;
  // Decodes the coded picture once into a buffer the case owns; false on
  // failure.
  virtual bool Decode() = 0;
  virtual size_t CodedBytes() const = 0;
};

struct Codec {
  std::string name;
  // The picture coded once, ready to decode; nullptr when this codec cannot
  // code it.
  std::unique_ptr<DecodeCase> (*prepare)(const BenchPicture& picture);
};

const std::vector<Codec>& AllCodecs();

}  // namespace vexo::bench
