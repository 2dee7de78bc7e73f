// DXT1 and DXT5 encoders side by side: ours, stb_dxt (normal and high quality) and libsquish
// (range fit, cluster fit, iterative cluster fit), on the same images decoded by our reader.
// For each: RMSE and PSNR of the decoded result against the source (RGB for DXT1, RGBA for
// DXT5; all decoded by our decoder) and megapixels per second of the encoding alone, on one
// thread (the fastest of repeated passes over each image). Usage: vela_dxt_bench [seconds per
// measurement] [image files...]; without files the corpus images named at build time are used.
#include <squish.h>

#include <cstring>  // stb_dxt uses memcpy without including it

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <ctime>
#include <vector>

#include "imagecodec/dxt_decoder.h"
#include "imagecodec/dxt_encoder.h"
#include "imagecodec/imagecodec.h"

namespace {

using namespace vela::codec;

struct Image {
  std::string name;
  std::uint32_t width = 0, height = 0;
  std::vector<std::uint32_t> argb;
  // The image cut into 4 x 4 blocks (edges repeated), each as 16 A8R8G8B8 pixels and as RGBA bytes.
  std::vector<std::uint32_t> blocks;
  std::vector<std::uint8_t> rgbaBlocks;
  std::uint32_t blocksWide = 0, blocksHigh = 0;
};

bool LoadImage(const std::string& path, Image& image) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ImageInfo info;
  if (GetImageInfoFromMemory(file.data(), file.size(), info) != Result::kOk) return false;
  const std::size_t slash = path.find_last_of('/');
  image.name = path.substr(slash == std::string::npos || slash == 0 ? 0 : path.find_last_of('/', slash - 1) + 1);
  image.width = info.width;
  image.height = info.height;
  image.argb.resize(static_cast<std::size_t>(info.width) * info.height);
  SurfaceView surface{PixelFormat::kA8R8G8B8, info.width, info.height, static_cast<std::ptrdiff_t>(info.width) * 4,
                      reinterpret_cast<std::uint8_t*>(image.argb.data())};
  if (LoadSurfaceFromMemory(surface, nullptr, file.data(), file.size(), 0) != Result::kOk) return false;
  image.blocksWide = (image.width + 3) / 4;
  image.blocksHigh = (image.height + 3) / 4;
  for (std::uint32_t by = 0; by < image.blocksHigh; ++by) {
    for (std::uint32_t bx = 0; bx < image.blocksWide; ++bx) {
      for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t x = std::min(bx * 4 + i % 4, image.width - 1);
        const std::uint32_t y = std::min(by * 4 + i / 4, image.height - 1);
        const std::uint32_t p = image.argb[static_cast<std::size_t>(y) * image.width + x];
        image.blocks.push_back(p);
        image.rgbaBlocks.insert(image.rgbaBlocks.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                                        static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
      }
    }
  }
  return true;
}

// Encodes one block: 16 A8R8G8B8 pixels and the same as RGBA bytes in; 8 or 16 bytes out.
using Encoder = std::function<void(const std::uint32_t* argb, const std::uint8_t* rgba, std::uint8_t* out)>;

struct Method {
  const char* name;
  Encoder dxt1;
  Encoder dxt5;
};

