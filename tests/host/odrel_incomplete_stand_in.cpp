// A stand-in for an external sound library that lacks its last entry point (Odrel_GetLastError):
// it notes the calls it gets in the process environment (ODREL_CALLS), as the complete one does.
#include <windows.h>

#include <string>

namespace {

void Note(const char* call) {
  char previous[1024] = {};
  GetEnvironmentVariableA("ODREL_CALLS", previous, sizeof previous);
  const std::string calls = std::string(previous) + (previous[0] ? ";" : "") + call;
  SetEnvironmentVariableA("ODREL_CALLS", calls.c_str());
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL __cdecl Odrel_Initialize(DWORD, void**, DWORD, DWORD) {
  Note("Initialize");
  return TRUE;
}
__declspec(dllexport) void __cdecl Odrel_Uninitialize() { Note("Uninitialize"); }
__declspec(dllexport) void* __cdecl Odrel_CreateInstanceFromFileEx() { return nullptr; }
__declspec(dllexport) void* __cdecl Odrel_CreateInstanceFromMemory() { return nullptr; }

}  // extern "C"
