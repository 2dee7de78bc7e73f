// Vela3D start: the present parameters, the device with its three-configuration fallback,
// the queries, the back buffer and the state cache.
#include <windows.h>

#include <d3d9.h>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "graphics/vela3d.h"
#include "graphics/vela3d_state.h"

namespace vela::Vela3D {
namespace {

struct DeviceConfiguration {
  D3DDEVTYPE type;
  DWORD behaviour;
  const char* successLine;
};

constexpr DeviceConfiguration kConfigurations[] = {
    {D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING,
     "　　　Direct3Dデバイスを [ D3DDEVTYPE_HAL ] [ D3DCREATE_MIXED_VERTEXPROCESSING ] で生成"},
    {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
     "　　　Direct3Dデバイスを [ D3DDEVTYPE_HAL ] [ D3DCREATE_SOFTWARE_VERTEXPROCESSING ] で生成"},
    {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
     "　　　Direct3Dデバイスを [ D3DDEVTYPE_REF ] [ D3DCREATE_SOFTWARE_VERTEXPROCESSING ] で生成"},
};

// Direct3D would otherwise switch the x87 unit to single precision for the whole thread when
// the device is created; the random generator's RandF computes in extended precision and its
// results must not change once a device exists.
constexpr DWORD kCommonBehaviour = D3DCREATE_MULTITHREADED | D3DCREATE_FPU_PRESERVE;

D3DPRESENT_PARAMETERS BuildPresentParameters(HWND window, bool windowed) {
  const State& vela = Vela();
  int width = 0;
  int height = 0;
  GetScreen(&width, &height, nullptr);
  D3DPRESENT_PARAMETERS parameters = {};
  parameters.BackBufferWidth = static_cast<UINT>(width);
  parameters.BackBufferHeight = static_cast<UINT>(height);
  parameters.BackBufferFormat =
      windowed ? vela.desktopMode.Format : static_cast<D3DFORMAT>(vela.fullScreen16.format);
  parameters.BackBufferCount = 1;
  parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  parameters.MultiSampleQuality = 0;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = window;
  parameters.Windowed = windowed ? TRUE : FALSE;
  parameters.EnableAutoDepthStencil = FALSE;
  parameters.AutoDepthStencilFormat =
      vela.depthFormats.empty() ? D3DFMT_UNKNOWN : static_cast<D3DFORMAT>(vela.depthFormats.front());
  // Back-buffer text draws through GDI on the back buffer.
  parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  parameters.FullScreen_RefreshRateInHz = 0;
  parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return parameters;
}

int FirstConfiguration(const Vela3DCaps& caps) {
  if (caps.hardwareRasterization && caps.hardwareTransformAndLighting) return 0;
  if (caps.hardwareRasterization) return 1;
  return 2;
}

bool CreateDevice(HWND window, D3DPRESENT_PARAMETERS& parameters) {
  State& vela = Vela();
  HRESULT result = E_FAIL;
  for (int i = FirstConfiguration(vela.caps); i < 3; ++i) {
    const DeviceConfiguration& configuration = kConfigurations[i];
    result = vela.direct3d->CreateDevice(D3DADAPTER_DEFAULT, configuration.type, window,
                                         configuration.behaviour | kCommonBehaviour, &parameters,
                                         vela.device.Out());
    if (SUCCEEDED(result)) {
      LogPlain("%s", configuration.successLine);
      LogBreak();
      return true;
    }
  }
  LogRed("　　　エラー：デバイスの作成に失敗 [ %s ]", ErrorText(result));
  LogBreak();
  LogRed("　　　　　　：DirectX側のエラーで無い場合は他のソフトがビデオカードを占有してる可能性があります。");
  LogBreak();
  return false;
}

}  // namespace

void CreateQueries() {
  State& vela = Vela();
  const HRESULT event = vela.device->CreateQuery(D3DQUERYTYPE_EVENT, vela.eventQuery.Out());
  if (FAILED(event)) {
    LogRed("　　　エラー：IDirect3DQuery9インターフェースの取得に失敗 [ %s ]", ErrorText(event));
    LogBreak();
  }
  const HRESULT occlusion = vela.device->CreateQuery(D3DQUERYTYPE_OCCLUSION, vela.occlusionQuery.Out());
  if (FAILED(occlusion)) {
    LogRed("　　　エラー：IDirect3DQuery9インターフェースの取得に失敗 [ %s ]", ErrorText(occlusion));
    LogBreak();
  }
}

bool Start(HWND window, bool windowed) {
  State& vela = Vela();
  LogHeadRow("Vela3Dクラスの起動");
  LogBreak();
  if (!vela.direct3d) return false;
  vela.windowedParameters = BuildPresentParameters(window, true);
  vela.fullScreenParameters = BuildPresentParameters(window, false);
  // CreateDevice may write back into the parameters (a zero size becomes the window's).
  D3DPRESENT_PARAMETERS& chosen = windowed ? vela.windowedParameters : vela.fullScreenParameters;
  LogBold("　Direct3Dデバイスの生成");
  LogBreak();
  if (!CreateDevice(window, chosen)) return false;

  LogBold("　推定残テクスチャメモリ容量 <%dMB>", static_cast<int>(vela.device->GetAvailableTextureMem() >> 20));
  LogBreak();
  CreateQueries();
  vela.device->GetRenderTarget(0, vela.backBuffer.Out());
  vela.sceneDepth = 0;
  InitializeStateCache();
  ApplyStateCache();

  D3DCAPS9 caps = {};
  if (SUCCEEDED(vela.device->GetDeviceCaps(&caps))) FillCaps(caps, vela.caps);
  LogBold("　現在のデバイス情報を取得");
  LogBreak();
  LogDeviceInformation(vela.caps);
  LogBreak();
  return true;
}

}  // namespace vela::Vela3D
