#include "files/lzss.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>

#include "files/little_endian.h"

namespace vela {
namespace {

constexpr std::size_t kWindowMask = kLzssWindowSize - 1;
constexpr std::size_t kFirstWritePosition = 0xFF0;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::uint8_t kBlockMagic[4] = {'L', 'Z', 'S', 'S'};

}  // namespace

bool LzssDecode(std::span<const std::uint8_t> stream, std::span<std::uint8_t> output) {
  std::array<std::uint8_t, kLzssWindowSize> window{};
  std::size_t write = kFirstWritePosition;
  std::size_t in = 0;
  std::size_t out = 0;
  unsigned control = 0;  // the current control byte above a marker bit that counts eight reads
  while (out < output.size()) {
    control >>= 1;
    if ((control & 0x100) == 0) {
      if (in >= stream.size()) return false;
      control = stream[in++] | 0xFF00u;
    }
    if (control & 1) {
      if (in >= stream.size()) return false;
      const std::uint8_t byte = stream[in++];
      output[out++] = byte;
      window[write] = byte;
      write = (write + 1) & kWindowMask;
    } else {
      if (stream.size() - in < 2) return false;
      const unsigned b0 = stream[in++];
      const unsigned b1 = stream[in++];
      const std::size_t source = b0 | ((b1 & 0xF0u) << 4);
      const std::size_t length = (b1 & 0x0Fu) + kMinMatch;
      for (std::size_t k = 0; k < length && out < output.size(); ++k) {
        const std::uint8_t byte = window[(source + k) & kWindowMask];
        output[out++] = byte;
        window[write] = byte;
        write = (write + 1) & kWindowMask;
      }
    }
  }
  return true;
}

bool ReadLzssBlockHead(std::span<const std::uint8_t> data, std::uint32_t& decodedSize) {
  if (data.size() < kLzssBlockHeadSize || std::memcmp(data.data(), kBlockMagic, 4) != 0) {
    return false;
  }
  decodedSize = LoadU32(data.data() + 4);
  return true;
}

bool LzssDecodeBlock(std::span<const std::uint8_t> block, std::span<std::uint8_t> output) {
  std::uint32_t decodedSize = 0;
  if (!ReadLzssBlockHead(block, decodedSize) || decodedSize != output.size()) return false;
  return LzssDecode(block.subspan(kLzssBlockHeadSize), output);
}

namespace {

// Finds matches in `text`, which is the input behind kMaxMatch zero bytes: the decoder's window
// is zero-filled, so the encoder may copy zeros from before the first byte.
class MatchFinder {
 public:
  struct Match {
    std::size_t length = 0;
    std::size_t from = 0;  // index in `text`
  };

  // The hash table grows with the text up to 2^15 heads, so that short inputs start quickly.
  explicit MatchFinder(std::span<const std::uint8_t> text)
      : text_(text),
        hashBits_(std::clamp(static_cast<int>(std::bit_width(text.size())), 8, kMaxHashBits)),
        head_(std::size_t{1} << hashBits_, kNone) {
    previous_.fill(kNone);
  }

  // Makes every position before `position` available as a match source.
  void InsertUpTo(std::size_t position) {
    for (; inserted_ < position; ++inserted_) {
      if (inserted_ + kMinMatch > text_.size()) continue;
      const std::size_t hash = HashAt(inserted_);
      previous_[inserted_ & kWindowMask] = head_[hash];
      head_[hash] = static_cast<std::int64_t>(inserted_);
    }
  }

