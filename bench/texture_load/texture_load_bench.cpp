// The texture load path, stage by stage: file -> decoded -> scaled -> DXT5 -> default-pool
// texture, for a few image sizes, and the whole VelaTexture::Load beside the sum of its parts.
//
// Stages, each timed on its own over the same file:
//   resolve  VelaFile's FileResolve, which the manager runs first to find the texture by path
//   read     VelaFile's FileLoad of the whole file into a page block
//   info     the image's size and format (header only)
//   decode   the whole file into A8R8G8B8 pixels
//   scale    the triangle filter over the power-of-two size, rows of floats
//   argb     decode + scale + packing into A8R8G8B8 (LoadSurfaceFromMemory into memory)
//   dxt5     decode + scale + DXT5 encoding (LoadSurfaceFromMemory into memory)
//   encode   DXT5 encoding alone, of the already scaled A8R8G8B8 pixels
//   device   two textures made (system memory and default pool), the DXT5 level copied in, and
//            UpdateTexture: what the device costs apart from our codec
//   steps    LoadFromImage's own steps in a row: the two textures, the file decoded, scaled and
//            encoded into the system-memory level, and UpdateTexture
//   load     VelaTexture::Load and Release: the whole path as TextureLoad runs it
//
// Runs under Wine with a window of its own: texture_load_bench.exe [seconds per stage].
#include <windows.h>

#include <d3d9.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core_state.h"
#include "graphics/format_kind.h"
#include "image/image_surface_io.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/texture_sizing.h"
#include "files/vela_file.h"
#include "image/vela_texture.h"
#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/dxt_encoder.h"
#include "imagecodec/image_file.h"
#include "imagecodec/imagecodec.h"
#include "imagecodec/triangle_scaler.h"

namespace {

using namespace vela;

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

// Runs `work` repeatedly for about `seconds` (at least 3 times) and answers the median in ms.
template <typename Work>
double MedianMs(double seconds, Work work) {
  std::vector<double> times;
  const double end = Now() + seconds;
  while (times.size() < 3 || (Now() < end && times.size() < 1000)) {
    const double start = Now();
    work();
    times.push_back((Now() - start) * 1000.0);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A photograph-like picture: smooth gradients, a few soft discs and some grain, with alpha.
std::vector<std::uint8_t> MakePng(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  std::uint32_t seed = 12345;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 28) - 8;
      const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
      const double disc = std::exp(-((fx - 0.4) * (fx - 0.4) + (fy - 0.6) * (fy - 0.6)) * 12.0);
      const auto channel = [&](double v) {
        return static_cast<std::uint32_t>(std::clamp(static_cast<int>(v * 255.0) + grain, 0, 255));
      };
      argb[std::size_t{y} * width + x] = codec::PackArgb(channel(0.5 + 0.5 * disc), channel(fx),
                                                          channel(0.3 + 0.6 * disc * fy), channel(1.0 - fy));
    }
  }
  const codec::ConstSurfaceView view(codec::PixelFormat::kA8R8G8B8, width, height, width * 4,
                                     reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  codec::SaveToMemory(codec::FileFormat::kPng, view, png);
  return png;
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + name;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

struct Pixels {
  std::uint32_t width, height, pitch;
  std::vector<std::uint8_t> bytes;
  codec::SurfaceView View(codec::PixelFormat format) {
    return {format, width, height, static_cast<std::ptrdiff_t>(pitch), bytes.data()};
  }
};

Pixels Argb(std::uint32_t width, std::uint32_t height) {
  return {width, height, width * 4, std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
}
Pixels Dxt5(std::uint32_t width, std::uint32_t height) {
  const std::uint32_t pitch = std::max(1u, (width + 3) / 4) * 16;
  return {width, height, pitch, std::vector<std::uint8_t>(std::size_t{pitch} * std::max(1u, (height + 3) / 4))};
}

void EncodeAll(const Pixels& argb, Pixels& dxt) {
  std::uint32_t block[16];
  for (std::uint32_t by = 0; by < argb.height; by += 4) {
    for (std::uint32_t bx = 0; bx < argb.width; bx += 4) {
      for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t x = std::min(bx + i % 4, argb.width - 1), y = std::min(by + i / 4, argb.height - 1);
        std::memcpy(&block[i], argb.bytes.data() + std::size_t{y} * argb.pitch + x * 4, 4);
      }
      codec::EncodeDxt5Block(block, dxt.bytes.data() + std::size_t{by / 4} * dxt.pitch + bx / 4 * 16);
    }
  }
}

// Two textures as LoadFromImage makes them, the level copied in from `dxt`, and the upload.
bool DeviceStage(const Pixels& dxt) {
  IDirect3DDevice9* device = Vela3D::Device();
  IDirect3DTexture9* system = nullptr;
  IDirect3DTexture9* video = nullptr;
  bool ok = SUCCEEDED(device->CreateTexture(dxt.width, dxt.height, 1, 0, D3DFMT_DXT5, D3DPOOL_SYSTEMMEM, &system, nullptr)) &&
            SUCCEEDED(device->CreateTexture(dxt.width, dxt.height, 1, 0, D3DFMT_DXT5, D3DPOOL_DEFAULT, &video, nullptr));
  D3DLOCKED_RECT locked = {};
  if (ok && SUCCEEDED(system->LockRect(0, &locked, nullptr, 0))) {
    for (std::uint32_t row = 0; row < (dxt.height + 3) / 4; ++row) {
      std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + std::size_t{row} * locked.Pitch,
                  dxt.bytes.data() + std::size_t{row} * dxt.pitch, dxt.pitch);
    }
    system->UnlockRect(0);
    ok = SUCCEEDED(device->UpdateTexture(system, video));
  }
  if (video) video->Release();
  if (system) system->Release();
  return ok;
}

// The steps of LoadFromImage without the texture object around them.
bool LoadSteps(const std::vector<std::uint8_t>& file, std::uint32_t width, std::uint32_t height) {
  IDirect3DDevice9* device = Vela3D::Device();
  IDirect3DTexture9* system = nullptr;
  IDirect3DTexture9* video = nullptr;
  IDirect3DSurface9* level = nullptr;
  bool ok = SUCCEEDED(device->CreateTexture(width, height, 1, 0, D3DFMT_DXT5, D3DPOOL_SYSTEMMEM, &system, nullptr)) &&
            SUCCEEDED(device->CreateTexture(width, height, 1, 0, D3DFMT_DXT5, D3DPOOL_DEFAULT, &video, nullptr)) &&
            SUCCEEDED(system->GetSurfaceLevel(0, &level)) &&
            SUCCEEDED(LoadSurfaceFromFileInMemory(level, nullptr, file.data(), static_cast<UINT>(file.size()), 0)) &&
            SUCCEEDED(device->UpdateTexture(system, video));
  if (level) level->Release();
  if (video) video->Release();
  if (system) system->Release();
  return ok;
}

HWND MakeWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VelaTextureLoadBench";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("VelaTextureLoadBench", "texture load bench", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  Core().mainWindow = window;
  Core().screenWidth = 320;
  Core().screenHeight = 240;
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 1.0;
  HWND window = MakeWindow();
  if (!Vela3D::Initialize() || !Vela3D::Start(window, true) || !VelaTexture::Start()) {
    std::fprintf(stderr, "no device\n");
    return 1;
  }
  struct Size {
    std::uint32_t width, height;
  };
  const Size sizes[] = {{256, 256}, {640, 480}, {1000, 1000}, {2048, 2048}};

