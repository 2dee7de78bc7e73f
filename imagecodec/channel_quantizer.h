// Quantising a filtered channel value (a float from 0 to 255) to a format's bit width, with 4 x 4
// ordered dithering when the format has fewer than 8 bits for the channel.
//
// The dither works between the two neighbouring levels that the reader expands back to (5-bit k
// reads as (k << 3) | (k >> 2)): a value exactly on a level stays on it, and a value a fraction f
// of the way to the next level moves up on f of the 16 matrix positions. So flat colours that the
// format holds come through unchanged, and the mean over a 4 x 4 tile is kept.
#pragma once

#include <cstdint>

namespace vela::codec {

// Thresholds of the 4 x 4 Bayer matrix, indexed [y & 3][x & 3]; 0 to 15.
inline constexpr std::uint8_t kBayer4x4[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

// `value` (clamped to 0..255) as a `bits`-wide integer (1 to 10 bits). Below 8 bits the dither
// threshold is kBayer4x4[y & 3][x & 3]; at 8 bits and more the value is rounded.
std::uint32_t QuantizeChannel(float value, unsigned bits, unsigned ditherThreshold);

// Rounds to 0..255 without dithering.
std::uint32_t RoundChannel(float value);

}  // namespace vela::codec
