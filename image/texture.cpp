// CTexture's creation operations and its life across device loss. Pixel access (Lock, Fill,
// copies, read-back, saving) is in texture_pixels.cpp.
#include "image/texture.h"

#include <memory>

#include "core/vela_debug.h"
#include "graphics/vela3d.h"
#include "files/qpk_image.h"
#include "core/system_text.h"
#include "image/texture_manager.h"
#include "image/texture_sizing.h"
#include "files/vela_file.h"

namespace vela {
namespace {

constexpr const char* kCreateFailedSized = "テクスチャの生成に失敗しました [ %d x %d ] [ %s ]";

// Closes an open file record when it goes.
struct FileRecordCloser {
  void operator()(FileRecord* record) const { FileClose(record); }
};

}  // namespace

CTexture::CTexture(CTextureManager* manager) : CImageObject(manager) {}

// The system-memory copy goes first, then the default-pool texture; the CDeviceObject steps
// follow.
CTexture::~CTexture() {
  Unlock();
  sysTexture_.Reset();
  texture_.Reset();
}

HRESULT CTexture::CreateDeviceTexture(ComPtr<IDirect3DTexture9>& target, UINT levels, DWORD usage, D3DPOOL pool) {
  IDirect3DDevice9* device = GetDevice();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateTexture(width_, height_, levels, usage, format_, pool, target.Out(), nullptr);
}

bool CTexture::CreateLoggedTexture(ComPtr<IDirect3DTexture9>& target, UINT levels, DWORD usage, D3DPOOL pool,
                                   const char* failure) {
  const HRESULT result = CreateDeviceTexture(target, levels, usage, pool);
  if (SUCCEEDED(result)) return true;
  LogRed(failure, width_, height_, GetErrorText(result));
  LogBreak();
  return false;
}

void CTexture::FitToDevice(std::uint32_t imageWidth, std::uint32_t imageHeight) {
  const Vela3DCaps caps = Vela3D::Caps();
  width_ = TextureSide(imageWidth, caps.maxTextureWidth);
  height_ = TextureSide(imageHeight, caps.maxTextureHeight);
}

void CTexture::LogSizeAndFormat() {
  LogPlain(" : SIZE [ %d x %d ] FORMAT [ %s ] : ", width_, height_, Vela3D::FormatName(format_));
}

// The system-memory copy, then the texture in pool_ with `usage`: both one level of width_ x
// height_ in format_; each failure has its own words.
bool CTexture::CreateSizedPair(DWORD usage, const char* systemFailure, const char* defaultFailure) {
  return CreateLoggedTexture(sysTexture_, 1, 0, D3DPOOL_SYSTEMMEM, systemFailure) &&
         CreateLoggedTexture(texture_, 1, usage, pool_, defaultFailure);
}

void CTexture::PrepareEmpty(std::uint32_t width, std::uint32_t height, std::int32_t formatKind, TextureKind kind) {
  format_ = Vela3D::ResolveFormat(formatKind, D3DFMT_UNKNOWN);
  imageInfo_.format = static_cast<codec::PixelFormat>(format_);
  imageInfo_.width = width;
  imageInfo_.height = height;
  kind_ = kind;
  pool_ = D3DPOOL_DEFAULT;
  FitToDevice(width, height);
}

bool CTexture::Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  LogBlue("CTexture::Create");
  PrepareEmpty(width, height, formatKind, TextureKind::kWithSystemCopy);
  if (!CreateSizedPair(0, kCreateFailedSized, " テクスチャの生成に失敗しました [ %d x %d ] [ %s ]")) {
    return false;
  }
  LogSizeAndFormat();
  return true;
}

bool CTexture::CreateEx(std::uint32_t width, std::uint32_t height, std::uint32_t levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool) {
  LogBlue("CTexture::CreateEx");
  format_ = format;
  imageInfo_.format = static_cast<codec::PixelFormat>(format);
  imageInfo_.width = width_ = width;
  imageInfo_.height = height_ = height;
  pool_ = pool;
  kind_ = (usage & D3DUSAGE_RENDERTARGET) ? TextureKind::kRenderTarget : TextureKind::kWithSystemCopy;
  if (!CreateLoggedTexture(texture_, levels, usage, pool_, kCreateFailedSized)) return false;
  LogSizeAndFormat();
  return true;
}

bool CTexture::CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  LogBlue("CTexture::CreateRenderTarget");
  PrepareEmpty(width, height, formatKind, TextureKind::kRenderTarget);
  if (!CreateSizedPair(D3DUSAGE_RENDERTARGET, "ベーステクスチャの生成に失敗しました [ %d x %d ] [ %s ]", kCreateFailedSized)) {
    return false;
  }
  LogSizeAndFormat();
  LogOutcome(true);
  return true;
}

bool CTexture::CreateCopy(CTexture* source) {
  if (!source) return false;
  imageInfo_ = source->imageInfo_;
  width_ = source->width_;
  height_ = source->height_;
  format_ = source->format_;
  kind_ = TextureKind::kRenderTarget;
  pool_ = D3DPOOL_DEFAULT;
  if (!CreateSizedPair(0, kCreateFailedSized, kCreateFailedSized)) return false;

  ComPtr<IDirect3DSurface9> from;
  ComPtr<IDirect3DSurface9> to;
  source->GetSurface(from.Out());
  GetSysSurface(to.Out());
  IDirect3DDevice9* device = GetDevice();
  const HRESULT result = from && to ? device->GetRenderTargetData(from.Get(), to.Get()) : D3DERR_INVALIDCALL;
  if (FAILED(result)) {
    LogError("テクスチャのコピーに失敗しました [ %s ]", result);
    return false;
  }
  UpdateTexture();
  LogSizeAndFormat();
  return true;
}

