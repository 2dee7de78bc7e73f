// Stand-ins for services whose own code is still to come: each start answers true and each
// stop does nothing, so the boot and the shutdown run in their full order today. A service that
// lands replaces its stand-in in the lists of library_boot.cpp; the hooks below are replaced by
// the CD audio, network and media services' own functions.
#pragma once

#include <windows.h>

namespace vela::pending {

bool StartsWithoutWork();
void StopsWithoutWork();

// Notifications for the further services.
void CdAudioNotify(WPARAM wParam, LPARAM lParam);
void NetworkNotify(HWND window, WPARAM wParam, LPARAM lParam);
void MediaNotify();

}  // namespace vela::pending
