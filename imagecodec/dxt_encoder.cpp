#include "imagecodec/dxt_encoder.h"

#include <bit>
#include <cstring>

#include "imagecodec/dxt_fit.h"

namespace vela::codec {
namespace {

// Eight bytes in little-endian order, as the block formats store their fields.
void StoreLittleEndian(std::uint64_t value, std::uint8_t* out) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &value, 8);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

void StoreColorBlock(const ColorFit& fit, std::uint8_t* out) {
  StoreLittleEndian(fit.color0 | std::uint64_t{fit.color1} << 16 | std::uint64_t{fit.indices} << 32, out);
}

void StoreAlphaBlock(const AlphaFit& fit, std::uint8_t* out) {
  StoreLittleEndian(fit.alpha0 | std::uint64_t{fit.alpha1} << 8 | fit.indices << 16, out);
}

void StoreDxt3Alpha(const std::uint32_t pixels[16], std::uint8_t* out) {
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t low = ((pixels[2 * i] >> 24) * 15 + 127) / 255;
    const std::uint32_t high = ((pixels[2 * i + 1] >> 24) * 15 + 127) / 255;
    out[i] = static_cast<std::uint8_t>(low | high << 4);
  }
}

}  // namespace

void EncodeDxt1Block(const std::uint32_t pixels[16], std::uint8_t out[8]) {
  StoreColorBlock(FitColorBlock(pixels, true), out);
}

void EncodeDxt3Block(const std::uint32_t pixels[16], std::uint8_t out[16]) {
  StoreDxt3Alpha(pixels, out);
  StoreColorBlock(FitColorBlock(pixels, false), out + 8);
}

void EncodeDxt5Block(const std::uint32_t pixels[16], std::uint8_t out[16]) {
  StoreAlphaBlock(FitAlphaBlock(pixels), out);
  StoreColorBlock(FitColorBlock(pixels, false), out + 8);
}

void EncodeDxtBlock(PixelFormat format, const std::uint32_t pixels[16], std::uint8_t* out) {
  switch (format) {
    case PixelFormat::kDxt1:
      EncodeDxt1Block(pixels, out);
      break;
    case PixelFormat::kDxt3:
      EncodeDxt3Block(pixels, out);
      break;
    case PixelFormat::kDxt5:
      EncodeDxt5Block(pixels, out);
      break;
    default:
      break;
  }
}

void EncodeDxtBlocks(PixelFormat format, const std::uint32_t (*pixels)[16], std::size_t count, std::uint8_t* out) {
  if (format != PixelFormat::kDxt3 && format != PixelFormat::kDxt5) {
    for (std::size_t b = 0; b < count; ++b) EncodeDxtBlock(format, pixels[b], out + 8 * b);
    return;
  }
  // Colours that take the full fit are fitted together at the end, a chunk at a time.
  constexpr std::size_t kChunk = 64;
  const std::uint32_t* pending[kChunk];
  std::uint8_t* pendingOut[kChunk];
  ColorFit fits[kChunk];
  std::size_t waiting = 0;
  const auto fitPending = [&] {
    if (ProcessorHasAvx2()) {
      FitColorBlocks8(pending, waiting, fits);
    } else {
      FitColorBlocks4(pending, waiting, fits);
    }
    for (std::size_t i = 0; i < waiting; ++i) StoreColorBlock(fits[i], pendingOut[i]);
    waiting = 0;
  };
  for (std::size_t b = 0; b < count; ++b) {
    std::uint8_t* block = out + 16 * b;
    if (format == PixelFormat::kDxt3) {
      StoreDxt3Alpha(pixels[b], block);
    } else {
      StoreAlphaBlock(FitAlphaBlock(pixels[b]), block);
    }
    if (NarrowColours(pixels[b])) {
      StoreColorBlock(FitColorBlock(pixels[b], false), block + 8);
      continue;
    }
    pending[waiting] = pixels[b];
    pendingOut[waiting] = block + 8;
    if (++waiting == kChunk) fitPending();
  }
  fitPending();
}

bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  // Also false where the system does not save the wide registers. __builtin_cpu_init reads the
  // processor if the runtime's start-up has not yet, whatever the order of static start-up.
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
#else
  return false;
#endif
}

}  // namespace vela::codec
