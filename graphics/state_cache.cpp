#include "graphics/state_cache.h"

#include <array>
#include <cstring>

namespace vela {
namespace {

constexpr std::array<std::uint32_t, 103> kListedRenderStates = {
    7,   8,   9,   14,  15,  16,  19,  20,  22,  23,  24,  25,  26,  27,  28,  29,  34,  35,  36,
    37,  38,  48,  52,  53,  54,  55,  56,  57,  58,  59,  60,  128, 129, 130, 131, 132, 133, 134,
    135, 136, 137, 139, 140, 141, 142, 143, 145, 146, 147, 148, 151, 152, 154, 155, 156, 157, 158,
    159, 160, 161, 162, 163, 165, 166, 167, 168, 170, 171, 172, 173, 174, 175, 176, 178, 179, 180,
    181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 198, 199, 200, 201,
    202, 203, 204, 205, 206, 207, 208, 209};
constexpr std::array<std::uint32_t, 18> kListedTextureStageStates = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 22, 23, 24, 26, 27, 28, 32};
constexpr std::array<std::uint32_t, 13> kListedSamplerStates = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

struct BlendPair {
  std::uint32_t source;
  std::uint32_t destination;
};

using namespace state;

constexpr std::array<BlendPair, kBlendingTypeCount> kBlendingTypes = {{
    {kBlendOne, kBlendZero},
    {kBlendSrcAlpha, kBlendInvSrcAlpha},
    {kBlendSrcAlpha, kBlendOne},
    {kBlendOne, kBlendOne},
    {kBlendZero, kBlendSrcColor},
    {kBlendInvDestColor, kBlendZero},
}};

constexpr std::uint32_t kUnread = 0xFFFFFFFFu;
constexpr std::uint32_t kAlphaTestReference = 8;

}  // namespace

std::span<const std::uint32_t> ListedRenderStates() { return kListedRenderStates; }
std::span<const std::uint32_t> ListedTextureStageStates() { return kListedTextureStageStates; }
std::span<const std::uint32_t> ListedSamplerStates() { return kListedSamplerStates; }

StateCache::StateCache() {
  std::memset(renderStates_, 0xFF, sizeof renderStates_);
  std::memset(textureStageStates_, 0xFF, sizeof textureStageStates_);
  std::memset(samplerStates_, 0xFF, sizeof samplerStates_);
}

void StateCache::Initialize(StateDevice& device, const FilterCaps& caps) {
  *this = StateCache();
  device_ = &device;
  caps_ = caps;
  for (std::uint32_t state : kListedRenderStates) renderStates_[state] = device.GetRenderState(state);
  for (std::uint32_t stage = 0; stage < kCachedStages; ++stage) {
    for (std::uint32_t type : kListedTextureStageStates) {
      textureStageStates_[stage][type] = device.GetTextureStageState(stage, type);
    }
  }
  for (std::uint32_t sampler = 0; sampler < kCachedStages; ++sampler) {
    for (std::uint32_t type : kListedSamplerStates) {
      samplerStates_[sampler][type] = device.GetSamplerState(sampler, type);
    }
  }

  // 2D drawing: no lighting, no depth, no culling, alpha blending on.
  SetRenderState(kLighting, 0);
  SetRenderState(kZEnable, 0);
  SetRenderState(kZWriteEnable, 0);
  SetRenderState(kAlphaBlendEnable, 1);
  SetRenderState(kAlphaTestEnable, 0);
  SetRenderState(kCullMode, kCullNone);
  // Stage 0 modulates the texture by the vertex colour; the other stages are off.
  for (std::uint32_t stage = 0; stage < kCachedStages; ++stage) {
    SetSamplerState(stage, kAddressU, kAddressWrap);
    SetSamplerState(stage, kAddressV, kAddressWrap);
    SetSamplerState(stage, kMagFilter, kFilterLinear);
    SetSamplerState(stage, kMinFilter, kFilterLinear);
    SetSamplerState(stage, kMipFilter, kFilterLinear);
    SetSamplerState(stage, kMaxAnisotropy, caps.maxAnisotropy);
    const std::uint32_t operation = stage == 0 ? kTopModulate : kTopDisable;
    SetTextureStageState(stage, kColorOp, operation);
    SetTextureStageState(stage, kColorArg1, kArgTexture);
    SetTextureStageState(stage, kColorArg2, kArgCurrent);
    SetTextureStageState(stage, kAlphaOp, operation);
    SetTextureStageState(stage, kAlphaArg1, kArgTexture);
    SetTextureStageState(stage, kAlphaArg2, kArgCurrent);
  }

  std::memcpy(defaults_.samplerStates, samplerStates_, sizeof samplerStates_);
  std::memcpy(defaults_.textureStageStates, textureStageStates_, sizeof textureStageStates_);
  defaults_.blendingType = 0;
  defaults_.alphaTest = true;
  defaults_.filter = true;
  defaults_.depthTest = true;
  defaults_.depthWrite = true;
}