std::vector<Method> Methods() {
  auto squishWith = [](int fit) {
    return Method{nullptr,
                  [fit](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { squish::Compress(rgba, out, squish::kDxt1 | fit); },
                  [fit](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { squish::Compress(rgba, out, squish::kDxt5 | fit); }};
  };
  std::vector<Method> methods = {
      {"ours", [](const std::uint32_t* argb, const std::uint8_t*, std::uint8_t* out) { EncodeDxt1Block(argb, out); },
       [](const std::uint32_t* argb, const std::uint8_t*, std::uint8_t* out) { EncodeDxt5Block(argb, out); }},
      {"ours, whole rows", nullptr, nullptr},
      {"stb_dxt", [](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { stb_compress_dxt_block(out, rgba, 0, STB_DXT_NORMAL); },
       [](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { stb_compress_dxt_block(out, rgba, 1, STB_DXT_NORMAL); }},
      {"stb_dxt HIGHQUAL", [](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { stb_compress_dxt_block(out, rgba, 0, STB_DXT_HIGHQUAL); },
       [](const std::uint32_t*, const std::uint8_t* rgba, std::uint8_t* out) { stb_compress_dxt_block(out, rgba, 1, STB_DXT_HIGHQUAL); }},
  };
  Method range = squishWith(squish::kColourRangeFit), cluster = squishWith(squish::kColourClusterFit),
         iterative = squishWith(squish::kColourIterativeClusterFit);
  range.name = "squish range fit";
  cluster.name = "squish cluster fit";
  iterative.name = "squish iterative cluster fit";
  methods.insert(methods.end(), {range, cluster, iterative});
  return methods;
}

struct Score {
  double squaredError = 0;
  double samples = 0;
  double pixels = 0;
  double seconds = 0;
};

// Encodes every block of the image once into `encoded`: one at a time through `encoder`, or
// without one the image's rows of blocks through EncodeDxtBlocks, as the surface writer does.
void EncodeAll(const Image& image, const Encoder& encoder, PixelFormat format, std::vector<std::uint8_t>& encoded) {
  const std::size_t blockBytes = format == PixelFormat::kDxt1 ? 8 : 16;
  const std::size_t count = image.blocks.size() / 16;
  encoded.resize(count * blockBytes);
  if (!encoder) {
    const auto* blocks = reinterpret_cast<const std::uint32_t(*)[16]>(image.blocks.data());
    for (std::size_t row = 0; row < image.blocksHigh; ++row) {
      const std::size_t first = row * image.blocksWide;
      EncodeDxtBlocks(format, blocks + first, image.blocksWide, encoded.data() + first * blockBytes);
    }
    return;
  }
  for (std::size_t b = 0; b < count; ++b) {
    encoder(image.blocks.data() + 16 * b, image.rgbaBlocks.data() + 64 * b, encoded.data() + b * blockBytes);
  }
}

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void Measure(const Image& image, const Encoder& encoder, PixelFormat format, double minimumSeconds, Score& score) {
  const std::size_t blockBytes = format == PixelFormat::kDxt1 ? 8 : 16;
  std::vector<std::uint8_t> encoded;
  // Timing: encode the whole image again and again for the measurement time and keep the
  // fastest pass. Other work on a shared machine only ever slows a pass down, so the fastest is
  // the one it disturbed least, and it compares encoders measured at different moments.
  // The pass's time is this thread's CPU time: time the scheduler gives other processes is not
  // counted (what other work still costs: shared caches and the core's other hardware thread).
  const auto start = std::chrono::steady_clock::now();
  double fastest = 1e30, elapsed = 0;
  do {
    const double before = ThreadSeconds();
    EncodeAll(image, encoder, format, encoded);
    fastest = std::min(fastest, ThreadSeconds() - before);
    elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  } while (elapsed < minimumSeconds);
  score.seconds += fastest;
  score.pixels += static_cast<double>(image.width) * image.height;
  // Error over the image's own pixels (not the repeated edges).
  const bool withAlpha = format != PixelFormat::kDxt1;
  std::uint32_t decoded[16];
  for (std::uint32_t by = 0; by < image.blocksHigh; ++by) {
    for (std::uint32_t bx = 0; bx < image.blocksWide; ++bx) {
      DecodeDxtBlock(format, encoded.data() + (static_cast<std::size_t>(by) * image.blocksWide + bx) * blockBytes, decoded);
      for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
        if (x >= image.width || y >= image.height) continue;
        const std::uint32_t source = image.argb[static_cast<std::size_t>(y) * image.width + x];
        for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
          const double d = static_cast<double>((source >> shift) & 0xFF) - ((decoded[i] >> shift) & 0xFF);
          score.squaredError += d * d;
          score.samples += 1;
        }
      }
    }
  }
}

// True when `name` contains one of the comma-separated parts of `filter`.
bool NameMatches(const std::string& name, const std::string& filter) {
  for (std::size_t start = 0; start <= filter.size();) {
    const std::size_t end = std::min(filter.find(',', start), filter.size());
    if (end > start && name.find(filter.substr(start, end - start)) != std::string::npos) return true;
    start = end + 1;
  }
  return false;
}

double Psnr(double squaredError, double samples) {
  if (squaredError == 0) return 99.99;  // lossless: capped so that a mean stays finite
  return 10.0 * std::log10(255.0 * 255.0 * samples / squaredError);
}

// One table per set and format: a row per image with each encoder's PSNR, then the mean of the
// per-image PSNR, the RMSE over all the set's pixels and the speed.
void Report(const char* title, const std::vector<Image>& images, PixelFormat format, double seconds) {
  std::vector<const Method*> chosen;
  const std::vector<Method> methods = Methods();
  const char* only = std::getenv("VELA_BENCH_ONLY");
  for (const Method& method : methods) {
    if (!only || NameMatches(method.name, only)) chosen.push_back(&method);
  }
  std::vector<std::vector<double>> psnr(images.size(), std::vector<double>(chosen.size()));
  std::vector<Score> totals(chosen.size());
  for (std::size_t m = 0; m < chosen.size(); ++m) {
    const Encoder& encoder = format == PixelFormat::kDxt1 ? chosen[m]->dxt1 : chosen[m]->dxt5;
    for (std::size_t i = 0; i < images.size(); ++i) {
      Score one;
      Measure(images[i], encoder, format, seconds, one);
      psnr[i][m] = Psnr(one.squaredError, one.samples);
      totals[m].squaredError += one.squaredError;
      totals[m].samples += one.samples;
      totals[m].pixels += one.pixels;
      totals[m].seconds += one.seconds;
    }
  }
  std::printf("\n%s, PSNR dB\n| image |", title);
  for (const Method* method : chosen) std::printf(" %s |", method->name);
  std::printf("\n|---|");
  for (std::size_t m = 0; m < chosen.size(); ++m) std::printf("---|");
  std::printf("\n");
  const auto row = [&](const std::string& name, const auto& value, const char* format) {
    std::printf("| %s |", name.c_str());
    for (std::size_t m = 0; m < chosen.size(); ++m) std::printf(format, value(m));
    std::printf("\n");
  };
  for (std::size_t i = 0; i < images.size(); ++i) row(images[i].name, [&](std::size_t m) { return psnr[i][m]; }, " %.3f |");
  row("**mean of the images' PSNR**", [&](std::size_t m) {
    double sum = 0;
    for (std::size_t i = 0; i < images.size(); ++i) sum += psnr[i][m];
    return sum / static_cast<double>(images.size());
  }, " **%.3f** |");
  row("all pixels: RMSE", [&](std::size_t m) { return std::sqrt(totals[m].squaredError / totals[m].samples); }, " %.4f |");
  row("MP/s, one thread", [&](std::size_t m) { return totals[m].pixels / totals[m].seconds / 1e6; }, " %.2f |");
  std::fflush(stdout);
}

bool HasAlpha(const Image& image) {
  return std::any_of(image.argb.begin(), image.argb.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
}

// Splits a list of paths separated by ';'.
std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> paths;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    if (end > start) paths.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

// Loads a set's images and reports it: opaque ones as DXT1, those with alpha as DXT5.
bool RunSet(const std::string& set, const std::vector<std::string>& paths, double seconds) {
  std::vector<Image> opaque, translucent;
  for (const std::string& path : paths) {
    Image image;
    if (!LoadImage(path, image)) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return false;
    }
    std::printf("%s: %s: %u x %u%s\n", set.c_str(), image.name.c_str(), image.width, image.height,
                HasAlpha(image) ? ", alpha" : "");
    (HasAlpha(image) ? translucent : opaque).push_back(std::move(image));
  }
  if (!opaque.empty()) Report((set + ", DXT1, opaque images, RGB").c_str(), opaque, PixelFormat::kDxt1, seconds);
  if (!translucent.empty()) Report((set + ", DXT5, images with alpha, RGBA").c_str(), translucent, PixelFormat::kDxt5, seconds);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 0.5;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    char* end = nullptr;
    const double value = std::strtod(argv[i], &end);
    if (i == 1 && end && *end == '\0') {
      seconds = value;
    } else {
      paths.push_back(argv[i]);
    }
  }
  if (!paths.empty()) return RunSet("given", paths, seconds) ? 0 : 1;
  // Without files: the sets named at build time (VELA_BENCH_SETS=old,corpus picks some).
  const char* sets = std::getenv("VELA_BENCH_SETS");
  bool any = false;
#ifdef VELA_BENCH_IMAGES
  if (!sets || NameMatches("old", sets)) any = RunSet("old set", SplitList(VELA_BENCH_IMAGES), seconds) || any;
#endif
#ifdef VELA_BENCH_CORPUS
  if (!sets || NameMatches("corpus", sets)) any = RunSet("corpus", SplitList(VELA_BENCH_CORPUS), seconds) || any;
#endif
  if (!any) {
    std::fprintf(stderr, "usage: %s [seconds] image...\n", argv[0]);
    return 1;
  }
  return 0;
}
