#include "image/surface.h"

#include "core/vela_debug.h"
#include "graphics/vela3d.h"
#include "image/surface_manager.h"
#include "core/system_text.h"
#include "files/vela_file.h"

namespace vela {
namespace {

// How the plain surfaces and render targets log their size and format.
constexpr const char* kSizeAndFormat = "[ %u x %u ] : [ %s ] : ";

}  // namespace

CSurface::CSurface(CSurfaceManager* manager) : CImageObject(manager) {}

CSurface::~CSurface() {
  LogRed("CSurface Destruct [%s]", SystemTextUtf8(GetName()).c_str());
  LogBreak();
  sysSurface_.Reset();
  surface_.Reset();
}

// ---- creation -------------------------------------------------------------------------------

void CSurface::BeginCreation(const char* layout, std::uint32_t width, std::uint32_t height,
                             std::int32_t formatKind) {
  surfaceFormat_ = Vela3D::ResolveFormat(formatKind, D3DFMT_UNKNOWN);
  width_ = width;
  height_ = height;
  LogPlain(layout, width, height, Vela3D::FormatName(surfaceFormat_));
}

bool CSurface::LogCreationFailure(HRESULT result) {
  LogError("サーフェイスの生成に失敗 [ %s ]", result);
  return false;
}

void CSurface::Created(std::int32_t formatKind) {
  formatKind_ = formatKind;
  LogOutcome(true);
}

bool CSurface::CreateEmpty(const char* layout, std::uint32_t width, std::uint32_t height, std::int32_t formatKind,
                           HRESULT (CSurface::*create)(IDirect3DSurface9** out)) {
  BeginCreation(layout, width, height, formatKind);
  const HRESULT result = (this->*create)(surface_.Out());
  if (FAILED(result)) return LogCreationFailure(result);
  Created(formatKind);
  return true;
}

HRESULT CSurface::CreatePlain(D3DPOOL pool, IDirect3DSurface9** out) {
  IDirect3DDevice9* device = GetDevice();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateOffscreenPlainSurface(width_, height_, surfaceFormat_, pool, out, nullptr);
}

HRESULT CSurface::CreateOffscreen(IDirect3DSurface9** out) { return CreatePlain(D3DPOOL_DEFAULT, out); }

HRESULT CSurface::CreateTarget(IDirect3DSurface9** out) {
  IDirect3DDevice9* device = GetDevice();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateRenderTarget(width_, height_, surfaceFormat_, D3DMULTISAMPLE_NONE, 0, TRUE, out, nullptr);
}

HRESULT CSurface::CreateDepth(IDirect3DSurface9** out) {
  IDirect3DDevice9* device = GetDevice();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateDepthStencilSurface(width_, height_, surfaceFormat_, D3DMULTISAMPLE_NONE, 0, TRUE, out,
                                           nullptr);
}

bool CSurface::Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  LogBlue("CSurface::Create");
  if (!CreateEmpty(kSizeAndFormat, width, height, formatKind, &CSurface::CreateOffscreen)) return false;
  isRenderTarget_ = false;
  isDepthStencil_ = false;
  return true;
}

bool CSurface::CreateRenderTarget(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  LogBlue("CSurface::CreateRenderTarget");
  if (!CreateEmpty(kSizeAndFormat, width, height, formatKind, &CSurface::CreateTarget)) return false;
  isRenderTarget_ = true;
  return true;
}

bool CSurface::CreateDepthStencil(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  LogBlue("CSurface::CreateDepthStencil");
  const char* layout = " : SIZE [ %u x %u ] : FORMAT [ %s ] : ";
  if (!CreateEmpty(layout, width, height, formatKind, &CSurface::CreateDepth)) return false;
  isDepthStencil_ = true;
  return true;
}

bool CSurface::CreateFromFile(const char* path, std::int32_t formatKind) {
  LogBlue("CSurface::CreateFromFile");
  std::uint8_t* data = nullptr;
  std::uint32_t size = 0;
  if (!FileLoad(path, &data, &size)) {
    LogRed("ファイルがみつかりません");
    LogPlain(" : ");
    return false;
  }
  const PageBlock file(data);  // freed on every way out
  return LoadFileIntoSurfaces(file.get(), size, formatKind);
}

