// The image codec: what the library asks of image files, free of Win32.
//
//  - GetImageInfoFromMemory: size and pixel format of a PNG, JPEG, DDS, BMP or TGA file.
//  - LoadSurfaceFromMemory: decodes such a file, turns colour-keyed pixels into transparent
//    black, scales the whole image over the destination rectangle with the triangle filter and
//    writes it in the surface's format, dithered where the format has fewer bits. PNG and JPEG
//    stream through in bands of rows (surface_writer.h), so they may hold up to 2 Gi pixels of
//    any width; the other formats are decoded whole (image_limits.h).
//  - SaveToMemory: a surface as a BMP, PNG, TGA or DDS file.
// Not offered: saving JPEG, reading 12-bit JPEG, DDS formats beyond pixel_format.h (luminance,
// floating point, DX10 headers), mip levels and cube faces other than the first.
// Nothing here throws; failures answer the Direct3D result codes of codec_types.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imagecodec/codec_types.h"

namespace vela::codec {

// kInvalidCall for null or empty data, kInvalidData for bytes that are not a readable image.
Result GetImageInfoFromMemory(const void* data, std::size_t size, ImageInfo& info) noexcept;

// `destinationRect` null means the whole surface. `colorKey` 0 disables keying; otherwise source
// pixels equal to it (compared as A8R8G8B8) become 0x00000000 before scaling.
// Writable formats: A8R8G8B8, X8R8G8B8, R8G8B8, A8B8G8R8, X8B8G8R8, R5G6B5, X1R5G5B5,
// A1R5G5B5, A4R4G4B4, X4R4G4B4, R3G3B2, A8R3G3B2, A8, A2R10G10B10, A2B10G10R10, DXT1, DXT3,
// DXT5 (kNotImplemented for others). A DDS file whose top level has the destination's format and
// the rectangle's size is copied unchanged when no colour key is given.
Result LoadSurfaceFromMemory(const SurfaceView& destination, const PixelRect* destinationRect,
                             const void* data, std::size_t size, std::uint32_t colorKey) noexcept;

// Replaces `file` with the surface written as `format` (kBmp, kPng, kTga or kDds; others answer
// kNotImplemented). BMP, PNG and TGA get 8 bits per channel, with alpha when the surface's format
// has alpha; DDS keeps the surface's own format and bytes.
Result SaveToMemory(FileFormat format, const ConstSurfaceView& surface,
                    std::vector<std::uint8_t>& file) noexcept;

}  // namespace vela::codec
