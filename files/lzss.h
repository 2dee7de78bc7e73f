// LZSS with a 4096-byte window, the compression of the file service.
//
// Stream: a control byte precedes each group of up to eight items and is read from its least
// significant bit up. Bit 1: one literal byte. Bit 0: two bytes b0, b1 naming a window position
// b0 | ((b1 & 0xF0) << 4) and a length (b1 & 0x0F) + 3 (3 to 18). The window starts zero-filled
// with the write position at 0xFF0; every output byte is also written into it. Decoding stops
// as soon as the declared number of bytes is out, also within a copy.
//
// Block: "LZSS", the decoded size (u32 little-endian), the stream. Files and PACK entries that
// begin with the magic are handed out decoded.
//
// The decoder bounds both sides: a stream that ends before the declared size is reached fails;
// bytes after the point where the output is full are ignored. A declared size of 0 decodes to
// nothing without reading the stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vela {

inline constexpr std::size_t kLzssWindowSize = 4096;
inline constexpr std::size_t kLzssBlockHeadSize = 8;

// Fills all of `output` from `stream`; false when the stream runs out first.
bool LzssDecode(std::span<const std::uint8_t> stream, std::span<std::uint8_t> output);

// The most a stream of `streamBytes` bytes can decode to (a control byte and eight 18-byte
// copies per 17 bytes). A declared size above it is a lie; refuse it before allocating.
constexpr std::uint64_t LzssMaxDecodedSize(std::uint64_t streamBytes) {
  const std::uint64_t rest = streamBytes % 17;  // a control byte and rest - 1 item bytes
  const std::uint64_t restOutput = rest == 0 ? 0 : (rest - 1) / 2 * 18 + (rest - 1) % 2;
  return streamBytes / 17 * 144 + restOutput;
}

// True when `data` begins with the 8-byte block head; `decodedSize` receives the declared size.
bool ReadLzssBlockHead(std::span<const std::uint8_t> data, std::uint32_t& decodedSize);

// Decodes a whole block into `output`, whose size must equal the declared size.
bool LzssDecodeBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> output);

// The encoder is for tools: it allocates through std::vector and may throw std::bad_alloc.
// A stream that LzssDecode turns back into `input` (greedy matching with one step of lazy
// evaluation over hash chains). Empty input gives an empty stream.
std::vector<std::uint8_t> LzssEncode(std::span<const std::uint8_t> input);

// The block form of LzssEncode; false when the input is 4 GiB or larger.
bool LzssEncodeBlock(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& block);

}  // namespace vela
