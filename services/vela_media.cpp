#include "services/vela_media.h"

#include <windows.h>

#include "core/vela_debug.h"
#include "services/record_table.h"

namespace vela::VelaMedia {
namespace {

constexpr std::size_t kRecordBytes = 320;

// The head of a media record; the rest of its 320 bytes belongs to the playing operations.
struct MediaRecordHead {
  std::uint8_t inUse;
  std::uint8_t reserved[3];
  std::uint32_t useCount;
  IUnknown* graph;
};
static_assert(sizeof(MediaRecordHead) <= kRecordBytes);

struct MediaState {
  std::uint32_t recordCount = 64;
  RecordTable records;
};

MediaState& State() {
  static MediaState state;
  return state;
}

void DestroyRecord(std::uint8_t* record) {
  const auto* head = reinterpret_cast<const MediaRecordHead*>(record);
  if (head->graph) head->graph->Release();
}

}  // namespace

void SetRecordCount(std::uint32_t count) { State().recordCount = count; }

bool Start() {
  MediaState& state = State();
  LogHeadRow("VelaMediaクラスの初期化");
  LogBreak();
  LogBold("メディア用メモリ確保");
  LogBreak();
  if (!state.records.Allocate(state.recordCount, kRecordBytes)) {
    LogRed("　　　メディア用メモリの確保に失敗");
    LogBreak();
    return false;
  }
  return true;
}

void Stop() {
  LogHeadRow("VelaMediaクラスの解放");
  LogBreak();
  State().records.ReleaseAllAndFree(DestroyRecord, [](std::uint32_t) {});
}

}  // namespace vela::VelaMedia
