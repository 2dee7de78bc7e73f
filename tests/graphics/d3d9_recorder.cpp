// A COM object's first word points at its vtable; the stand-in points it at a copy of the table
// in which some entries are replaced by functions that call the original entries.
#include "tests/graphics/d3d9_recorder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "graphics/vela3d.h"

namespace vela::test {
namespace {

// The vtable entry of a virtual method: the Itanium C++ ABI, which GCC follows on Windows too,
// stores one more than the entry's byte offset in a pointer to a virtual member function.
template <typename Method>
std::size_t EntryOf(Method method) {
  std::uintptr_t raw = 0;
  std::memcpy(&raw, &method, sizeof raw);
  return (raw - 1) / sizeof(void*);
}

class VtableCopy {
 public:
  template <typename Method>
  explicit VtableCopy(Method lastMethod) : entries_(EntryOf(lastMethod) + 1) {}

  template <typename Method, typename Function>
  void Replace(Method method, Function replacement) {
    replacements_.emplace_back(EntryOf(method), reinterpret_cast<void*>(replacement));
  }
  // The first object lends its table to the copy; every object of the kind shares it.
  void Redirect(void* object) {
    void**& table = *static_cast<void***>(object);
    if (table == entries_.data()) return;
    if (!original_) {
      original_ = table;
      std::copy_n(table, entries_.size(), entries_.begin());
      for (const auto& [entry, replacement] : replacements_) entries_[entry] = replacement;
    }
    table = entries_.data();
  }
  // Runs `call` with the object pointing at its real table (Wine checks the table of some
  // objects handed to it).
  template <typename Call>
  auto WithRealTable(void* object, Call call) {
    void**& table = *static_cast<void***>(object);
    void** const copy = std::exchange(table, table == entries_.data() ? original_ : table);
    const auto result = call();
    table = copy;
    return result;
  }
  // The real entry of `method`, typed as its replacement.
  template <typename Method, typename Function>
  Function Real(Method method, Function) const {
    return reinterpret_cast<Function>(original_[EntryOf(method)]);
  }

