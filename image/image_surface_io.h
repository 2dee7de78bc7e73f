// Direct3D surfaces and textures filled from and saved to image files through our own codec
// (imagecodec/), in place of the D3DX image functions. The codec knows nothing of Direct3D; this
// is where its views meet locked surfaces.
//
//  - LoadSurfaceFromFileInMemory: the whole image, scaled with the triangle filter and dithered
//    where the surface's format has fewer bits, over `destinationRect` (null: the whole
//    surface), written in the surface's own format. A surface that cannot be locked (default
//    pool, not dynamic) is filled through a system-memory surface of the same format and
//    UpdateSurface.
//  - SaveTextureToFile: level 0 of a lockable texture (system memory, managed, dynamic) written
//    as a BMP, PNG, TGA or DDS file. Default-pool textures that cannot be locked answer the
//    lock's failure: the texture objects save their system-memory copy.
// Failures answer the codec's and Direct3D's result codes; nothing throws.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "imagecodec/codec_types.h"

namespace vela {

HRESULT LoadSurfaceFromFileInMemory(IDirect3DSurface9* surface, const RECT* destinationRect, const void* data,
                                    UINT size, D3DCOLOR colorKey);

// `fileName` in the system code page; a relative name lands in the host executable's folder.
HRESULT SaveTextureToFile(const char* fileName, codec::FileFormat fileFormat, IDirect3DBaseTexture9* texture);

}  // namespace vela
