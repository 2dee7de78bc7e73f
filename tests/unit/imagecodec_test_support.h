// Helpers for the image codec tests: images as plain pixel vectors, files made with our savers
// or libjpeg, and decoding through the public entry points.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "host/jpeg_writer.h"
#include "imagecodec/imagecodec.h"

namespace vela::codec::testing {

struct Pixels {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> argb;  // A8R8G8B8, rows packed

  std::uint32_t& at(std::uint32_t x, std::uint32_t y) { return argb[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
  ConstSurfaceView View() const {
    return ConstSurfaceView(PixelFormat::kA8R8G8B8, width, height, static_cast<std::ptrdiff_t>(width) * 4,
                            reinterpret_cast<const std::uint8_t*>(argb.data()));
  }
};

inline Pixels MakePixels(std::uint32_t width, std::uint32_t height,
                         const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour) {
  Pixels p{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) p.at(x, y) = colour(x, y);
  }
  return p;
}

// A smooth, saturated test picture with an alpha ramp.
inline Pixels Gradient(std::uint32_t width, std::uint32_t height, bool withAlpha = true) {
  return MakePixels(width, height, [&](std::uint32_t x, std::uint32_t y) {
    const std::uint32_t r = x * 255 / (width > 1 ? width - 1 : 1);
    const std::uint32_t g = y * 255 / (height > 1 ? height - 1 : 1);
    const std::uint32_t b = (x + y) * 255 / (width + height > 2 ? width + height - 2 : 1);
    const std::uint32_t a = withAlpha ? 255 - (x * 7 + y * 3) % 256 : 255;
    return a << 24 | r << 16 | g << 8 | b;
  });
}

inline std::vector<std::uint8_t> Save(FileFormat format, const Pixels& pixels) {
  std::vector<std::uint8_t> file;
  EXPECT_EQ(SaveToMemory(format, pixels.View(), file), Result::kOk);
  return file;
}

// The header's result for `file`, and what it reads into `info` when one is given.
inline Result ReadInfo(const std::vector<std::uint8_t>& file, ImageInfo* info = nullptr) {
  ImageInfo ignored;
  return GetImageInfoFromMemory(file.data(), file.size(), info ? *info : ignored);
}

inline ImageInfo InfoOf(const std::vector<std::uint8_t>& file) {
  ImageInfo info;
  EXPECT_EQ(ReadInfo(file, &info), Result::kOk);
  return info;
}

// Decodes `file` through LoadSurfaceFromMemory into an A8R8G8B8 surface of the given size.
inline Result Load(const std::vector<std::uint8_t>& file, std::uint32_t width, std::uint32_t height, Pixels& out,
                   std::uint32_t colorKey = 0) {
  out = Pixels{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, 0xDEADBEEF)};
  SurfaceView surface{PixelFormat::kA8R8G8B8, width, height, static_cast<std::ptrdiff_t>(width) * 4,
                      reinterpret_cast<std::uint8_t*>(out.argb.data())};
  return LoadSurfaceFromMemory(surface, nullptr, file.data(), file.size(), colorKey);
}

// Decodes at the image's own size.
inline Result LoadNative(const std::vector<std::uint8_t>& file, Pixels& out, std::uint32_t colorKey = 0) {
  ImageInfo info;
  const Result result = ReadInfo(file, &info);
  if (result != Result::kOk) return result;
  return Load(file, info.width, info.height, out, colorKey);
}

inline int ChannelDifference(std::uint32_t a, std::uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return worst;
}

inline ::testing::AssertionResult PixelsNear(const Pixels& expected, const Pixels& actual, int tolerance) {
  if (expected.width != actual.width || expected.height != actual.height) {
    return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height << ", expected "
                                         << expected.width << "x" << expected.height;
  }
  for (std::uint32_t y = 0; y < expected.height; ++y) {
    for (std::uint32_t x = 0; x < expected.width; ++x) {
      if (ChannelDifference(expected.at(x, y), actual.at(x, y)) > tolerance) {
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                             << actual.at(x, y) << ", expected " << expected.at(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// A JPEG of interleaved samples (1 component grey, 3 RGB, 4 CMYK), without chroma subsampling
// and at quality 100 so that the round trip stays close.
inline std::vector<std::uint8_t> WriteJpeg(std::uint32_t width, std::uint32_t height, int components,
                                           const std::vector<std::uint8_t>& samples) {
  const host::JpegSamples kinds[] = {host::JpegSamples::kGrey, host::JpegSamples::kGrey, host::JpegSamples::kRgb,
                                     host::JpegSamples::kRgb, host::JpegSamples::kCmyk};
  const std::size_t rowBytes = std::size_t{width} * components;
  return host::WriteJpeg({width, height, kinds[components], 100, true}, [&](std::uint32_t y, std::uint8_t* row) {
    std::copy_n(samples.data() + y * rowBytes, rowBytes, row);
  });
}

}  // namespace vela::codec::testing