 private:
  std::vector<void*> entries_;
  std::vector<std::pair<std::size_t, void*>> replacements_;
  void** original_ = nullptr;
};

struct Recorder {
  D3D9Faults faults;
  D3D9Calls calls;
  VtableCopy direct3d{&IDirect3D9::CreateDevice};
  VtableCopy device{&IDirect3DDevice9::CreateQuery};
  VtableCopy vertexBuffer{&IDirect3DVertexBuffer9::GetDesc};
};

Recorder& R() {
  static Recorder recorder;
  return recorder;
}

#define VELA_REAL(table, Interface, Method) R().table.Real(&Interface::Method, &Method)

template <typename Call>
HRESULT FaultOr(HRESULT fault, Call real) {
  return FAILED(fault) ? fault : real();
}

std::vector<D3DDISPLAYMODE> ModesOf(D3DFORMAT format) {
  std::vector<D3DDISPLAYMODE> modes;
  for (const D3DDISPLAYMODE& mode : R().faults.modes) {
    if (mode.Format == format) modes.push_back(mode);
  }
  return modes;
}

UINT WINAPI GetAdapterModeCount(IDirect3D9* self, UINT adapter, D3DFORMAT format) {
  return R().faults.modes.empty() ? VELA_REAL(direct3d, IDirect3D9, GetAdapterModeCount)(self, adapter, format)
                                  : static_cast<UINT>(ModesOf(format).size());
}

HRESULT WINAPI EnumAdapterModes(IDirect3D9* self, UINT adapter, D3DFORMAT format, UINT index, D3DDISPLAYMODE* mode) {
  if (R().faults.modes.empty()) return VELA_REAL(direct3d, IDirect3D9, EnumAdapterModes)(self, adapter, format, index, mode);
  const std::vector<D3DDISPLAYMODE> modes = ModesOf(format);
  if (index >= modes.size()) return D3DERR_INVALIDCALL;
  *mode = modes[index];
  return D3D_OK;
}

HRESULT WINAPI GetDeviceCaps(IDirect3D9* self, UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  const HRESULT result = VELA_REAL(direct3d, IDirect3D9, GetDeviceCaps)(self, adapter, type, caps);
  caps->DevCaps &= ~R().faults.removedDevCaps;
  return result;
}

HRESULT WINAPI CreateDevice(IDirect3D9* self, UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behaviour,
                            D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
  const DWORD processing = behaviour & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING);
  const DeviceConfiguration asked{type, processing};
  R().calls.createDevice.push_back(asked);
  if (std::ranges::count(R().faults.refusedDevices, asked) > 0) return D3DERR_NOTAVAILABLE;
  const HRESULT result = VELA_REAL(direct3d, IDirect3D9, CreateDevice)(self, adapter, type, focus, behaviour,
                                                                        parameters, device);
  if (SUCCEEDED(result)) R().device.Redirect(*device);
  return result;
}

HRESULT WINAPI TestCooperativeLevel(IDirect3DDevice9* self) {
  return FaultOr(R().faults.cooperativeLevel, [&] { return VELA_REAL(device, IDirect3DDevice9, TestCooperativeLevel)(self); });
}

HRESULT WINAPI Reset(IDirect3DDevice9* self, D3DPRESENT_PARAMETERS* parameters) {
  ++R().calls.reset;
  return FaultOr(R().faults.reset, [&] { return VELA_REAL(device, IDirect3DDevice9, Reset)(self, parameters); });
}

HRESULT WINAPI Present(IDirect3DDevice9* self, const RECT* source, const RECT* destination, HWND window,
                       const RGNDATA* dirty) {
  return FaultOr(R().faults.present,
                 [&] { return VELA_REAL(device, IDirect3DDevice9, Present)(self, source, destination, window, dirty); });
}

HRESULT WINAPI BeginScene(IDirect3DDevice9* self) {
  ++R().calls.beginScene;
  return FaultOr(R().faults.beginScene, [&] { return VELA_REAL(device, IDirect3DDevice9, BeginScene)(self); });
}

HRESULT WINAPI EndScene(IDirect3DDevice9* self) {
  ++R().calls.endScene;
  return VELA_REAL(device, IDirect3DDevice9, EndScene)(self);
}

HRESULT WINAPI DrawPrimitive(IDirect3DDevice9* self, D3DPRIMITIVETYPE type, UINT start, UINT count) {
  ++R().calls.drawPrimitive;
  return VELA_REAL(device, IDirect3DDevice9, DrawPrimitive)(self, type, start, count);
}

HRESULT WINAPI Lock(IDirect3DVertexBuffer9* self, UINT offset, UINT bytes, void** data, DWORD flags) {
  ++R().calls.vertexBufferLocks;
  return VELA_REAL(vertexBuffer, IDirect3DVertexBuffer9, Lock)(self, offset, bytes, data, flags);
}

HRESULT WINAPI CreateVertexBuffer(IDirect3DDevice9* self, UINT bytes, DWORD usage, DWORD fvf, D3DPOOL pool,
                                  IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  if (FAILED(R().faults.createVertexBuffer)) return R().faults.createVertexBuffer;
  const HRESULT result =
      VELA_REAL(device, IDirect3DDevice9, CreateVertexBuffer)(self, bytes, usage, fvf, pool, buffer, shared);
  if (SUCCEEDED(result)) R().vertexBuffer.Redirect(*buffer);
  return result;
}

HRESULT WINAPI SetStreamSource(IDirect3DDevice9* self, UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                               UINT stride) {
  const auto set = [&] { return VELA_REAL(device, IDirect3DDevice9, SetStreamSource)(self, stream, buffer, offset, stride); };
  return buffer ? R().vertexBuffer.WithRealTable(buffer, set) : set();
}

HRESULT WINAPI CreateQuery(IDirect3DDevice9* self, D3DQUERYTYPE type, IDirect3DQuery9** query) {
  return FaultOr(R().faults.createQuery, [&] { return VELA_REAL(device, IDirect3DDevice9, CreateQuery)(self, type, query); });
}

#undef VELA_REAL

IDirect3D9* MakeRecordedDirect3D(Vela3D::Direct3DCreateFunction create, UINT sdkVersion) {
  IDirect3D9* direct3d = create(sdkVersion);
  if (direct3d) R().direct3d.Redirect(direct3d);
  return direct3d;
}

bool ReplaceEntries() {
  Recorder& r = R();
  r.direct3d.Replace(&IDirect3D9::GetAdapterModeCount, &GetAdapterModeCount);
  r.direct3d.Replace(&IDirect3D9::EnumAdapterModes, &EnumAdapterModes);
  r.direct3d.Replace(&IDirect3D9::GetDeviceCaps, &GetDeviceCaps);
  r.direct3d.Replace(&IDirect3D9::CreateDevice, &CreateDevice);
  r.device.Replace(&IDirect3DDevice9::TestCooperativeLevel, &TestCooperativeLevel);
  r.device.Replace(&IDirect3DDevice9::Reset, &Reset);
  r.device.Replace(&IDirect3DDevice9::Present, &Present);
  r.device.Replace(&IDirect3DDevice9::BeginScene, &BeginScene);
  r.device.Replace(&IDirect3DDevice9::EndScene, &EndScene);
  r.device.Replace(&IDirect3DDevice9::DrawPrimitive, &DrawPrimitive);
  r.device.Replace(&IDirect3DDevice9::CreateVertexBuffer, &CreateVertexBuffer);
  r.device.Replace(&IDirect3DDevice9::SetStreamSource, &SetStreamSource);
  r.device.Replace(&IDirect3DDevice9::CreateQuery, &CreateQuery);
  r.vertexBuffer.Replace(&IDirect3DVertexBuffer9::Lock, &Lock);
  return true;
}

}  // namespace

void InstallD3D9Recorder() {
  [[maybe_unused]] static const bool replaced = ReplaceEntries();
  R().faults = {};
  R().calls = {};
  Vela3D::SetDirect3DMaker(&MakeRecordedDirect3D);
}

D3D9Faults& Faults() { return R().faults; }
D3D9Calls& Calls() { return R().calls; }

}  // namespace vela::test
