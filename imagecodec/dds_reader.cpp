// DDS: the top-level image of uncompressed masked RGB, ARGB and alpha-only files (the formats of
// pixel_format.h, matched by their masks) and of DXT1 to DXT5 files. Of cube maps and volumes
// the first face or slice is read. The header's pitch field is not trusted: the data size follows
// from the format, width and height, and must be in the file.
#include "imagecodec/dds_format.h"
#include "imagecodec/image_limits.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/surface_reader.h"

namespace vela::codec {
namespace {

struct DdsHeader {
  std::uint32_t flags = 0, height = 0, width = 0, depth = 0, mipCount = 0;
  std::uint32_t pixelFlags = 0, fourCC = 0, bitCount = 0;
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
  std::uint32_t caps2 = 0;
};

bool ReadHeader(ByteSpan file, DdsHeader& header) {
  std::uint32_t magic = 0, size = 0;
  return file.Le32(0, magic) && magic == dds::kMagic && file.Le32(dds::kSizeOffset, size) &&
         size == dds::kHeaderSize && file.Le32(dds::kFlagsOffset, header.flags) &&
         file.Le32(dds::kHeightOffset, header.height) && file.Le32(dds::kWidthOffset, header.width) &&
         file.Le32(dds::kDepthOffset, header.depth) && file.Le32(dds::kMipCountOffset, header.mipCount) &&
         file.Le32(dds::kPixelFlagsOffset, header.pixelFlags) && file.Le32(dds::kFourCCOffset, header.fourCC) &&
         file.Le32(dds::kBitCountOffset, header.bitCount) && file.Le32(dds::kRedMaskOffset, header.redMask) &&
         file.Le32(dds::kGreenMaskOffset, header.greenMask) && file.Le32(dds::kBlueMaskOffset, header.blueMask) &&
         file.Le32(dds::kAlphaMaskOffset, header.alphaMask) && file.Le32(dds::kCaps2Offset, header.caps2);
}

PixelFormat FormatOf(const DdsHeader& header) {
  if (header.pixelFlags & dds::kFourCC) {
    switch (static_cast<PixelFormat>(header.fourCC)) {
      case PixelFormat::kDxt1:
      case PixelFormat::kDxt2:
      case PixelFormat::kDxt3:
      case PixelFormat::kDxt4:
      case PixelFormat::kDxt5:
        return static_cast<PixelFormat>(header.fourCC);
      default:
        return PixelFormat::kUnknown;
    }
  }
  const std::uint32_t alphaMask =
      header.pixelFlags & (dds::kAlphaPixels | dds::kAlphaOnly) ? header.alphaMask : 0;
  if (header.pixelFlags & dds::kRgb) {
    return FindFormatByMasks(header.bitCount, header.redMask, header.greenMask, header.blueMask, alphaMask);
  }
  if (header.pixelFlags & dds::kAlphaOnly) return FindFormatByMasks(header.bitCount, 0, 0, 0, alphaMask);
  return PixelFormat::kUnknown;
}

// Reads and checks the header; `surface` views the top-level image inside the file.
Result Open(ByteSpan file, DdsHeader& header, ConstSurfaceView& surface) {
  if (!ReadHeader(file, header) || !ImageSizeAllowed(header.width, header.height)) return Result::kInvalidData;
  const PixelFormat format = FormatOf(header);
  const FormatLayout* layout = FindFormatLayout(format);
  if (!layout) return Result::kNotImplemented;
  std::size_t pitch = 0, bytes = 0;
  if (!MinimumPitch(*layout, header.width, pitch) ||
      !CheckedMultiply(pitch, StorageRows(*layout, header.height), bytes) ||
      !file.Holds(dds::kDataOffset, bytes)) {
    return Result::kInvalidData;
  }
  surface = ConstSurfaceView(format, header.width, header.height, static_cast<std::ptrdiff_t>(pitch),
                             file.data + dds::kDataOffset);
  return Result::kOk;
}

}  // namespace

bool LooksLikeDds(ByteSpan file) {
  std::uint32_t magic = 0;
  return file.Le32(0, magic) && magic == dds::kMagic;
}

Result ViewDdsSurface(ByteSpan file, ConstSurfaceView& surface) {
  DdsHeader header;
  return Open(file, header, surface);
}

Result ReadDdsInfo(ByteSpan file, ImageInfo& info) {
  DdsHeader header;
  ConstSurfaceView surface;
  if (const Result opened = Open(file, header, surface); !Succeeded(opened)) return opened;
  info = ImageInfo{};
  info.width = header.width;
  info.height = header.height;
  info.format = surface.format;
  info.fileFormat = FileFormat::kDds;
  info.mipLevels = (header.flags & dds::kMipMapCount) && header.mipCount > 0 ? header.mipCount : 1;
  if (header.caps2 & dds::kCaps2Volume) {
    info.resourceType = ResourceType::kVolumeTexture;
    info.depth = (header.flags & dds::kDepth) && header.depth > 0 ? header.depth : 1;
  } else if (header.caps2 & dds::kCaps2CubeMap) {
    info.resourceType = ResourceType::kCubeTexture;
  }
  return Result::kOk;
}

Result DecodeDds(ByteSpan file, ArgbImage& image) {
  DdsHeader header;
  ConstSurfaceView surface;
  if (const Result opened = Open(file, header, surface); !Succeeded(opened)) return opened;
  return ReadSurface(surface, image);
}

}  // namespace vela::codec