bool CTexture::CreateFromQPK(const char* archive, const char* name, std::int32_t formatKind) {
  LogBlue("CTexture::CreateFromQPK");
  LogPlain(": [ %s / %s ] : ", SystemTextUtf8(archive).c_str(), SystemTextUtf8(name).c_str());
  CQPKImage image;
  const char* message = CQPKImage::kLoadFailedText;
  if (archive && name) {
    std::unique_ptr<FileRecord, FileRecordCloser> record(FileOpen(archive, true));
    if (record) {
      FileRecordSource source(record.get());
      message = image.Load(source, name);
    }
  }
  if (message) {
    LogRed("ファイルの読み込みに失敗しました [ %s ]", message);
    LogBreak();
    LogOutcome(false);
    return false;
  }
  const bool loaded = LoadFromMemory(image.GetImageData(), image.GetImageSize(), formatKind, 0);
  LogOutcome(loaded);
  image.Free();
  return loaded;
}

bool CTexture::CreateFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey) {
  LogBlue("CTexture::CreateFromFile");
  LogPlain(" : [ %s ] : ", SystemTextUtf8(name).c_str());
  const bool loaded = LoadFromFile(name, formatKind, colorKey);
  LogOutcome(loaded);
  return loaded;
}

bool CTexture::CreateFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey) {
  LogBlue("CTexture::CreateFromMemory");
  const bool loaded = LoadFromMemory(data, size, formatKind, colorKey);
  LogOutcome(loaded);
  return loaded;
}

bool CTexture::LoadFromMemory(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey) {
  texture_.Reset();
  if (GetImageInfo(data, size) && LoadFromImage(data, size, formatKind, colorKey)) return true;
  texture_.Reset();
  return false;
}

bool CTexture::LoadFromFile(const char* name, std::int32_t formatKind, D3DCOLOR colorKey) {
  texture_.Reset();
  std::uint8_t* block = nullptr;
  std::uint32_t size = 0;
  if (!name || !FileLoad(name, &block, &size)) {
    LogRed("ファイルがみつかりません");
    LogPlain(" : ");
    return false;
  }
  const PageBlock file(block);
  bool loaded = false;
  if (!GetImageInfo(file.get(), size)) {
    LogRed("画像データの展開に失敗");
    LogPlain(" : ");
  } else if (!LoadFromImage(file.get(), size, formatKind, colorKey)) {
    LogRed("テクスチャの生成に失敗");
    LogPlain(" : ");
  } else {
    loaded = true;
  }
  if (!loaded) texture_.Reset();
  return loaded;
}

// Fills every level of the system-memory copy with the whole image scaled over it.
bool CTexture::FillSystemCopy(const void* data, std::uint32_t size, D3DCOLOR colorKey) {
  const DWORD levels = sysTexture_->GetLevelCount();
  for (DWORD level = 0; level < levels; ++level) {
    ComPtr<IDirect3DSurface9> surface;
    HRESULT result = sysTexture_->GetSurfaceLevel(level, surface.Out());
    if (FAILED(result)) {
      LogError("サーフェイスの取得に失敗しました [ %s ]", result);
      return false;
    }
    D3DSURFACE_DESC desc = {};
    surface->GetDesc(&desc);
    result = LoadImage(surface.Get(), data, size, desc.Width, desc.Height, colorKey);
    if (FAILED(result)) {
      LogError("画像の読み込みに失敗しました [ %s ]", result);
      return false;
    }
  }
  return true;
}

bool CTexture::LoadFromImage(const void* data, std::uint32_t size, std::int32_t formatKind, D3DCOLOR colorKey) {
  FitToDevice(imageInfo_.width, imageInfo_.height);
  kind_ = TextureKind::kWithSystemCopy;
  format_ = Vela3D::ResolveFormat(formatKind, static_cast<D3DFORMAT>(imageInfo_.format));
  pool_ = D3DPOOL_DEFAULT;
  if (!CreateSizedPair(0, kCreateFailedSized, kCreateFailedSized) || !FillSystemCopy(data, size, colorKey)) {
    texture_.Reset();
    return false;
  }
  LogPlain("SIZE [ %d x %d ] FORMAT [ %s ] MIPMAP [ %d ] : ", width_, height_, Vela3D::FormatName(format_),
           static_cast<int>(sysTexture_->GetLevelCount()));
  UpdateTexture();
  return true;
}

bool CTexture::SetRenderTarget() {
  IDirect3DDevice9* device = GetDevice();
  ComPtr<IDirect3DSurface9> surface;
  GetSurface(surface.Out());
  return device && surface && SUCCEEDED(device->SetRenderTarget(0, surface.Get()));
}

void CTexture::OnLostDevice() {
  if (pool_ == D3DPOOL_DEFAULT) texture_.Reset();
}

void CTexture::OnResetDevice() {
  if (pool_ != D3DPOOL_DEFAULT) return;
  DWORD usage = 0;
  if (kind_ == TextureKind::kRenderTarget) {
    usage = D3DUSAGE_RENDERTARGET;
  } else if (kind_ != TextureKind::kWithSystemCopy) {
    return;
  }
  const HRESULT result = CreateDeviceTexture(texture_, 1, usage, D3DPOOL_DEFAULT);
  if (FAILED(result)) {
    LogError("テクスチャの生成に失敗しました [ %s ]", result);
    return;
  }
  if (kind_ == TextureKind::kWithSystemCopy) UpdateTexture();
}

}  // namespace vela
