// Helpers for the image codec tests: images as plain pixel vectors, files made with our savers or
// with libpng directly, and decoding through the public entry points.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

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

constexpr std::uint32_t PackArgbForTest(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

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
  const Result result = GetImageInfoFromMemory(file.data(), file.size(), info);
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

// A PNG written by libpng from 8- or 16-bit samples (`samples` holds one value per channel per
// pixel, row by row; for palette images the indices, with `palette` as RGB triples).
struct PngRecipe {
  std::uint32_t width = 1, height = 1;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::uint16_t> samples;
  std::vector<std::uint8_t> palette;       // RGB triples
  std::vector<std::uint8_t> paletteAlpha;  // tRNS for palette images
  int transparentGrey = -1;                // tRNS for grey images
};

inline int PngChannels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

// Packs the samples into PNG rows (big-endian 16-bit samples, sub-byte samples from the high bit).
inline std::vector<std::vector<std::uint8_t>> PackPngRows(const PngRecipe& recipe) {
  const int channels = PngChannels(recipe.colorType);
  std::vector<std::vector<std::uint8_t>> rows(recipe.height);
  for (std::uint32_t y = 0; y < recipe.height; ++y) {
    auto& row = rows[y];
    row.assign((static_cast<std::size_t>(recipe.width) * channels * recipe.bitDepth + 7) / 8, 0);
    for (std::uint32_t i = 0; i < recipe.width * channels; ++i) {
      const std::uint16_t v = recipe.samples[static_cast<std::size_t>(y) * recipe.width * channels + i];
      if (recipe.bitDepth == 16) {
        row[2 * i] = static_cast<std::uint8_t>(v >> 8);
        row[2 * i + 1] = static_cast<std::uint8_t>(v);
      } else {
        const std::size_t bit = static_cast<std::size_t>(i) * recipe.bitDepth;
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - recipe.bitDepth - bit % 8));
      }
    }
  }
  return rows;
}

inline void AppendPngBytes(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
inline void FlushPng(png_structp) {}

inline bool WritePngRows(png_structp png, png_infop info, const PngRecipe& recipe, png_bytepp rows,
                         std::vector<std::uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, AppendPngBytes, FlushPng);
  png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colorType,
               recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < recipe.palette.size(); i += 3) {
    palette.push_back({recipe.palette[i], recipe.palette[i + 1], recipe.palette[i + 2]});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!recipe.paletteAlpha.empty()) {
    png_set_tRNS(png, info, recipe.paletteAlpha.data(), static_cast<int>(recipe.paletteAlpha.size()), nullptr);
  }
  if (recipe.transparentGrey >= 0) {
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(recipe.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

inline std::vector<std::uint8_t> WritePngWithLibpng(const PngRecipe& recipe) {
  auto packed = PackPngRows(recipe);
  std::vector<png_bytep> rows;
  for (auto& row : packed) rows.push_back(row.data());
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool written = WritePngRows(png, info, recipe, rows.data(), &out);
  png_destroy_write_struct(&png, &info);
  EXPECT_TRUE(written);
  return out;
}

}  // namespace vela::codec::testing
