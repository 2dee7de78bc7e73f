// The texture load path: TextureLoad's whole road (VelaTexture::Load and Release) beside the
// decoding of the same file alone, for PNG and JPEG images of a few sizes, and the parts between.
//
// Columns, each the median of repeated runs of that stage alone (decode and load in turn, so
// that their ratio is measured side by side):
//   read     VelaFile's FileLoad of the whole file into a page block
//   decode   the whole file into A8R8G8B8 pixels, nothing else
//   encode   DXT5 encoding alone on one thread, from pixels already decoded (images of the
//            texture's size only): with decode, what the two cores have to share
//   dxt5     the codec's whole work: the file decoded, scaled to the texture size and DXT5-encoded
//            into a buffer in memory (LoadSurfaceFromMemory)
//   device   two textures made (system memory and default pool), the DXT5 level copied in, and
//            UpdateTexture: what the device costs apart from our codec
//   load     VelaTexture::Load and Release: the whole path as TextureLoad runs it
//   load/decode  how many times the decoding alone the whole load takes
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
#include <memory>
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
#include "imagecodec/surface_writer.h"
#include "host/jpeg_writer.h"

#if __has_include("imagecodec/row_source.h")
#include "imagecodec/row_source.h"
#define VELA_BENCH_HAS_ROW_SOURCE 1
#endif

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

// The medians of two stages run in turn, one after the other, for twice the time: a slow moment
// of the machine falls on both alike, so their ratio holds where separate runs scatter.
template <typename First, typename Second>
void AlternatingMedianMs(double seconds, First first, Second second, double& firstMs, double& secondMs) {
  std::vector<double> times[2];
  const double end = Now() + 2 * seconds;
  while (times[0].size() < 3 || (Now() < end && times[0].size() < 1000)) {
    double start = Now();
    first();
    times[0].push_back((Now() - start) * 1000.0);
    start = Now();
    second();
    times[1].push_back((Now() - start) * 1000.0);
  }
  for (auto& t : times) std::sort(t.begin(), t.end());
  firstMs = times[0][times[0].size() / 2];
  secondMs = times[1][times[1].size() / 2];
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

// The same picture as a baseline JPEG (quality 90, 4:2:0), written row by row.
std::vector<std::uint8_t> MakeJpeg(std::uint32_t width, std::uint32_t height) {
  std::uint32_t seed = 12345;
  return host::WriteJpeg({width, height, host::JpegSamples::kRgb, 90}, [&](std::uint32_t y, std::uint8_t* row) {
    const double fy = static_cast<double>(y) / height;
    for (std::uint32_t x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 28) - 8;
      const double fx = static_cast<double>(x) / width;
      const double disc = std::exp(-((fx - 0.4) * (fx - 0.4) + (fy - 0.6) * (fy - 0.6)) * 12.0);
      const auto channel = [&](double v) { return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v * 255.0) + grain, 0, 255)); };
      row[x * 3] = channel(fx);
      row[x * 3 + 1] = channel(0.3 + 0.6 * disc * fy);
      row[x * 3 + 2] = channel(1.0 - fy);
    }
  });
}

