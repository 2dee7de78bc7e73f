#include "services/cd_audio.h"

#include <windows.h>

#include <mmsystem.h>

#include "core/process_heap.h"

namespace vela::CdAudio {
namespace {

struct CdAudioState {
  MCIDEVICEID device = 0;
  bool opened = false;
  bool playing = false;
  HeapPtr<void> tracks;  // the track table read when the device was opened
};

CdAudioState state;

}  // namespace

bool Start() { return true; }

void Stop() {
  if (!state.opened) return;
  if (state.playing) {
    state.playing = false;
    mciSendCommandA(state.device, MCI_STOP, 0, 0);
  }
  mciSendCommandA(state.device, MCI_CLOSE, 0, 0);
  state.tracks.reset();
  state.opened = false;
}

}  // namespace vela::CdAudio
