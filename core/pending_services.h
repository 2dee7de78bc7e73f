// Stand-ins for services whose own code is still to come: each start answers true and each
// stop does nothing, so the boot and the shutdown run in their full order today. A service that
// lands replaces its stand-in in the lists of library_boot.cpp; the hooks below are replaced by
// the input, CD audio, network and media services' own functions.
#pragma once

#include <windows.h>

namespace vela::pending {

bool StartsWithoutWork();
void StopsWithoutWork();

// The input service's per-frame refresh (controllers, key table, key buffer, mouse).
void RefreshInput();
// Window messages for the input service.
void AddTextCharacter(WPARAM character);
enum class MouseButton { kLeft, kRight, kMiddle };
void SetDoubleClick(MouseButton button);
void AddWheelDelta(short delta);
// Notifications for the further services.
void CdAudioNotify(WPARAM wParam, LPARAM lParam);
void NetworkNotify(HWND window, WPARAM wParam, LPARAM lParam);
void MediaNotify();

}  // namespace vela::pending
