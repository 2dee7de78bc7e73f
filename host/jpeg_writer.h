// JPEG files written by libjpeg for tests, benches and the demo's pictures: rows are asked for
// one at a time, so a picture far larger than memory can be written without being held whole.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vela::host {

enum class JpegSamples {
  kGrey,  // one byte per pixel
  kRgb,   // R, G, B
  kCmyk,  // C, M, Y, K
  kBgrx,  // A8R8G8B8 words: B, G, R and an unused byte
};

struct JpegSettings {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  JpegSamples samples = JpegSamples::kRgb;
  int quality = 75;
  bool fullChroma = false;  // no chroma subsampling: a round trip stays close
};

// Fills `row` with row `y`'s samples: width times the bytes per pixel of the settings' samples.
using JpegRowFiller = std::function<void(std::uint32_t y, std::uint8_t* row)>;

// The whole file; empty when libjpeg refuses the settings.
std::vector<std::uint8_t> WriteJpeg(const JpegSettings& settings, const JpegRowFiller& fillRow);

}  // namespace vela::host
