#include "services/vela_music.h"

#include <windows.h>

#include <dmusici.h>
#include <dsound.h>

#include "core/vela_debug.h"
#include "core/com_ptr.h"
#include "services/record_table.h"
#include "services/vela_sound.h"

namespace vela::VelaMusic {
namespace {

constexpr std::size_t kRecordBytes = 288;

// The head of a music record; the rest of its 288 bytes belongs to the playing operations.
struct MusicRecordHead {
  std::uint8_t inUse;
  std::uint8_t reserved[3];
  std::uint32_t useCount;
  IUnknown* segment;
};
static_assert(sizeof(MusicRecordHead) <= kRecordBytes);

struct MusicState {
  std::uint32_t recordCount = 64;
  RecordTable records;
  ComPtr<IDirectMusicPerformance8> performance;
  ComPtr<IDirectMusic8> music;  // left null by the start; the playing operations make it
  ComPtr<IDirectSound> sound;   // shared from the sound service, or null
};

MusicState& State() {
  static MusicState state;
  return state;
}

void Report(const char* text) {
  LogPlain("%s", text);
  LogBreak();
}

void DestroyRecord(std::uint8_t* record) {
  const auto* head = reinterpret_cast<const MusicRecordHead*>(record);
  if (head->segment) head->segment->Release();
}

void ReportDestroyed(std::uint32_t index) {
  LogPlain("Music Destroy [ No.%u ]", index);
  LogBreak();
}

// The sound service's DirectSound, when it runs, as the IDirectSound interface.
void ShareDirectSound(MusicState& state) {
  ComPtr<IDirectSound8> sound8;
  *sound8.Out() = VelaSound::TakeDirectSound8();
  state.sound.Reset();
  if (sound8) sound8->QueryInterface(IID_IDirectSound, reinterpret_cast<void**>(state.sound.Out()));
}

template <typename T>
void ReleaseAndReport(ComPtr<T>& object, const char* text) {
  if (!object) return;
  object.Reset();
  Report(text);
}

}  // namespace

void SetRecordCount(std::uint32_t count) { State().recordCount = count; }

bool Start() {
  MusicState& state = State();
  LogHeadRow("VelaMusicクラスの初期化");
  LogBreak();
  LogBold("ミュージック用メモリ確保");
  LogBreak();
  if (!state.records.Allocate(state.recordCount, kRecordBytes)) {
    LogRed("　　　ミュージック用メモリの確保に失敗");
    LogBreak();
    return false;
  }
  if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_ALL, IID_IDirectMusicPerformance8,
                              reinterpret_cast<void**>(state.performance.Out())))) {
    LogRed("　エラー : DirectMusicLoaderの生成に失敗");
    LogBreak();
    return false;
  }
  Report("　■ DirectMusicオブジェクトを生成");
  ShareDirectSound(state);
  return true;
}

void Stop() {
  MusicState& state = State();
  LogHeadRow("VelaMusicクラスの解放");
  LogBreak();
  if (state.records.Exists()) state.records.ReleaseAllAndFree(DestroyRecord, ReportDestroyed);
  ReleaseAndReport(state.sound, "　■ DirectSoundを解体");
  ReleaseAndReport(state.music, "　■ DirectMusicを解体");
  ReleaseAndReport(state.performance, "　■ DirectMusicLoaderを解体");
}

bool SharesDirectSound() { return static_cast<bool>(State().sound); }

}  // namespace vela::VelaMusic