  // The longest match for the bytes at `position` within the window.
  Match Longest(std::size_t position) const {
    Match best;
    const std::size_t limit = std::min(kMaxMatch, text_.size() - position);
    if (limit < kMinMatch) return best;
    std::int64_t candidate = head_[HashAt(position)];
    for (int steps = 0; candidate != kNone && steps < kMaxChain; ++steps) {
      const auto from = static_cast<std::size_t>(candidate);
      // Past a distance of 4096 the decoder has overwritten the source; the chain's older
      // links are stale as well.
      if (position - from > kLzssWindowSize) break;
      std::size_t length = 0;
      while (length < limit && text_[from + length] == text_[position + length]) ++length;
      if (length > best.length) {
        best = {length, from};
        if (length == limit) break;
      }
      candidate = previous_[from & kWindowMask];
    }
    if (best.length < kMinMatch) best.length = 0;
    return best;
  }

 private:
  static constexpr std::int64_t kNone = -1;
  static constexpr int kMaxHashBits = 15;
  static constexpr int kMaxChain = 256;

  std::size_t HashAt(std::size_t p) const {
    const std::uint32_t v = text_[p] | (text_[p + 1] << 8) | (text_[p + 2] << 16);
    return (v * 2654435761u) >> (32 - hashBits_);
  }

  std::span<const std::uint8_t> text_;
  int hashBits_;
  std::vector<std::int64_t> head_;
  std::array<std::int64_t, kLzssWindowSize> previous_;
  std::size_t inserted_ = 0;
};

class StreamWriter {
 public:
  explicit StreamWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Literal(std::uint8_t byte) {
    Item(true);
    out_.push_back(byte);
  }

  void Copy(std::size_t windowPosition, std::size_t length) {
    Item(false);
    out_.push_back(static_cast<std::uint8_t>(windowPosition & 0xFF));
    out_.push_back(static_cast<std::uint8_t>(((windowPosition >> 4) & 0xF0) | (length - kMinMatch)));
  }

 private:
  void Item(bool literal) {
    if (bit_ == 8) {
      control_ = out_.size();
      out_.push_back(0);
      bit_ = 0;
    }
    if (literal) out_[control_] |= static_cast<std::uint8_t>(1u << bit_);
    ++bit_;
  }

  std::vector<std::uint8_t>& out_;
  std::size_t control_ = 0;
  unsigned bit_ = 8;
};

}  // namespace

std::vector<std::uint8_t> LzssEncode(std::span<const std::uint8_t> input) {
  std::vector<std::uint8_t> out;
  if (input.empty()) return out;
  out.reserve(input.size() + input.size() / 8 + 1);

  constexpr std::size_t kPrefix = kMaxMatch;
  std::vector<std::uint8_t> text(kPrefix + input.size(), 0);
  std::memcpy(text.data() + kPrefix, input.data(), input.size());

  auto finder = std::make_unique<MatchFinder>(text);  // large tables: keep them off the stack
  StreamWriter writer(out);
  std::size_t position = kPrefix;
  while (position < text.size()) {
    finder->InsertUpTo(position);
    MatchFinder::Match match = finder->Longest(position);
    if (match.length > 0 && match.length < kMaxMatch && position + 1 < text.size()) {
      // One step of lazy evaluation: a longer match one byte on is worth a literal now.
      finder->InsertUpTo(position + 1);
      if (finder->Longest(position + 1).length > match.length) match.length = 0;
    }
    if (match.length == 0) {
      writer.Literal(text[position]);
      ++position;
      continue;
    }
    // Input byte i sits at window position 0xFF0 + i; the prefix's zeros map to the window's
    // never-written bytes.
    writer.Copy((kFirstWritePosition + match.from - kPrefix) & kWindowMask, match.length);
    position += match.length;
  }
  return out;
}

bool LzssEncodeBlock(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& block) {
  if (input.size() > std::numeric_limits<std::uint32_t>::max()) return false;
  const std::vector<std::uint8_t> stream = LzssEncode(input);
  block.assign(kLzssBlockHeadSize, 0);
  std::memcpy(block.data(), kBlockMagic, 4);
  StoreU32(block.data() + 4, static_cast<std::uint32_t>(input.size()));
  block.insert(block.end(), stream.begin(), stream.end());
  return true;
}

}  // namespace vela
