// Our coding paths, and the viewer's conversion, as decode cases.
#include <span>

#include "peer_codecs.h"
#include "pixel_conversion.h"
#include "vexo_decoder.h"

namespace vexo::bench {
namespace {

class VexoCase : public DecodeCase {
 public:
  VexoCase(const BenchPicture& picture, const EncodeOptions& options)
      : family_(options.family),
        file_(EncodeVexo(picture.rgb, options).value()),
        image_(picture.rgb565.size()) {}
  // Through a context kept across iterations, as a program decoding one
  // picture after another would (and as the peers reuse their handles).
  bool Decode() override {
    return context_.Decode(family_, file_, image_).status == VexoStatus::kOk;
  }
  size_t CodedBytes() const override { return file_.size(); }

 private:
  VexoFamily family_;
  std::vector<uint8_t> file_;
  std::vector<uint16_t> image_;
  VexoDecodeContext context_;
};

// 5-6-5 to the bottom-up 24-bit picture the viewer paints and saves.
class ConversionCase : public DecodeCase {
 public:
  explicit ConversionCase(const BenchPicture& picture)
      : picture_(picture),
        bitmap_(vexo::BitmapRowBytes(picture.width) * static_cast<size_t>(picture.height)) {}
  bool Decode() override {
    vexo::Rgb565ToBitmap24(picture_.rgb565, picture_.width, picture_.height, bitmap_);
    return true;
  }
  size_t CodedBytes() const override { return picture_.rgb565.size() * 2; }

 private:
  const BenchPicture& picture_;
  std::vector<uint8_t> bitmap_;
};

template <VexoPath path, VexoFamily family, int quality>
std::unique_ptr<DecodeCase> PrepareVexo(const BenchPicture& picture) {
  const EncodeOptions options{path, family, quality};
  if (!CheckEncodeOptions(picture.rgb, options)) return nullptr;
  return std::make_unique<VexoCase>(picture, options);
}

std::unique_ptr<DecodeCase> PrepareConversion(const BenchPicture& picture) {
  return std::make_unique<ConversionCase>(picture);
}

}  // namespace

std::vector<Codec> VexoCodecs() {
  return {
      {"vexo predictive q0", PrepareVexo<VexoPath::kPredictive, VexoFamily::k101, 0>},
      {"vexo fast q0", PrepareVexo<VexoPath::kFast, VexoFamily::k201, 0>},
      {"vexo transform q24", PrepareVexo<VexoPath::kTransform, VexoFamily::k101, 24>},
      {"565 to Bitmap24", PrepareConversion},
  };
}

}  // namespace vexo::bench
