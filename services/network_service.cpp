#include "services/network_service.h"

#include <winsock2.h>

namespace vela::network {
namespace {

struct NetworkState {
  SOCKET socket = INVALID_SOCKET;
  bool connected = false;
};

NetworkState state;

void CloseConnectedSocket() {
  shutdown(state.socket, SD_SEND);
  // Drain what the peer still sends until it closes its side.
  char buffer[64];
  while (recv(state.socket, buffer, sizeof buffer, 0) > 0) {
  }
  shutdown(state.socket, SD_BOTH);
  closesocket(state.socket);
}

}  // namespace

bool Start() {
  state = NetworkState{};
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 0), &data) == 0;
}

void Stop() {
  if (state.connected) CloseConnectedSocket();
  state = NetworkState{};
  WSACleanup();
}

}  // namespace vela::network
