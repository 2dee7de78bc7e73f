// The state cache: a shadow copy of the device's render, texture-stage and sampler states.
// A state is sent to the device only when its value changes, so that the many small draws of
// the 2D code cost no redundant Direct3D calls. On it sit the library's drawing conventions:
// the start-up defaults, the blending types, the filter switch and RenderStateSet.
//
// The cache talks to the device through StateDevice, which Vela3D implements on
// IDirect3DDevice9; the cache itself needs no Direct3D headers (tests give it a recording
// device). Stages and samplers 0-3 are cached; other stages, samplers and unlisted state
// numbers are ignored.
#pragma once

#include <cstdint>
#include <span>

namespace vela {

inline constexpr int kRenderStateSlots = 210;        // D3DRENDERSTATETYPE 0-209
inline constexpr int kTextureStageStateSlots = 33;   // D3DTEXTURESTAGESTATETYPE 0-32
inline constexpr int kSamplerStateSlots = 14;        // D3DSAMPLERSTATETYPE 0-13
inline constexpr int kCachedStages = 4;

// The state numbers Direct3D 9 defines: 103 render states, 18 texture-stage states and 13
// sampler states. Only these are read, written back and sent.
std::span<const std::uint32_t> ListedRenderStates();
std::span<const std::uint32_t> ListedTextureStageStates();
std::span<const std::uint32_t> ListedSamplerStates();

// The state numbers and values the cache itself sets (those of the D3D9 SDK).
namespace state {
inline constexpr std::uint32_t kZEnable = 7;
inline constexpr std::uint32_t kZWriteEnable = 14;
inline constexpr std::uint32_t kAlphaTestEnable = 15;
inline constexpr std::uint32_t kSrcBlend = 19;
inline constexpr std::uint32_t kDestBlend = 20;
inline constexpr std::uint32_t kCullMode = 22;
inline constexpr std::uint32_t kAlphaRef = 24;
inline constexpr std::uint32_t kAlphaFunc = 25;
inline constexpr std::uint32_t kAlphaBlendEnable = 27;
inline constexpr std::uint32_t kLighting = 137;

inline constexpr std::uint32_t kColorOp = 1;
inline constexpr std::uint32_t kColorArg1 = 2;
inline constexpr std::uint32_t kColorArg2 = 3;
inline constexpr std::uint32_t kAlphaOp = 4;
inline constexpr std::uint32_t kAlphaArg1 = 5;
inline constexpr std::uint32_t kAlphaArg2 = 6;

inline constexpr std::uint32_t kAddressU = 1;
inline constexpr std::uint32_t kAddressV = 2;
inline constexpr std::uint32_t kMagFilter = 5;
inline constexpr std::uint32_t kMinFilter = 6;
inline constexpr std::uint32_t kMipFilter = 7;
inline constexpr std::uint32_t kMaxAnisotropy = 10;

inline constexpr std::uint32_t kCullNone = 1;
inline constexpr std::uint32_t kCmpGreater = 5;
inline constexpr std::uint32_t kTopDisable = 1;
inline constexpr std::uint32_t kTopModulate = 4;
inline constexpr std::uint32_t kArgCurrent = 1;
inline constexpr std::uint32_t kArgTexture = 2;
inline constexpr std::uint32_t kAddressWrap = 1;
inline constexpr std::uint32_t kFilterPoint = 1;
inline constexpr std::uint32_t kFilterLinear = 2;
inline constexpr std::uint32_t kFilterAnisotropic = 3;

inline constexpr std::uint32_t kBlendZero = 1;
inline constexpr std::uint32_t kBlendOne = 2;
inline constexpr std::uint32_t kBlendSrcColor = 3;
inline constexpr std::uint32_t kBlendSrcAlpha = 5;
inline constexpr std::uint32_t kBlendInvSrcAlpha = 6;
inline constexpr std::uint32_t kBlendInvDestColor = 10;
}  // namespace state

// The device side of the cache.
class StateDevice {
 public:
  virtual std::uint32_t GetRenderState(std::uint32_t state) = 0;
  virtual void SetRenderState(std::uint32_t state, std::uint32_t value) = 0;
  virtual std::uint32_t GetTextureStageState(std::uint32_t stage, std::uint32_t type) = 0;
  virtual void SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) = 0;
  virtual std::uint32_t GetSamplerState(std::uint32_t sampler, std::uint32_t type) = 0;
  virtual void SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) = 0;

 protected:
  ~StateDevice() = default;
};

// A complete drawing state that Apply state set puts in place in one call.
struct RenderStateSet {
  std::uint32_t samplerStates[kCachedStages][kSamplerStateSlots];
  std::uint32_t textureStageStates[kCachedStages][kTextureStageStateSlots];
  std::uint32_t blendingType;
  bool alphaTest;   // alpha test GREATER than 8
  bool filter;      // bilinear (or anisotropic) instead of point sampling
  bool depthTest;   // D3DRS_ZENABLE
  bool depthWrite;  // D3DRS_ZWRITEENABLE
};

// What the texture filters may use, from the capability summary.
struct FilterCaps {
  bool magnifyAnisotropic = false;
  bool minifyAnisotropic = false;
  std::uint32_t maxAnisotropy = 1;
};

// Blending types 0-5: opaque, alpha, additive by alpha, additive, multiplicative, inverting.
inline constexpr std::uint32_t kBlendingTypeCount = 6;

class StateCache {
 public:
  StateCache();  // every slot unread (0xFFFFFFFF), no device

  // Reads every listed state from the device, sets the start-up defaults through the cache and
  // takes the default state set. The device stays attached until Detach.
  void Initialize(StateDevice& device, const FilterCaps& caps);
  void Detach() { device_ = nullptr; }
  bool Attached() const { return device_ != nullptr; }

  // Sends every listed state with its cached value, bypassing the comparison (after a reset).
  void WriteBack();

  void SetRenderState(std::uint32_t state, std::uint32_t value);
  void SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value);
  void SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value);

  // Cached values (0xFFFFFFFF for a slot outside the cache).
  std::uint32_t RenderState(std::uint32_t state) const;
  std::uint32_t TextureStageState(std::uint32_t stage, std::uint32_t type) const;
  std::uint32_t SamplerState(std::uint32_t sampler, std::uint32_t type) const;

  // Source then destination blend from the table; a type outside it changes nothing (false).
  bool SetBlendingType(std::uint32_t type);
  // Linear or anisotropic (as the caps allow) magnify and minify filters on samplers 0-3, or
  // point sampling. The mip filter is left alone. The texture inset is the caller's.
  void SetFilter(bool on);
  // Every field of the record through the cache (the texture inset is the caller's).
  void ApplyStateSet(const RenderStateSet& set);

  const RenderStateSet& DefaultStateSet() const { return defaults_; }

 private:
  StateDevice* device_ = nullptr;
  FilterCaps caps_;
  std::uint32_t renderStates_[kRenderStateSlots];
  std::uint32_t textureStageStates_[kCachedStages][kTextureStageStateSlots];
  std::uint32_t samplerStates_[kCachedStages][kSamplerStateSlots];
  RenderStateSet defaults_{};
};

// Whether a vertex-shader version (major, minor) needs software vertex processing on a device
// with these capabilities; a reported version of 0 means software.
bool NeedsSoftwareVertexProcessing(bool hardwareTransformAndLighting, std::uint32_t vertexShaderVersion,
                                   std::uint32_t major, std::uint32_t minor);

}  // namespace vela
