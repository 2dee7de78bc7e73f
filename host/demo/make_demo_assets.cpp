// Draws the demo's pictures and writes them as image files, at build time:
//
//   make_demo_assets FOLDER
//
// writes FOLDER/demo_backdrop.jpg (a nebula; JPEG suits its soft gradients), FOLDER/
// demo_sprites.png (ship, trail, mine, shadow, white and blip, laid out as demo_atlas.h says)
// and FOLDER/demo_rocks.tga (two rocks, uncompressed: the build packs the folder with
// `vela-archive pack --lzss`, which stores this one as an LZSS block). Runs on the build machine, so a cross build compiles it with its own compiler
// against the machine's libpng and libjpeg. Everything is computed, nothing random: the files
// are the same on every build.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <png.h>

#include "host/demo/demo_atlas.h"
#include "host/jpeg_writer.h"

namespace {

using vela::demo::AtlasRect;

struct Colour {
  float r, g, b, a;  // 0..1
};

// RGBA, 8 bits a channel, top-down rows.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), bytes_(std::size_t(width) * height * 4, 0) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint8_t* Data() const { return bytes_.data(); }

  void Set(int x, int y, Colour c) {
    std::uint8_t* pixel = &bytes_[(std::size_t(y) * width_ + x) * 4];
    const float channels[4] = {c.r, c.g, c.b, c.a};
    for (int i = 0; i < 4; ++i) pixel[i] = static_cast<std::uint8_t>(std::clamp(channels[i], 0.0f, 1.0f) * 255 + 0.5f);
  }

  // Calls paint(u, v) for every pixel of `area`, u and v from -1 to 1 across it.
  template <typename Paint>
  void Fill(const AtlasRect& area, Paint paint) {
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        const float u = (x + 0.5f) / area.width * 2 - 1;
        const float v = (y + 0.5f) / area.height * 2 - 1;
        Set(area.x + x, area.y + y, paint(u, v));
      }
    }
  }

 private:
  int width_, height_;
  std::vector<std::uint8_t> bytes_;
};

constexpr Colour kClear = {0, 0, 0, 0};

float Smooth(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// A hash of the pixel, for the backdrop's stars.
float Hash(int x, int y) {
  std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float(h >> 8) / float(1u << 24);
}

Canvas Backdrop() {
  const int size = vela::demo::kBackdropSize;
  Canvas canvas(size, size);
  canvas.Fill({0, 0, size, size}, [](float u, float v) {
    // Two coloured clouds over deep blue, with a gentle ripple through them.
    const float ripple = 0.15f * std::sin(7 * u + 3 * v) * std::cos(5 * v - 2 * u);
    const float magenta = std::exp(-((u + 0.35f) * (u + 0.35f) + (v - 0.3f) * (v - 0.3f)) * 3.5f) + ripple;
    const float teal = std::exp(-((u - 0.45f) * (u - 0.45f) + (v + 0.4f) * (v + 0.4f)) * 4.0f) - ripple;
    Colour c = {0.03f, 0.03f, 0.12f + 0.05f * (1 - v), 1};
    c = Mix(c, {0.55f, 0.12f, 0.45f, 1}, std::clamp(magenta, 0.0f, 1.0f) * 0.8f);
    c = Mix(c, {0.08f, 0.45f, 0.55f, 1}, std::clamp(teal, 0.0f, 1.0f) * 0.7f);
    return c;
  });
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float h = Hash(x, y);
      if (h > 0.994f) canvas.Set(x, y, {1, 1, 0.85f + (h - 0.994f) * 20, 1});
    }
  }
  return canvas;
}

// The ship, nose to the right: a dart-shaped hull with a cockpit, outlined in dark blue.
Colour Ship(float u, float v) {
  const float halfWidth = (1 - u) * 0.42f;  // the hull narrows toward the nose at u = 1
  const float inside = halfWidth - std::fabs(v);
  if (u < -0.8f || u > 0.95f || inside < 0) return kClear;
  if (inside < 0.06f || u < -0.72f) return {0.1f, 0.15f, 0.35f, 1};
  const float cockpit = (u - 0.25f) * (u - 0.25f) * 4 + v * v * 30;
  if (cockpit < 0.25f) return {0.3f, 0.9f, 1.0f, 1};
  const float shade = 0.75f + 0.25f * (1 - std::fabs(v) / 0.42f);
  return {0.85f * shade, 0.87f * shade, 0.92f * shade, 1};
}

// Bright along the middle, fading to nothing at both sides: the trail's cross-section.
Colour Trail(float u, float) {
  return {1, 1, 1, std::exp(-u * u * 6)};
}

// A disc with four spikes, red lights at their tips.
Colour Mine(float u, float v) {
  const float radius = std::sqrt(u * u + v * v);
  const float spikes = 0.45f + 0.5f * std::pow(std::fabs(std::cos(2 * std::atan2(v, u))), 12.0f);
  if (radius > spikes) return kClear;
  if (radius > 0.8f) return {1, 0.2f, 0.1f, 1};
  const float shade = 0.5f + 0.4f * (1 - radius);
  return {shade, shade * 0.9f, shade * 0.6f, 1};
}

