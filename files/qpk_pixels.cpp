#include "files/qpk_pixels.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "files/little_endian.h"

namespace vela::qpk {
namespace {

// One channel in any of the four depths: integers in `bits`, floats in `real`.
struct Channel {
  std::uint32_t bits = 0;
  float real = 0.0f;
};

std::uint32_t Depth(std::uint32_t code) { return code & 3; }

// The integer that x86's truncating conversion gives: the indefinite value for NaN and for
// anything outside the 32-bit range (where a C++ cast would be undefined).
std::uint32_t TruncateLikeX86(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0x80000000u;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

Channel ReadChannel(const std::uint8_t* pixel, std::uint32_t depth, int k) {
  Channel c;
  switch (depth) {
    case kCodeNibbles: c.bits = (LoadU16(pixel) >> (12 - 4 * k)) & 0xF; break;
    case kCodeBytes: c.bits = pixel[k]; break;
    case kCodeWords: c.bits = LoadU16(pixel + 2 * k); break;
    default: c.real = std::bit_cast<float>(LoadU32(pixel + 4 * k)); break;
  }
  return c;
}

std::uint32_t ToNibble(Channel c, std::uint32_t from) {
  switch (from) {
    case kCodeNibbles: return c.bits;
    case kCodeBytes: return c.bits * 15 / 255;
    case kCodeWords: return c.bits * 15 / 65535;
    default: return TruncateLikeX86(c.real * 15.0) & 0xF;
  }
}

std::uint32_t ToByte(Channel c, std::uint32_t from) {
  switch (from) {
    case kCodeNibbles: return c.bits * 17;
    case kCodeBytes: return c.bits;
    case kCodeWords: return c.bits * 255 / 65535;
    default: return TruncateLikeX86(c.real * 255.0) & 0xFF;
  }
}

std::uint32_t ToWord(Channel c, std::uint32_t from) {
  switch (from) {
    case kCodeNibbles: return c.bits * 65535 / 15;
    case kCodeBytes: return c.bits * 65535 / 255;
    case kCodeWords: return c.bits;
    default: return TruncateLikeX86(c.real * 65535.0) & 0xFFFF;
  }
}

float ToFloat(Channel c, std::uint32_t from) {
  switch (from) {
    case kCodeNibbles: return static_cast<float>(c.bits) / 15.0f;
    case kCodeBytes: return static_cast<float>(c.bits) / 255.0f;
    case kCodeWords: return static_cast<float>(c.bits) / 65535.0f;
    default: return c.real;
  }
}

void ConvertPixel(const std::uint8_t* in, std::uint32_t from, std::uint8_t* out, std::uint32_t to) {
  std::uint32_t nibbles = 0;
  for (int k = 0; k < 4; ++k) {
    const Channel c = ReadChannel(in, from, k);
    switch (to) {
      case kCodeNibbles: nibbles |= ToNibble(c, from) << (12 - 4 * k); break;
      case kCodeBytes: out[k] = static_cast<std::uint8_t>(ToByte(c, from)); break;
      case kCodeWords: StoreU16(out + 2 * k, static_cast<std::uint16_t>(ToWord(c, from))); break;
      default: StoreU32(out + 4 * k, std::bit_cast<std::uint32_t>(ToFloat(c, from))); break;
    }
  }
  if (to == kCodeNibbles) StoreU16(out, static_cast<std::uint16_t>(nibbles));
}

constexpr std::uint8_t kMatrix4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {2, 10, 0, 8}, {14, 6, 12, 4}};
constexpr std::uint8_t kMatrix5[4][4] = {{0, 4, 1, 5}, {6, 2, 7, 3}, {1, 5, 0, 4}, {7, 3, 6, 2}};

}  // namespace

std::uint32_t BytesPerPixel(std::uint32_t code) {
  return code > kLastCode ? 0 : 2u << Depth(code);
}

std::uint64_t GetDataSize(std::uint32_t width, std::uint32_t height, std::uint32_t code) {
  return std::uint64_t{width} * height * BytesPerPixel(code);
}

bool IsCompressed(std::uint32_t code) { return code >= kCompressedBase && code <= kLastCode; }

bool Convert(std::uint32_t width, std::uint32_t height, std::uint32_t sourceCode,
             std::span<const std::uint8_t> source, std::uint32_t destinationCode,
             std::span<std::uint8_t> destination) {
  if (sourceCode > kLastCode || destinationCode > kLastCode) return false;
  if (source.size() < GetDataSize(width, height, sourceCode) ||
      destination.size() < GetDataSize(width, height, destinationCode)) {
    return false;
  }
  const std::uint32_t from = Depth(sourceCode);
  const std::uint32_t to = Depth(destinationCode);
  const std::size_t inStep = BytesPerPixel(from);
  const std::size_t outStep = BytesPerPixel(to);
  const std::uint64_t pixels = std::uint64_t{width} * height;
  const std::uint8_t* in = source.data();
  std::uint8_t* out = destination.data();
  for (std::uint64_t i = 0; i < pixels; ++i, in += inStep, out += outStep) {
    ConvertPixel(in, from, out, to);
  }
  return true;
}

std::uint32_t Dither4(std::uint32_t value, std::uint32_t x, std::uint32_t y) {
  return kMatrix4[y & 3][x & 3] + (value * 242 >> 8);
}

std::uint32_t Dither5(std::uint32_t value, std::uint32_t x, std::uint32_t y) {
  return kMatrix5[y & 3][x & 3] + (value * 249 >> 8);
}

void WriteDdsHeader(std::uint32_t width, std::uint32_t height,
                    std::span<std::uint8_t, kDdsHeaderSize> out) {
  std::memset(out.data(), 0, out.size());
  std::memcpy(out.data(), "DDS ", 4);
  StoreU32(&out[4], 124);         // size of the header after the magic
  StoreU32(&out[8], 0x1007);      // caps, height, width and pixel format are valid
  StoreU32(&out[12], height & 0xFFFF);
  StoreU32(&out[16], width & 0xFFFF);
  StoreU32(&out[76], 32);         // size of the pixel format block
  StoreU32(&out[80], 0x41);       // RGB with alpha
  StoreU32(&out[88], 32);
  StoreU32(&out[92], 0x00FF0000);
  StoreU32(&out[96], 0x0000FF00);
  StoreU32(&out[100], 0x000000FF);
  StoreU32(&out[104], 0xFF000000);
}

}  // namespace vela::qpk
