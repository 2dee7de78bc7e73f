// Where each picture lies in the demo's image files, in image pixels. The asset maker draws
// them there at build time and the demo cuts them out again, so both read this one table.
// Plain C++ without Win32: the asset maker is built with the build machine's own compiler.
#pragma once

namespace vela::demo {

struct AtlasRect {
  int x, y, width, height;
};

// demo_backdrop.jpg: one picture, stretched over the window.
inline constexpr int kBackdropSize = 256;

// demo_sprites.png (kept as it is: PNG keeps the alpha edges sharp).
inline constexpr int kSpritesWidth = 128;
inline constexpr int kSpritesHeight = 128;
inline constexpr AtlasRect kShipPicture = {0, 0, 64, 64};      // nose along +x
inline constexpr AtlasRect kTrailPicture = {64, 0, 64, 32};    // bright along its middle column
inline constexpr AtlasRect kMinePicture = {64, 32, 32, 32};    // four spikes
inline constexpr AtlasRect kShadowPicture = {0, 64, 64, 64};   // grey disc on white, for multiplying
inline constexpr AtlasRect kWhitePicture = {64, 64, 16, 16};   // plain white, for inverting
inline constexpr AtlasRect kBlipPicture = {96, 64, 16, 16};    // small bright disc

// demo_rocks.tga, stored in demo.pak as an LZSS block.
inline constexpr int kRocksWidth = 128;
inline constexpr int kRocksHeight = 64;
inline constexpr AtlasRect kRockPictures[2] = {{0, 0, 64, 64}, {64, 0, 64, 64}};

}  // namespace vela::demo