bool CSurface::LoadFileIntoSurfaces(const std::uint8_t* data, std::uint32_t size, std::int32_t formatKind) {
  if (!GetImageInfo(data, size)) return false;
  const std::uint32_t width = GetImageWidth();
  const std::uint32_t height = GetImageHeight();
  BeginCreation(kSizeAndFormat, width, height, formatKind);
  HRESULT result = CreatePlain(D3DPOOL_SYSTEMMEM, sysSurface_.Out());
  if (FAILED(result)) return LogCreationFailure(result);
  result = CreatePlain(D3DPOOL_DEFAULT, surface_.Out());
  if (FAILED(result)) return LogCreationFailure(result);
  // Same size: the image is decoded without scaling.
  result = LoadImage(sysSurface_.Get(), data, size, width, height, 0);
  if (FAILED(result)) {
    LogError("画像の読み込みに失敗しました [ %s ]", result);
    return false;
  }
  GetDevice()->UpdateSurface(sysSurface_.Get(), nullptr, surface_.Get(), nullptr);
  isRenderTarget_ = false;
  isDepthStencil_ = false;
  Created(formatKind);
  return true;
}

// ---- use ------------------------------------------------------------------------------------

bool CSurface::CopyRect(const RECT* destRect, CSurface* source, const RECT* sourceRect) {
  if (!source || !surface_ || !source->surface_) return false;
  RECT to = destRect ? *destRect : RECT{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  RECT from = sourceRect ? *sourceRect
                         : RECT{0, 0, static_cast<LONG>(source->width_), static_cast<LONG>(source->height_)};
  if (!Vela3D::ClipToViewport(&to, &from)) return false;
  IDirect3DDevice9* device = GetDevice();
  if (!device) return false;
  IDirect3DSurface9* from9 = source->surface_.Get();
  if (SUCCEEDED(device->StretchRect(from9, &from, surface_.Get(), &to, D3DTEXF_LINEAR))) return true;
  return SUCCEEDED(device->StretchRect(from9, &from, surface_.Get(), &to, D3DTEXF_NONE));
}

HDC CSurface::GetDC() {
  HDC dc = nullptr;
  if (!surface_ || FAILED(surface_->GetDC(&dc))) return nullptr;
  return dc;
}

void CSurface::ReleaseDC(HDC dc) {
  if (dc && surface_) surface_->ReleaseDC(dc);
}

void CSurface::GetSurface(IDirect3DSurface9** surface) {
  if (!surface) return;
  *surface = surface_.Get();
  if (*surface) (*surface)->AddRef();
}

bool CSurface::SetRenderTarget() {
  ComPtr<IDirect3DDevice9> device;
  if (!surface_ || FAILED(surface_->GetDevice(device.Out()))) return false;
  device->SetRenderTarget(0, surface_.Get());
  return true;
}

bool CSurface::SetDepthStencil() {
  ComPtr<IDirect3DDevice9> device;
  if (!surface_ || FAILED(surface_->GetDevice(device.Out()))) return false;
  device->SetDepthStencilSurface(surface_.Get());
  return true;
}

// ---- device loss ----------------------------------------------------------------------------

void CSurface::OnLostDevice() { surface_.Reset(); }

HRESULT CSurface::RecreateSurface() {
  if (isRenderTarget_) {
    surfaceFormat_ = Vela3D::ResolveFormat(formatKind_, D3DFMT_UNKNOWN);
    return CreateTarget(surface_.Out());
  }
  if (isDepthStencil_) return CreateDepth(surface_.Out());
  surfaceFormat_ = Vela3D::ResolveFormat(formatKind_, D3DFMT_UNKNOWN);
  const HRESULT result = CreateOffscreen(surface_.Out());
  if (FAILED(result) || !sysSurface_) return result;
  return GetDevice()->UpdateSurface(sysSurface_.Get(), nullptr, surface_.Get(), nullptr);
}

void CSurface::OnResetDevice() {
  const HRESULT result = RecreateSurface();
  if (FAILED(result)) LogError("サーフェイスのリストアに失敗 [ %s ]", result);
}

}  // namespace vela
