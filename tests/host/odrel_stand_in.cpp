// A stand-in for the external sound library, built as Odrel.dll for the tests: it answers its
// five entry points (four when built with ODREL_WITHOUT_LAST_ENTRY) and notes every call in the
// process environment (ODREL_CALLS), where a test can read it even after the library is freed.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Note(const char* call) {
  char previous[1024] = {};
  GetEnvironmentVariableA("ODREL_CALLS", previous, sizeof previous);
  std::string calls = previous;
  if (!calls.empty()) calls += ';';
  calls += call;
  SetEnvironmentVariableA("ODREL_CALLS", calls.c_str());
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL __cdecl Odrel_Initialize(DWORD first, void** directSound, DWORD third, DWORD fourth) {
  char call[128];
  std::snprintf(call, sizeof call, "Initialize(%lu,%s,%lu,%lu)", static_cast<unsigned long>(first),
                directSound && *directSound ? "sound" : "null", static_cast<unsigned long>(third),
                static_cast<unsigned long>(fourth));
  Note(call);
  return TRUE;
}

__declspec(dllexport) void __cdecl Odrel_Uninitialize() { Note("Uninitialize"); }
__declspec(dllexport) void* __cdecl Odrel_CreateInstanceFromFileEx() { return nullptr; }
__declspec(dllexport) void* __cdecl Odrel_CreateInstanceFromMemory() { return nullptr; }
#ifndef ODREL_WITHOUT_LAST_ENTRY
__declspec(dllexport) int __cdecl Odrel_GetLastError() { return 0; }
#endif

}  // extern "C"
