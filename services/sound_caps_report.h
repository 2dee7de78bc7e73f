// The sound device's capability report in the log: one line per capability flag that is set,
// then the device's limits. Pure text, so that it is checked natively on recorded values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vela {

// The fields of DSCAPS that the report names, with DSCAPS's flag values.
struct SoundCaps {
  static constexpr std::uint32_t kPrimaryMono = 0x1;
  static constexpr std::uint32_t kPrimaryStereo = 0x2;
  static constexpr std::uint32_t kPrimary8Bit = 0x4;
  static constexpr std::uint32_t kPrimary16Bit = 0x8;
  static constexpr std::uint32_t kEmulatedDriver = 0x20;
  static constexpr std::uint32_t kCertified = 0x40;
  static constexpr std::uint32_t kSecondaryMono = 0x100;
  static constexpr std::uint32_t kSecondaryStereo = 0x200;
  static constexpr std::uint32_t kSecondary8Bit = 0x400;
  static constexpr std::uint32_t kSecondary16Bit = 0x800;

  std::uint32_t flags = 0;
  std::uint32_t minSecondarySampleRate = 0;
  std::uint32_t maxSecondarySampleRate = 0;
  std::uint32_t maxHwMixingAllBuffers = 0;
  std::uint32_t maxHwMixingStaticBuffers = 0;
  std::uint32_t maxHwMixingStreamingBuffers = 0;
  std::uint32_t maxHw3DAllBuffers = 0;
  std::uint32_t maxHw3DStaticBuffers = 0;
  std::uint32_t maxHw3DStreamingBuffers = 0;
  std::uint32_t totalHwMemBytes = 0;
  std::uint32_t freeHwMemBytes = 0;
  std::uint32_t unlockTransferRateHwBuffers = 0;
  std::uint32_t playCpuOverheadSwBuffers = 0;
};

// The report's lines (UTF-8), without the heading line, in the order they are logged. Rates and
// memory sizes are divided by 1024 and printed with three decimals (44100 Hz: "43.066KHz").
std::vector<std::string> SoundCapsReport(const SoundCaps& caps);

}  // namespace vela
