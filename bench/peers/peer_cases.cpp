// The peers: QOI and lossless WebP on the same 5-6-5 data, and libjpeg-turbo
// at quality 90 with 4:4:4 sampling, each decoding to 8-bit RGB.
#include <turbojpeg.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include "peer_codecs.h"
#include "qoi_codec.h"

namespace vexo::bench {
namespace {

class QoiCase : public DecodeCase {
 public:
  explicit QoiCase(const BenchPicture& picture) : coded_(QoiEncodeRgb(picture.rgb)) {}
  bool Decode() override { return QoiDecodeRgb(coded_); }
  size_t CodedBytes() const override { return coded_.size(); }

 private:
  std::vector<uint8_t> coded_;
};

class WebpCase : public DecodeCase {
 public:
  explicit WebpCase(const BenchPicture& picture)
      : stride_(3 * picture.width), pixels_(picture.rgb.rgb.size()) {
    uint8_t* output = nullptr;
    const size_t size = WebPEncodeLosslessRGB(picture.rgb.rgb.data(), picture.width, picture.height,
                                              stride_, &output);
    coded_.assign(output, output + size);
    WebPFree(output);
  }
  bool Decode() override {
    return WebPDecodeRGBInto(coded_.data(), coded_.size(), pixels_.data(), pixels_.size(),
                             stride_) != nullptr;
  }
  size_t CodedBytes() const override { return coded_.size(); }

 private:
  int stride_;
  std::vector<uint8_t> coded_;
  std::vector<uint8_t> pixels_;
};

class JpegCase : public DecodeCase {
 public:
  explicit JpegCase(const BenchPicture& picture)
      : width_(picture.width), height_(picture.height), pixels_(picture.rgb.rgb.size()) {
    tjhandle compressor = tjInitCompress();
    unsigned char* output = nullptr;
    unsigned long size = 0;
    if (tjCompress2(compressor, picture.rgb.rgb.data(), width_, 0, height_, TJPF_RGB, &output,
                    &size, TJSAMP_444, 90, TJFLAG_ACCURATEDCT) == 0) {
      coded_.assign(output, output + size);
    }
    tjFree(output);
    tjDestroy(compressor);
    decompressor_ = tjInitDecompress();
  }
  ~JpegCase() override { tjDestroy(decompressor_); }
  bool Decode() override {
    return tjDecompress2(decompressor_, coded_.data(), coded_.size(), pixels_.data(), width_, 0,
                         height_, TJPF_RGB, 0) == 0;
  }
  size_t CodedBytes() const override { return coded_.size(); }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> coded_;
  std::vector<uint8_t> pixels_;
  tjhandle decompressor_ = nullptr;
};

template <typename Case>
std::unique_ptr<DecodeCase> Prepare(const BenchPicture& picture) {
  return std::make_unique<Case>(picture);
}

}  // namespace

std::vector<Codec> VexoCodecs();

const std::vector<Codec>& AllCodecs() {
  static const std::vector<Codec> codecs = [] {
    std::vector<Codec> all = VexoCodecs();
    all.push_back({"QOI (565 data)", Prepare<QoiCase>});
    all.push_back({"WebP lossless (565 data)", Prepare<WebpCase>});
    all.push_back({"libjpeg-turbo q90 4:4:4", Prepare<JpegCase>});
    return all;
  }();
  return codecs;
}

}  // namespace vexo::bench
