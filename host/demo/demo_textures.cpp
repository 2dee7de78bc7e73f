#include "host/demo/demo_textures.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace vela::demo {

namespace {

// A name that the file service finds through the settings file; the name is ASCII.
std::uint32_t LoadOne(DemoPlugin& plugin, std::string_view fileName, const char* kind) {
  const std::uint32_t texture = plugin.TextureLoad(std::u16string(fileName.begin(), fileName.end()));
  std::printf("texture %s (%s): %s\n", fileName.data(), kind, texture ? "loaded" : "NOT loaded");
  return texture;
}

}  // namespace

DemoTextures LoadDemoTextures(DemoPlugin& plugin) {
  DemoTextures textures;
  textures.backdrop = LoadOne(plugin, "demo_backdrop.jpg", "JPEG in demo.pak");
  textures.sprites = LoadOne(plugin, "demo_sprites.png", "PNG in demo.pak");
  textures.rocks = LoadOne(plugin, "demo_rocks.tga", "TGA in demo.pak as an LZSS block");
  return textures;
}

void ReleaseDemoTextures(DemoPlugin& plugin, const DemoTextures& textures) {
  for (std::uint32_t texture : {textures.backdrop, textures.sprites, textures.rocks}) plugin.Release(texture);
}

}  // namespace vela::demo
