// Vela3DCaps: the device's capability summary. Every flag is one byte (0 or 1) copied from a
// D3DCAPS9 bit, every number a 32-bit value copied unchanged (floats stay floats). Filled from
// the adapter at initialise and again from the device after it is created.
#pragma once

#include <cstdint>

namespace vela {

struct Vela3DCaps {
  // DevCaps
  std::uint8_t pureDevice;
  std::uint8_t hardwareTransformAndLighting;
  std::uint8_t hardwareRasterization;
  std::uint32_t deviceType;
  // Filters, raster and Caps2
  std::uint8_t minifyAnisotropic;
  std::uint8_t magnifyAnisotropic;
  std::uint8_t dither;
  std::uint8_t depthBias;
  std::uint8_t wBuffer;
  std::uint8_t autoGenerateMipmap;
  // ZCmpCaps
  std::uint8_t zAlways, zEqual, zGreater, zGreaterEqual, zLess, zLessEqual, zNever, zNotEqual;
  // SrcBlendCaps and DestBlendCaps, in this order each: BLENDFACTOR, BOTHINVSRCALPHA,
  // BOTHSRCALPHA, DESTALPHA, DESTCOLOR, INVDESTALPHA, INVDESTCOLOR, INVSRCALPHA, INVSRCCOLOR,
  // ONE, SRCALPHA, SRCALPHASAT, SRCCOLOR, ZERO
  std::uint8_t sourceBlend[14];
  std::uint8_t destinationBlend[14];
  // TextureCaps
  std::uint8_t cubeMap, mipMap, perspective, pow2, squareOnly;
  // TextureAddressCaps
  std::uint8_t addressBorder, addressClamp, addressIndependentUV, addressMirror, addressMirrorOnce,
      addressWrap;
  std::uint32_t maxAnisotropy;
  std::uint32_t maxTextureWidth;
  std::uint32_t maxTextureHeight;
  std::uint32_t maxTextureRepeat;
  std::uint32_t maxTextureAspectRatio;
  // StencilCaps
  std::uint8_t stencilKeep, stencilZero, stencilReplace, stencilIncrSat, stencilDecrSat, stencilInvert,
      stencilIncr, stencilDecr, stencilTwoSided;
  float maxVertexW;
  float guardBandLeft;
  float guardBandTop;
  float guardBandRight;
  float guardBandBottom;
  float maxPointSize;
  std::uint32_t maxPrimitiveCount;
  std::uint32_t maxVertexIndex;
  std::uint32_t maxTextureBlendStages;
  std::uint32_t maxSimultaneousTextures;
  std::uint32_t maxActiveLights;
  std::uint32_t maxVertexBlendMatrices;
  std::uint32_t maxVertexBlendMatrixIndex;
  std::uint32_t vertexShaderVersion;
  std::uint32_t pixelShaderVersion;
  std::uint32_t maxVertexShaderConst;
  std::int32_t dynamicFlowControlDepth;
  std::int32_t staticFlowControlDepth;
};

}  // namespace vela
