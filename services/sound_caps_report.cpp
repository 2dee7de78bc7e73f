#include "services/sound_caps_report.h"

#include <cstdio>

namespace vela {
namespace {

struct FlagLine {
  std::uint32_t flag;
  const char* text;
};

constexpr FlagLine kFlagLines[] = {
    {SoundCaps::kCertified, "　　・Microsoftでテストされ、認定されている"},
    {SoundCaps::kEmulatedDriver, "　　・DirectSound ドライバがインストールされていない"},
    {SoundCaps::kPrimary16Bit, "　　・１６ビット サンプリングのプライマリ バッファをサポートする"},
    {SoundCaps::kPrimary8Bit, "　　・８ビット サンプリングのプライマリ バッファをサポートする"},
    {SoundCaps::kPrimaryMono, "　　・モノラルのプライマリ バッファをサポートする"},
    {SoundCaps::kPrimaryStereo, "　　・ステレオのプライマリ バッファをサポートする"},
    {SoundCaps::kSecondary16Bit,
     "　　・１６ビット サンプリングでハードウェア ミキシングのセカンダリ サウンド バッファをサポートする"},
    {SoundCaps::kSecondary8Bit, "　　・８ビット サンプリングでハードウェア ミキシングのセカンダリ バッファをサポートする"},
    {SoundCaps::kSecondaryMono, "　　・ハードウェア ミキシングのモノラル セカンダリ バッファをサポートする"},
    {SoundCaps::kSecondaryStereo, "　　・ハードウェア ミキシングのステレオ セカンダリ バッファをサポートする"},
};

std::string Format(const char* format, double value) {
  char line[256];
  std::snprintf(line, sizeof line, format, value);
  return line;
}

std::string Format(const char* format, unsigned value) {
  char line[256];
  std::snprintf(line, sizeof line, format, value);
  return line;
}

double Kilo(std::uint32_t value) { return static_cast<double>(value) * (1.0 / 1024.0); }

}  // namespace

std::vector<std::string> SoundCapsReport(const SoundCaps& caps) {
  std::vector<std::string> lines;
  for (const FlagLine& line : kFlagLines) {
    if (caps.flags & line.flag) lines.emplace_back(line.text);
  }
  lines.push_back(Format("　　　最小サンプリング レート [%.3lfKHz]", Kilo(caps.minSecondarySampleRate)));
  lines.push_back(Format("　　　最大サンプリング レート [%.3lfKHz]", Kilo(caps.maxSecondarySampleRate)));
  lines.push_back(Format("　　　最大ハードウェアミキシング可能数 [%u] ", caps.maxHwMixingAllBuffers));
  lines.push_back(Format("　　　最大スタティックバッファ数 [%u] ", caps.maxHwMixingStaticBuffers));
  lines.push_back(Format("　　　最大ストリーミングバッファ数 [%u] ", caps.maxHwMixingStreamingBuffers));
  lines.push_back(Format("　　　最大３Ｄバッファ数 [%u] ", caps.maxHw3DAllBuffers));
  lines.push_back(Format("　　　最大３Ｄスタティックバッファ数 [%u] ", caps.maxHw3DStaticBuffers));
  lines.push_back(Format("　　　最大３Ｄストリーミングバッファ数 [%u] ", caps.maxHw3DStreamingBuffers));
  lines.push_back(Format("　　　最大スタティックバッファメモリ容量 [%.3lfKB] ", Kilo(caps.totalHwMemBytes)));
  lines.push_back(Format("　　　空きメモリ容量 [%.3lfKB] ", Kilo(caps.freeHwMemBytes)));
  lines.push_back(
      Format("　　　ハードウェアスタティックバッファへのデータ転送速度 [%uKB/s] ", caps.unlockTransferRateHwBuffers));
  lines.push_back(Format("　　　ソフトウェアミキシングの必要なプロセッサ時間 [%u%%] ", caps.playCpuOverheadSwBuffers));
  return lines;
}

}  // namespace vela
