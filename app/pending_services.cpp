#include "app/pending_services.h"

namespace vela::pending {

bool StartsWithoutWork() { return true; }
void StopsWithoutWork() {}

void CdAudioNotify(WPARAM, LPARAM) {}
void NetworkNotify(HWND, WPARAM, LPARAM) {}
void MediaNotify() {}

}  // namespace vela::pending