// Grey in the middle, white toward the rim and beyond: multiplied into the picture it darkens
// softly and leaves the rest alone (the quad draws every texel, transparent or not).
Colour Shadow(float u, float v) {
  const float grey = 0.35f + 0.65f * Smooth(0.3f, 1.0f, std::sqrt(u * u + v * v));
  return {grey, grey, grey, 1};
}

Colour White(float, float) {
  return {1, 1, 1, 1};
}

Colour Blip(float u, float v) {
  const float radius = std::sqrt(u * u + v * v);
  return radius < 0.9f ? Colour{0.5f, 1, 0.5f, 1} : kClear;
}

Canvas Sprites() {
  Canvas canvas(vela::demo::kSpritesWidth, vela::demo::kSpritesHeight);
  canvas.Fill(vela::demo::kShipPicture, Ship);
  canvas.Fill(vela::demo::kTrailPicture, Trail);
  canvas.Fill(vela::demo::kMinePicture, Mine);
  canvas.Fill(vela::demo::kShadowPicture, Shadow);
  canvas.Fill(vela::demo::kWhitePicture, White);
  canvas.Fill(vela::demo::kBlipPicture, Blip);
  return canvas;
}

// A lumpy brown rock lit from the upper left, with a few dark craters.
Colour Rock(float u, float v, float seed) {
  const float angle = std::atan2(v, u);
  const float radius = std::sqrt(u * u + v * v);
  const float outline = 0.78f + 0.08f * std::sin(3 * angle + seed) + 0.05f * std::sin(7 * angle + 2 * seed);
  if (radius > outline) return kClear;
  const float light = 0.55f + 0.45f * std::clamp(-(u + v) * 0.6f + 0.3f, -1.0f, 1.0f);
  const float craterU = u - 0.25f * std::cos(seed), craterV = v - 0.2f * std::sin(seed);
  const float crater = Smooth(0.0f, 0.05f, craterU * craterU + craterV * craterV);
  const float shade = light * (0.6f + 0.4f * crater);
  return {0.62f * shade, 0.48f * shade, 0.36f * shade, 1};
}

Canvas Rocks() {
  Canvas canvas(vela::demo::kRocksWidth, vela::demo::kRocksHeight);
  canvas.Fill(vela::demo::kRockPictures[0], [](float u, float v) { return Rock(u, v, 0.7f); });
  canvas.Fill(vela::demo::kRockPictures[1], [](float u, float v) { return Rock(u, v, 2.9f); });
  return canvas;
}

bool WritePng(const Canvas& canvas, const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(canvas.Width());
  image.height = static_cast<png_uint_32>(canvas.Height());
  image.format = PNG_FORMAT_RGBA;
  const bool written = png_image_write_to_file(&image, path.c_str(), 0, canvas.Data(), 0, nullptr) != 0;
  png_image_free(&image);
  return written;
}

// An uncompressed 32-bit TGA, rows top-down, 8 alpha bits.
bool WriteTga(const Canvas& canvas, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const auto width = static_cast<std::uint16_t>(canvas.Width());
  const auto height = static_cast<std::uint16_t>(canvas.Height());
  const std::uint8_t head[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                                 static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
                                 32, 0x28};
  std::vector<std::uint8_t> bgra(canvas.Data(), canvas.Data() + std::size_t(width) * height * 4);
  for (std::size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
  const bool written = std::fwrite(head, 1, sizeof head, file) == sizeof head &&
                       std::fwrite(bgra.data(), 1, bgra.size(), file) == bgra.size();
  return (std::fclose(file) == 0) && written;
}

bool WriteJpeg(const Canvas& canvas, const std::string& path) {
  const auto width = static_cast<std::uint32_t>(canvas.Width());
  const std::vector<std::uint8_t> bytes = vela::host::WriteJpeg(
      {width, static_cast<std::uint32_t>(canvas.Height()), vela::host::JpegSamples::kRgb, 90},
      [&](std::uint32_t y, std::uint8_t* row) {
        const std::uint8_t* rgba = canvas.Data() + std::size_t{y} * width * 4;
        for (std::uint32_t x = 0; x < width; ++x) std::copy_n(rgba + x * 4, 3, row + x * 3);
      });
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_assets FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool written = WriteJpeg(Backdrop(), folder + "/demo_backdrop.jpg") &&
                       WritePng(Sprites(), folder + "/demo_sprites.png") &&
                       WriteTga(Rocks(), folder + "/demo_rocks.tga");
  if (!written) std::fprintf(stderr, "make_demo_assets: could not write the pictures into %s\n", folder.c_str());
  return written ? 0 : 1;
}
