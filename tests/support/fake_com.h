// COM objects of the test's own in place of the system's: while a ClassOverride lives,
// CoCreateInstance of its class on this thread gets the given object, or fails when there is none.
// The fakes count their references, which must be back at 0 once the library has ended.
#pragma once

#include <windows.h>

#include <dinput.h>
#include <dsound.h>

#include <cstdio>
#include <vector>

namespace vela::test {

template <typename Interface>
class Counted : public Interface {
 public:
  long refs = 0;

  // Any interface asked for is this object's.
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
};

class ClassOverride {
 public:
  ClassOverride(REFCLSID clsid, IUnknown* object) : factory_(object) {
    initialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    registered_ = SUCCEEDED(CoRegisterClassObject(clsid, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
  }
  ~ClassOverride() {
    if (registered_) CoRevokeClassObject(cookie_);
    if (initialized_) CoUninitialize();
  }
  ClassOverride(const ClassOverride&) = delete;
  ClassOverride& operator=(const ClassOverride&) = delete;
  bool Registered() const { return registered_; }

 private:
  struct Factory : Counted<IClassFactory> {
    explicit Factory(IUnknown* object) : made(object) {}
    STDMETHODIMP CreateInstance(IUnknown*, REFIID id, void** out) override {
      *out = nullptr;
      return made ? made->QueryInterface(id, out) : CLASS_E_CLASSNOTAVAILABLE;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    IUnknown* made;
  };
  Factory factory_;
  DWORD cookie_ = 0;
  bool initialized_ = false;
  bool registered_ = false;
};

// DirectSound whose initialisation, cooperative levels and compaction answer as set; it has no
// buffers to give, so a start on it always ends at the primary buffer at the latest.
struct FakeDirectSound : Counted<IDirectSound8> {
  HRESULT initialize = S_OK, priorityLevel = S_OK, normalLevel = S_OK, compact = S_OK;

  STDMETHODIMP CreateSoundBuffer(LPCDSBUFFERDESC, LPLPDIRECTSOUNDBUFFER out, IUnknown*) override {
    *out = nullptr;
    return DSERR_OUTOFMEMORY;
  }
  STDMETHODIMP SetCooperativeLevel(HWND, DWORD level) override {
    return level == DSSCL_PRIORITY ? priorityLevel : normalLevel;
  }
  STDMETHODIMP Compact() override { return compact; }
  STDMETHODIMP Initialize(LPCGUID) override { return initialize; }
  STDMETHODIMP GetCaps(LPDSCAPS) override { return E_NOTIMPL; }
  STDMETHODIMP DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override { return E_NOTIMPL; }
  STDMETHODIMP GetSpeakerConfig(LPDWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetSpeakerConfig(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP VerifyCertification(LPDWORD) override { return E_NOTIMPL; }
};

// A game controller with an X axis (-1000 to 1000) and a slider, whose set-up fails at the step
// named, or nowhere. It never has a state to read.
struct FakeController : Counted<IDirectInputDevice8A> {
  enum class Fails { kNowhere, kDataFormat, kCooperation, kAxisRange, kAxisEnumeration };
  explicit FakeController(Fails step) : fails(step) {}
  Fails fails;

  STDMETHODIMP SetDataFormat(LPCDIDATAFORMAT) override { return Answer(Fails::kDataFormat); }
  STDMETHODIMP SetCooperativeLevel(HWND, DWORD) override { return Answer(Fails::kCooperation); }
  STDMETHODIMP GetDeviceInfo(LPDIDEVICEINSTANCEA info) override {
    std::snprintf(info->tszProductName, sizeof info->tszProductName, "Vela test pad");
    return S_OK;
  }
  STDMETHODIMP GetCapabilities(LPDIDEVCAPS caps) override {
    caps->dwFlags = DIDC_ATTACHED | DIDC_POLLEDDEVICE;
    caps->dwAxes = 1;
    caps->dwButtons = 8;
    caps->dwPOVs = 0;
    return S_OK;
  }
  STDMETHODIMP EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID context, DWORD) override {
    if (fails == Fails::kAxisEnumeration) return DIERR_GENERIC;
    for (const GUID* type : {&GUID_XAxis, &GUID_Slider}) {
      DIDEVICEOBJECTINSTANCEA object = {};
      object.dwSize = sizeof object;
      object.guidType = *type;
      if (callback(&object, context) == DIENUM_STOP) break;
    }
    return S_OK;
  }
  STDMETHODIMP GetProperty(REFGUID, LPDIPROPHEADER header) override {
    auto* range = reinterpret_cast<DIPROPRANGE*>(header);
    range->lMin = -1000;
    range->lMax = 1000;
    return Answer(Fails::kAxisRange);
  }
  STDMETHODIMP Acquire() override { return S_OK; }
  STDMETHODIMP Unacquire() override { return S_OK; }
  STDMETHODIMP Poll() override { return S_OK; }
  STDMETHODIMP GetDeviceState(DWORD, LPVOID) override { return DIERR_INPUTLOST; }
  STDMETHODIMP SetProperty(REFGUID, LPCDIPROPHEADER) override { return E_NOTIMPL; }
  STDMETHODIMP GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetEventNotification(HANDLE) override { return E_NOTIMPL; }
  STDMETHODIMP GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Initialize(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
  STDMETHODIMP CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN) override { return E_NOTIMPL; }
  STDMETHODIMP EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
  STDMETHODIMP GetForceFeedbackState(LPDWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SendForceFeedbackCommand(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Escape(LPDIEFFESCAPE) override { return E_NOTIMPL; }
  STDMETHODIMP SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumEffectsInFile(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP WriteEffectToFile(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP BuildActionMap(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP SetActionMap(LPDIACTIONFORMATA, LPCSTR, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetImageInfo(LPDIDEVICEIMAGEINFOHEADERA) override { return E_NOTIMPL; }

 private:
  HRESULT Answer(Fails step) const { return fails == step ? DIERR_GENERIC : S_OK; }
};

// DirectInput without a keyboard, offering `controllers` in order to the game-controller
// enumeration (a null one cannot be created), then answering `enumeration`.
struct FakeDirectInput : Counted<IDirectInput8A> {
  HRESULT initialize = S_OK, enumeration = S_OK;
  std::vector<FakeController*> controllers;
  int offered = 0;

  STDMETHODIMP Initialize(HINSTANCE, DWORD) override { return initialize; }
  STDMETHODIMP CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* out, LPUNKNOWN) override {
    const std::size_t index = guid.Data1 - 1;  // the instance GUIDs below; the keyboard's is not one
    *out = index < controllers.size() ? controllers[index] : nullptr;
    if (!*out) return DIERR_DEVICENOTREG;
    (*out)->AddRef();
    return S_OK;
  }
  STDMETHODIMP EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD) override {
    for (offered = 0; offered < static_cast<int>(controllers.size());) {
      DIDEVICEINSTANCEA instance = {};
      instance.dwSize = sizeof instance;
      instance.guidInstance.Data1 = static_cast<unsigned long>(++offered);
      if (callback(&instance, context) == DIENUM_STOP) break;
    }
    return enumeration;
  }
  STDMETHODIMP GetDeviceStatus(REFGUID) override { return E_NOTIMPL; }
  STDMETHODIMP RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP FindDevice(REFGUID, LPCSTR, LPGUID) override { return E_NOTIMPL; }
  STDMETHODIMP EnumDevicesBySemantics(LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID) override {
    return E_NOTIMPL;
  }
};

}  // namespace vela::test