// The whole file decoded; an image too large to be held whole is decoded row by row where the
// codec can do that.
bool Decode(const std::vector<std::uint8_t>& file) {
  const codec::ByteSpan bytes(file.data(), file.size());
  codec::ArgbImage decoded;
  if (codec::Succeeded(codec::DecodeImage(bytes, decoded))) return true;
#ifdef VELA_BENCH_HAS_ROW_SOURCE
  std::unique_ptr<codec::RowSource> source;
  if (!codec::Succeeded(codec::OpenRowSource(bytes, UINT32_MAX, UINT32_MAX, source))) return false;
  std::vector<std::uint32_t> row(source->width());
  for (std::uint32_t y = 0; y < source->height(); ++y) {
    if (!source->ReadRow(row.data())) return false;
  }
  return true;
#else
  return false;
#endif
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

Pixels Dxt5(std::uint32_t width, std::uint32_t height) {
  const std::uint32_t pitch = std::max(1u, (width + 3) / 4) * 16;
  return {width, height, pitch, std::vector<std::uint8_t>(std::size_t{pitch} * std::max(1u, (height + 3) / 4))};
}

// The decoded picture encoded into `dxt` on this thread only; 0 for an image to be scaled.
double EncodeMs(double seconds, const std::vector<std::uint8_t>& file, Pixels& dxt) {
  codec::ArgbImage image;
  if (!codec::Succeeded(codec::DecodeImage(codec::ByteSpan(file.data(), file.size()), image)) ||
      image.width() != dxt.width || image.height() != dxt.height) {
    return 0.0;
  }
  const codec::PixelRect whole{0, 0, dxt.width, dxt.height};
  return MedianMs(seconds, [&] {
    codec::ImageRows rows(image);
    codec::WriteImage(rows, dxt.View(codec::PixelFormat::kDxt5), whole, codec::EncoderThreads::kCaller);
  });
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
  const double secondsPerStage = argc > 1 ? std::atof(argv[1]) : 1.0;
  HWND window = MakeWindow();
  if (!Vela3D::Initialize() || !Vela3D::Start(window, true) || !VelaTexture::Start()) {
    std::fprintf(stderr, "no device\n");
    return 1;
  }
  struct Case {
    const char* kind;
    std::uint32_t width, height;
  };
  const Case cases[] = {{"png", 256, 256},   {"png", 640, 480},   {"png", 1000, 1000}, {"png", 1024, 1024},
                        {"png", 2048, 2048}, {"jpg", 1024, 1024}, {"jpg", 2048, 2048}, {"jpg", 8000, 6000}};

  std::printf("| image | texture | file KB | read | decode | encode | dxt5 | device | load | load/decode |\n"
              "|---|---|---|---|---|---|---|---|---|---|\n");
  for (const Case& c : cases) {
    const bool jpeg = std::strcmp(c.kind, "jpg") == 0;
    const std::vector<std::uint8_t> file = jpeg ? MakeJpeg(c.width, c.height) : MakePng(c.width, c.height);
    const std::string path = WriteTempFile(
        "vela_bench_" + std::to_string(c.width) + "x" + std::to_string(c.height) + "." + c.kind, file);
    const std::uint32_t tw = TextureSide(c.width, Vela3D::Caps().maxTextureWidth);
    const std::uint32_t th = TextureSide(c.height, Vela3D::Caps().maxTextureHeight);
    // The big JPEG is timed a few times only, whatever the seconds asked for.
    const double seconds = c.width * c.height > 16'000'000 ? 0.0 : secondsPerStage;

    const double read = MedianMs(seconds, [&] {
      std::uint8_t* block = nullptr;
      std::uint32_t bytes = 0;
      FileLoad(path.c_str(), &block, &bytes);
      const PageBlock release(block);
    });
    bool decodeOk = true;
    Pixels dxt = Dxt5(tw, th);
    const double encode = EncodeMs(seconds, file, dxt);
    bool dxtOk = true;
    const double dxtMs = MedianMs(seconds, [&] {
      dxtOk = codec::Succeeded(codec::LoadSurfaceFromMemory(dxt.View(codec::PixelFormat::kDxt5), nullptr, file.data(),
                                                            file.size(), 0));
    });
    bool deviceOk = true;
    const double device = MedianMs(seconds, [&] { deviceOk = DeviceStage(dxt) && deviceOk; });
    bool loadOk = true;
    double decode = 0, load = 0;
    AlternatingMedianMs(
        seconds, [&] { decodeOk = Decode(file) && decodeOk; },
        [&] {
          CTexture* texture = VelaTexture::Load(path.c_str(), FORMAT_TEXTURE_COMPRESSED, 0);
          loadOk = texture && texture->GetFormat() == D3DFMT_DXT5 && loadOk;
          VelaTexture::Release(texture);
        },
        decode, load);
    DeleteFileA(path.c_str());
    const auto mark = [](bool ok) { return ok ? "" : " (failed)"; };
    char encoded[16] = "";
    if (encode > 0) std::snprintf(encoded, sizeof encoded, "%.1f", encode);
    std::printf("| %ux%u %s | %ux%u | %zu | %.1f | %.1f%s | %s | %.1f%s | %.1f%s | %.1f%s | %.2f |\n", c.width, c.height,
                c.kind, tw, th, file.size() / 1024, read, decode, mark(decodeOk), encoded, dxtMs, mark(dxtOk), device,
                mark(deviceOk), load, mark(loadOk), load / decode);
    std::fflush(stdout);
  }
  VelaTexture::Stop();
  Vela3D::Release();
  DestroyWindow(window);
  return 0;
}
