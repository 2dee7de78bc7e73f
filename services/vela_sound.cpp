#include "services/vela_sound.h"

#include <windows.h>

#include <dsound.h>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/com_ptr.h"
#include "files/vela_file.h"
#include "services/external_sound_library.h"
#include "services/record_table.h"
#include "services/sound_caps_report.h"

namespace vela::VelaSound {
namespace {

constexpr std::size_t kRecordBytes = 340;

// The head of a sound record; the rest of its 340 bytes belongs to the playing operations.
struct SoundRecordHead {
  std::uint8_t inUse;
  std::uint8_t reserved[3];
  std::uint32_t useCount;
  IDirectSoundBuffer* buffer;
  FileRecord* file;
};
static_assert(sizeof(SoundRecordHead) <= kRecordBytes);

static_assert(sizeof(void*) != 4 || sizeof(DSBUFFERDESC) == 36);
static_assert(sizeof(DSCAPS) == 96);

struct SoundState {
  std::uint32_t recordCount = 64;
  RecordTable records;
  ComPtr<IDirectSound8> sound8;
  ComPtr<IDirectSound> sound;
  ComPtr<IDirectSoundBuffer> primary;
  ExternalSoundLibrary external;
};

SoundState& State() {
  static SoundState state;
  return state;
}

void Report(const char* text) {
  LogPlain("%s", text);
  LogBreak();
}

void Fail(const char* text) {
  LogRed("%s", text);
  LogBreak();
}

// Priority level first (then the memory is compacted), normal level when that is refused.
bool SetCooperativeLevel(IDirectSound8* sound) {
  if (FAILED(sound->SetCooperativeLevel(MainWindow(), DSSCL_PRIORITY))) {
    if (FAILED(sound->SetCooperativeLevel(MainWindow(), DSSCL_NORMAL))) {
      Fail("　エラー : 協調レベルの設定に失敗");
      return false;
    }
    Report("　■ 協調レベルを 通常レベル に設定");
    return true;
  }
  Report("　■ 協調レベルを 優先レベル に設定");
  if (FAILED(sound->Compact())) {
    Fail("　エラー : メモリのコンパクションに失敗");
  } else {
    Report("　■ メモリのコンパクションを実行");
  }
  return true;
}

void ReportCapabilities(IDirectSound8* sound) {
  DSCAPS caps{};
  caps.dwSize = sizeof caps;
  if (FAILED(sound->GetCaps(&caps))) return;
  Report("　■ DirectSoundデバイスの性能をチェック");
  const SoundCaps summary{caps.dwFlags,
                          caps.dwMinSecondarySampleRate,
                          caps.dwMaxSecondarySampleRate,
                          caps.dwMaxHwMixingAllBuffers,
                          caps.dwMaxHwMixingStaticBuffers,
                          caps.dwMaxHwMixingStreamingBuffers,
                          caps.dwMaxHw3DAllBuffers,
                          caps.dwMaxHw3DStaticBuffers,
                          caps.dwMaxHw3DStreamingBuffers,
                          caps.dwTotalHwMemBytes,
                          caps.dwFreeHwMemBytes,
                          caps.dwUnlockTransferRateHwBuffers,
                          caps.dwPlayCpuOverheadSwBuffers};
  for (const std::string& line : SoundCapsReport(summary)) Report(line.c_str());
}

bool CreateDirectSound(SoundState& state) {
  if (FAILED(CoCreateInstance(CLSID_DirectSound8, nullptr, CLSCTX_ALL, IID_IDirectSound8,
                              reinterpret_cast<void**>(state.sound8.Out())))) {
    Fail("　エラー : DirectSound8オブジェクトの生成に失敗");
    return false;
  }
  Report("　■ DirectSound8オブジェクトを生成");
  if (FAILED(state.sound8->QueryInterface(IID_IDirectSound, reinterpret_cast<void**>(state.sound.Out())))) {
    Fail("　エラー : DirectSoundオブジェクトの取得に失敗");
    return false;
  }
  Report("　■ DirectSoundオブジェクトを取得");
  if (FAILED(state.sound8->Initialize(nullptr))) {
    Fail("  エラー : DirectSoundオブジェクトの生成に失敗");
    return false;
  }
  Report("　■ DirectSoundオブジェクトを初期化");
  return true;
}

bool CreatePrimaryBuffer(SoundState& state) {
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;  // 36 bytes in the 32-bit product
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (FAILED(state.sound8->CreateSoundBuffer(&description, state.primary.Out(), nullptr))) {
    Report("　エラー : プライマリサウンドバッファの生成に失敗");
    return false;
  }
  Report("　■ プライマリサウンドバッファを生成");
  return true;
}

// Ends and releases a record's playing buffer and closes its file.
void DestroyRecord(std::uint8_t* record) {
  const auto* head = reinterpret_cast<const SoundRecordHead*>(record);
  if (head->buffer) {
    head->buffer->Stop();
    head->buffer->Release();
  }
  if (head->file) FileClose(head->file);
}

void ReportDestroyed(std::uint32_t index) {
  LogPlain("Sound Destroy [ No.%u ]", index);
  LogBreak();
}

}  // namespace

void SetRecordCount(std::uint32_t count) { State().recordCount = count; }

bool Start() {
  SoundState& state = State();
  LogHeadRow("VelaSoundクラスの初期化");
  LogBreak();
  LogBold("サウンド用メモリ確保");
  LogBreak();
  if (!state.records.Allocate(state.recordCount, kRecordBytes)) {
    Fail("　　　サウンド用メモリの確保に失敗");
    return false;
  }
  if (!CreateDirectSound(state) || !SetCooperativeLevel(state.sound8.Get()) || !CreatePrimaryBuffer(state)) {
    return false;
  }
  ReportCapabilities(state.sound8.Get());
  RestoreWorkingDirectory();
  state.external.Load(state.sound.Address());
  return true;
}

void Stop() {
  SoundState& state = State();
  LogHeadRow("VelaSoundクラスの解放");
  LogBreak();
  if (state.records.Exists()) state.records.ReleaseAllAndFree(DestroyRecord, ReportDestroyed);
  state.external.Unload();
  state.primary.Reset();
  state.sound.Reset();
  state.sound8.Reset();
}

IDirectSound8* TakeDirectSound8() {
  IDirectSound8* sound = State().sound8.Get();
  if (sound) sound->AddRef();
  return sound;
}

}  // namespace vela::VelaSound
