// A JPEG and a PNG wider than the device's largest texture (the JPEG also of more pixels than an
// image held whole may have) load scaled down, show their picture, in bounded peak memory.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/jpeg_writer.h"
#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr std::uint32_t kBackground = 0x203040;
constexpr std::uint32_t kBands[4] = {kRed, kGreen, kBlue, kWhite};
// The texture is 16384 wide, the device's largest. Wide rather than tall: the texture, whose
// encoding is most of the load's time, stays small beside the image.
constexpr std::uint32_t kImageWidth = 33000;

// One row of four equal vertical bands, red, green, blue and white, as A8R8G8B8 words.
std::vector<std::uint32_t> BandRow() {
  std::vector<std::uint32_t> row(kImageWidth);
  for (std::uint32_t x = 0; x < kImageWidth; ++x) row[x] = kBands[x * 4 / kImageWidth];
  return row;
}

std::vector<std::uint8_t> BandJpeg(std::uint32_t height) {
  const std::vector<std::uint32_t> row = BandRow();
  return vela::host::WriteJpeg({kImageWidth, height, vela::host::JpegSamples::kBgrx},
                               [&](std::uint32_t, std::uint8_t* out) { std::memcpy(out, row.data(), row.size() * 4); });
}

void AppendBytes(png_structp png, png_bytep data, png_size_t count) {
  auto* file = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  file->insert(file->end(), data, data + count);
}

std::vector<std::uint8_t> BandPng(std::uint32_t height) {
  std::vector<std::uint8_t> file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &file, AppendBytes, nullptr);
  png_set_IHDR(png, info, kImageWidth, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);  // the rows are A8R8G8B8 words: B, G, R, A bytes
  std::vector<std::uint32_t> row = BandRow();
  for (std::uint32_t y = 0; y < height; ++y) png_write_row(png, reinterpret_cast<png_bytep>(row.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}

// Under Wine the peak working set is Linux's high-water mark of resident memory, which writing
// 5 to the process's clear_refs resets; where that cannot be done, the peak since the start
// only overstates the load's own.
void ResetPeakWorkingSet() {
  const HANDLE file = CreateFileW(L"Z:\\proc\\self\\clear_refs", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, "5", 1, &written, nullptr);
  CloseHandle(file);
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters = {};
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

class TextureOversizeWindow : public PluginWindowTest {
 protected:
  TextureOversizeWindow() : PluginWindowTest(u"Vela oversized texture test", 320, 240) {}

};

TEST_F(TextureOversizeWindow, WideJpegAndPngLoadScaledDownWithinBoundedMemory) {
  struct Case {
    const char16_t* name;
    std::vector<std::uint8_t> (*make)(std::uint32_t);
    std::uint32_t height;  // 33000 x 1024 is 33.8 million pixels, 135 MB as A8R8G8B8
  } cases[] = {{u"vela_oversize.jpg", BandJpeg, 1024}, {u"vela_oversize.png", BandPng, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    const FileBesideExecutable file(c.name, c.make(c.height));
    ResetPeakWorkingSet();
    const SIZE_T baseline = Memory().WorkingSetSize;
    const std::uint32_t handle = Load(c.name);
    const SIZE_T peak = Memory().PeakWorkingSetSize;
    ASSERT_NE(handle, 0u);
    // The textures (16384 x 1024 or x 256, DXT5: 16 MB or 4 MB, held in system memory and again
    // by the device) and the file, but never the decoded picture.
    EXPECT_LT(peak - baseline, SIZE_T{200} << 20) << "peak " << (peak >> 20) << " MB";

    const CapturedImage drawn = Show(kBackground, [&] {
      host.ClearStack();
      host.PushWord(handle).PushRect(0, 0, 320, 240).PushRect(0, 0, kImageWidth, static_cast<float>(c.height));
      EXPECT_EQ(Call("TextureDraw"), 36);
    });
    for (int band = 0; band < 4; ++band) EXPECT_PIXEL(drawn, 40 + band * 80, 120, kBands[band], 12);
    CallWithHandle("TextureRelease", handle);
  }
}

}  // namespace