void StateCache::WriteBack() {
  if (!device_) return;
  for (std::uint32_t state : kListedRenderStates) device_->SetRenderState(state, renderStates_[state]);
  for (std::uint32_t stage = 0; stage < kCachedStages; ++stage) {
    for (std::uint32_t type : kListedTextureStageStates) {
      device_->SetTextureStageState(stage, type, textureStageStates_[stage][type]);
    }
  }
  for (std::uint32_t sampler = 0; sampler < kCachedStages; ++sampler) {
    for (std::uint32_t type : kListedSamplerStates) {
      device_->SetSamplerState(sampler, type, samplerStates_[sampler][type]);
    }
  }
}

void StateCache::SetRenderState(std::uint32_t state, std::uint32_t value) {
  if (state >= kRenderStateSlots || renderStates_[state] == value) return;
  renderStates_[state] = value;
  if (device_) device_->SetRenderState(state, value);
}

void StateCache::SetTextureStageState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
  if (stage >= kCachedStages || type >= kTextureStageStateSlots) return;
  if (textureStageStates_[stage][type] == value) return;
  textureStageStates_[stage][type] = value;
  if (device_) device_->SetTextureStageState(stage, type, value);
}

void StateCache::SetSamplerState(std::uint32_t sampler, std::uint32_t type, std::uint32_t value) {
  if (sampler >= kCachedStages || type >= kSamplerStateSlots) return;
  if (samplerStates_[sampler][type] == value) return;
  samplerStates_[sampler][type] = value;
  if (device_) device_->SetSamplerState(sampler, type, value);
}

std::uint32_t StateCache::RenderState(std::uint32_t state) const {
  return state < kRenderStateSlots ? renderStates_[state] : kUnread;
}

std::uint32_t StateCache::TextureStageState(std::uint32_t stage, std::uint32_t type) const {
  return stage < kCachedStages && type < kTextureStageStateSlots ? textureStageStates_[stage][type] : kUnread;
}

std::uint32_t StateCache::SamplerState(std::uint32_t sampler, std::uint32_t type) const {
  return sampler < kCachedStages && type < kSamplerStateSlots ? samplerStates_[sampler][type] : kUnread;
}

bool StateCache::SetBlendingType(std::uint32_t type) {
  if (type >= kBlendingTypes.size()) return false;
  SetRenderState(kSrcBlend, kBlendingTypes[type].source);
  SetRenderState(kDestBlend, kBlendingTypes[type].destination);
  return true;
}

void StateCache::SetFilter(bool on) {
  const std::uint32_t magnify = !on ? kFilterPoint : caps_.magnifyAnisotropic ? kFilterAnisotropic : kFilterLinear;
  const std::uint32_t minify = !on ? kFilterPoint : caps_.minifyAnisotropic ? kFilterAnisotropic : kFilterLinear;
  for (std::uint32_t sampler = 0; sampler < kCachedStages; ++sampler) {
    SetSamplerState(sampler, kMagFilter, magnify);
    SetSamplerState(sampler, kMinFilter, minify);
  }
}

void StateCache::ApplyStateSet(const RenderStateSet& set) {
  SetBlendingType(set.blendingType);
  SetFilter(set.filter);
  SetRenderState(kAlphaBlendEnable, 1);
  if (set.alphaTest) {
    SetRenderState(kAlphaTestEnable, 1);
    SetRenderState(kAlphaFunc, kCmpGreater);
    SetRenderState(kAlphaRef, kAlphaTestReference);
  } else {
    SetRenderState(kAlphaTestEnable, 0);
  }
  SetRenderState(kZEnable, set.depthTest ? 1 : 0);
  SetRenderState(kZWriteEnable, set.depthWrite ? 1 : 0);
  for (std::uint32_t stage = 0; stage < kCachedStages; ++stage) {
    for (std::uint32_t type : kListedTextureStageStates) {
      SetTextureStageState(stage, type, set.textureStageStates[stage][type]);
    }
    for (std::uint32_t type : kListedSamplerStates) {
      SetSamplerState(stage, type, set.samplerStates[stage][type]);
    }
  }
}

bool NeedsSoftwareVertexProcessing(bool hardwareTransformAndLighting, std::uint32_t vertexShaderVersion,
                                   std::uint32_t major, std::uint32_t minor) {
  const std::uint32_t requested = 0xFFFE0000u | major << 8 | minor;
  return !(hardwareTransformAndLighting && requested <= vertexShaderVersion);
}

}  // namespace vela
