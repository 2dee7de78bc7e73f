#include "image/texture_manager.h"

#include <cstdio>

#include "graphics/vela3d.h"
#include "image/texture.h"
#include "files/vela_file.h"

namespace vela {
namespace {

constexpr std::size_t kGeneratedNameSize = 128;

// Makes a texture on `manager`, runs its creation operation and names it; a texture whose
// creation fails is released, which takes it out of the list again.
template <typename Creation>
CTexture* MakeTexture(CTextureManager* manager, Creation create, const char* name) {
  auto* texture = new CTexture(manager);
  if (!texture) return nullptr;
  if (!create(*texture)) {
    texture->Release();
    return nullptr;
  }
  texture->SetName(name);
  return texture;
}

// "LABEL [WxH] FORMAT" for the textures that no file names.
struct GeneratedName {
  GeneratedName(const char* label, std::uint32_t width, std::uint32_t height, D3DFORMAT format) {
    std::snprintf(text, sizeof text, "%s [%dx%d] %s", label, static_cast<int>(width), static_cast<int>(height),
                  Vela3D::FormatName(format));
  }
  char text[kGeneratedNameSize];
};

}  // namespace

CTexture* CTextureManager::Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  CTexture* texture =
      MakeTexture(this, [&](CTexture& t) { return t.Create(width, height, formatKind); }, "");
  if (texture) texture->SetName(GeneratedName("OFFSCREEN", width, height, texture->GetFormat()).text);
  return texture;
}

CTexture* CTextureManager::CreateEx(std::uint32_t width, std::uint32_t height, std::uint32_t levels, DWORD usage,
                                    D3DFORMAT format, D3DPOOL pool) {
  return MakeTexture(
      this, [&](CTexture& t) { return t.CreateEx(width, height, levels, usage, format, pool); },
      GeneratedName("OFFSCREEN_EX", width, height, format).text);
}

CTexture* CTextureManager::CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  CTexture* texture =
      MakeTexture(this, [&](CTexture& t) { return t.CreateRenderTarget(width, height, formatKind); }, "");
  if (texture) texture->SetName(GeneratedName("RENDER_TARGET", width, height, texture->GetFormat()).text);
  return texture;
}

CTexture* CTextureManager::CreateCopy(CTexture* source) {
  if (!source) return nullptr;
  return MakeTexture(this, [&](CTexture& t) { return t.CreateCopy(source); },
                     GeneratedName("RENDER_TARGET", source->GetWidth(), source->GetHeight(), source->GetFormat()).text);
}

CTexture* CTextureManager::CreateFromQPK(const char* archive, const char* name, std::int32_t formatKind) {
  char path[kMaxPath];
  if (!archive || !name || !FileResolve(path, archive)) return nullptr;
  char key[kMaxPath];
  const int length = std::snprintf(key, sizeof key, "%s[%s]", path, name);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof key) return nullptr;  // a key too long to share by
  if (CBaseObject* found = Find(key)) return static_cast<CTexture*>(found);
  return MakeTexture(this, [&](CTexture& t) { return t.CreateFromQPK(path, name, formatKind); }, key);
}

CTexture* CTextureManager::CreateFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey) {
  char path[kMaxPath];
  if (!name || !FileResolve(path, name)) return nullptr;
  if (CBaseObject* found = Find(path)) return static_cast<CTexture*>(found);
  return MakeTexture(this, [&](CTexture& t) { return t.CreateFromFile(name, formatKind, colorKey); }, path);
}

CTexture* CTextureManager::CreateFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind,
                                            D3DCOLOR colorKey) {
  return MakeTexture(this, [&](CTexture& t) { return t.CreateFromMemory(data, size, formatKind, colorKey); }, "");
}

}  // namespace vela
