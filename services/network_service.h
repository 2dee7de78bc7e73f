// The network service's start and stop: the socket library and the one client socket. Its
// traffic belongs to operations that no export reaches.
#pragma once

namespace vela::network {

// Clears the tables and starts Windows Sockets 2.0; false when WSAStartup fails.
bool Start();
// Closes a connected socket gracefully, then WSACleanup (in every case).
void Stop();

}  // namespace vela::network
