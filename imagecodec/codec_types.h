// Vocabulary of the image codec: result codes, pixel formats, image file formats, the image
// information record and the surface views that the codec reads and writes.
//
// The numeric values are those of the Direct3D 9 and D3DX enumerations, so that the Direct3D
// glue converts with a plain cast; nothing here includes a Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::codec {

// HRESULT values (MAKE_HRESULT(1, facility, code) for the Direct3D ones).
enum class Result : std::uint32_t {
  kOk = 0x00000000,             // S_OK
  kNotImplemented = 0x80004001, // E_NOTIMPL: a format or operation the codec does not offer
  kFail = 0x80004005,           // E_FAIL
  kOutOfMemory = 0x8007000E,    // E_OUTOFMEMORY
  kInvalidCall = 0x8876086C,    // D3DERR_INVALIDCALL: bad arguments from the caller
  kInvalidData = 0x88760B59,    // D3DXERR_INVALIDDATA: the bytes are not a readable image
};

constexpr bool Succeeded(Result result) { return result == Result::kOk; }

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

// D3DFORMAT values.
enum class PixelFormat : std::uint32_t {
  kUnknown = 0,
  kR8G8B8 = 20,
  kA8R8G8B8 = 21,
  kX8R8G8B8 = 22,
  kR5G6B5 = 23,
  kX1R5G5B5 = 24,
  kA1R5G5B5 = 25,
  kA4R4G4B4 = 26,
  kR3G3B2 = 27,
  kA8 = 28,
  kA8R3G3B2 = 29,
  kX4R4G4B4 = 30,
  kA2B10G10R10 = 31,
  kA8B8G8R8 = 32,
  kX8B8G8R8 = 33,
  kA2R10G10B10 = 35,
  kA16B16G16R16 = 36,
  kP8 = 41,
  kL8 = 50,
  kA8L8 = 51,
  kA4L4 = 52,
  kL16 = 81,
  kDxt1 = MakeFourCC('D', 'X', 'T', '1'),
  kDxt2 = MakeFourCC('D', 'X', 'T', '2'),
  kDxt3 = MakeFourCC('D', 'X', 'T', '3'),
  kDxt4 = MakeFourCC('D', 'X', 'T', '4'),
  kDxt5 = MakeFourCC('D', 'X', 'T', '5'),
};

// D3DXIMAGE_FILEFORMAT values.
enum class FileFormat : std::uint32_t {
  kBmp = 0,
  kJpg = 1,
  kTga = 2,
  kPng = 3,
  kDds = 4,
  kPpm = 5,
  kDib = 6,
  kHdr = 7,
  kPfm = 8,
};

// D3DRESOURCETYPE values.
enum class ResourceType : std::uint32_t {
  kSurface = 1,
  kVolume = 2,
  kTexture = 3,
  kVolumeTexture = 4,
  kCubeTexture = 5,
};

// Layout-compatible with D3DXIMAGE_INFO: seven 32-bit fields in the same order.
struct ImageInfo {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t depth = 1;
  std::uint32_t mipLevels = 1;
  PixelFormat format = PixelFormat::kUnknown;
  ResourceType resourceType = ResourceType::kTexture;
  FileFormat fileFormat = FileFormat::kBmp;
};

// Pixels that the codec writes: a locked surface. `pitch` is the distance in bytes from one row
// to the next; for block-compressed formats, from one row of 4 x 4 blocks to the next.
struct SurfaceView {
  PixelFormat format = PixelFormat::kUnknown;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::ptrdiff_t pitch = 0;
  std::uint8_t* bits = nullptr;
};

// Pixels that the codec reads, as above.
struct ConstSurfaceView {
  PixelFormat format = PixelFormat::kUnknown;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::ptrdiff_t pitch = 0;
  const std::uint8_t* bits = nullptr;

  ConstSurfaceView() = default;
  ConstSurfaceView(PixelFormat f, std::uint32_t w, std::uint32_t h, std::ptrdiff_t p,
                   const std::uint8_t* b)
      : format(f), width(w), height(h), pitch(p), bits(b) {}
  ConstSurfaceView(const SurfaceView& v)  // NOLINT: a writable view is also readable
      : format(v.format), width(v.width), height(v.height), pitch(v.pitch), bits(v.bits) {}
};

// A rectangle in pixels, right and bottom exclusive (as RECT).
struct PixelRect {
  std::uint32_t left = 0;
  std::uint32_t top = 0;
  std::uint32_t right = 0;
  std::uint32_t bottom = 0;
};

}  // namespace vela::codec