  std::printf("| image | texture | file KB | resolve | read | info | decode | scale | argb | dxt5 | encode | device | steps | load | "
              "sum of parts |\n|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (const Size& size : sizes) {
    const std::vector<std::uint8_t> png = MakePng(size.width, size.height);
    const std::string path =
        WriteTempFile("vela_bench_" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".png", png);
    const std::uint32_t tw = TextureSide(size.width, Vela3D::Caps().maxTextureWidth);
    const std::uint32_t th = TextureSide(size.height, Vela3D::Caps().maxTextureHeight);

    char resolved[kMaxPath];
    const double resolve = MedianMs(seconds, [&] { FileResolve(resolved, path.c_str()); });
    const double read = MedianMs(seconds, [&] {
      std::uint8_t* block = nullptr;
      std::uint32_t bytes = 0;
      FileLoad(path.c_str(), &block, &bytes);
      const PageBlock release(block);
    });
    codec::ImageInfo info;
    const double infoMs = MedianMs(seconds, [&] { codec::GetImageInfoFromMemory(png.data(), png.size(), info); });
    codec::ArgbImage decoded;
    const double decode = MedianMs(seconds, [&] { codec::DecodeImage(codec::ByteSpan(png.data(), png.size()), decoded); });
    std::vector<float> row(std::size_t{tw} * 4);
    const double scale = MedianMs(seconds, [&] {
      codec::TriangleScaler scaler(decoded, tw, th);
      for (std::uint32_t y = 0; y < th; ++y) scaler.Row(y, row.data());
    });
    Pixels argb = Argb(tw, th);
    const double argbMs = MedianMs(seconds, [&] {
      codec::LoadSurfaceFromMemory(argb.View(codec::PixelFormat::kA8R8G8B8), nullptr, png.data(), png.size(), 0);
    });
    Pixels dxt = Dxt5(tw, th);
    const double dxtMs = MedianMs(seconds, [&] {
      codec::LoadSurfaceFromMemory(dxt.View(codec::PixelFormat::kDxt5), nullptr, png.data(), png.size(), 0);
    });
    const double encode = MedianMs(seconds, [&] { EncodeAll(argb, dxt); });
    bool deviceOk = true;
    const double device = MedianMs(seconds, [&] { deviceOk = DeviceStage(dxt) && deviceOk; });
    bool stepsOk = true;
    const double steps = MedianMs(seconds, [&] { stepsOk = LoadSteps(png, tw, th) && stepsOk; });
    bool loadOk = true;
    const double load = MedianMs(seconds, [&] {
      CTexture* texture = VelaTexture::Load(path.c_str(), FORMAT_TEXTURE_COMPRESSED, 0);
      loadOk = texture && texture->GetFormat() == D3DFMT_DXT5 && loadOk;
      VelaTexture::Release(texture);
    });
    DeleteFileA(path.c_str());
    std::printf("| %ux%u | %ux%u | %zu | %.2f | %.2f | %.3f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f%s | %.2f%s | %.2f%s | %.2f |\n",
                size.width, size.height, tw, th, png.size() / 1024, resolve, read, infoMs, decode, scale, argbMs, dxtMs,
                encode, device, deviceOk ? "" : " (failed)", steps, stepsOk ? "" : " (failed)", load, loadOk ? "" : " (failed)",
                resolve + read + infoMs + dxtMs + device);
    std::fflush(stdout);
  }
  VelaTexture::Stop();
  Vela3D::Release();
  DestroyWindow(window);
  return 0;
}
