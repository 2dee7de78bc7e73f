// Boot and shutdown in their fixed orders. The services are listed in three tables (core start,
// device start, service stop) so that a service that lands takes its place by replacing its
// stand-in; the shutdown order is deliberately not the reverse of the start.
#include "app/library_boot.h"

#include <mmsystem.h>
#include <objbase.h>

#include <cstring>
#include <utility>

#include "app/executable_folder.h"
#include "app/pending_services.h"
#include "core/core_state.h"
#include "core/system_text.h"
#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/vela_log.h"
#include "core/version.h"
#include "files/search_settings.h"
#include "graphics/error_box.h"
#include "graphics/vela3d.h"
#include "image/vela_simple.h"
#include "image/vela_surface.h"
#include "image/vela_texture.h"
#include "input/vela_input.h"
#include "services/cd_audio.h"
#include "services/network_service.h"
#include "services/table_services.h"
#include "services/vela_media.h"
#include "services/vela_music.h"
#include "services/vela_sound.h"
#include "services/video_renderer.h"
#include "sprite/vela_sprite.h"

namespace vela {
namespace {

using pending::StartsWithoutWork;
using pending::StopsWithoutWork;

constexpr unsigned kErrorBoxType = MB_ICONERROR;
constexpr const char* kErrorCaption = "ERROR";
constexpr const char* kBanner = "Vela for \"DirectX 9.0c Update (October 2004)\" - Phase 35.00 / 2006.10.20";

struct ServiceStart {
  const char* name;
  int flag;                 // 0: always started; else the service flag that selects it
  bool (*start)();
  const char* failureText;  // the error box on failure, or null for none
};

struct ServiceStop {
  const char* name;
  int flag;
  void (*stop)();
};

// The console and debug services have no start-up work.
constexpr ServiceStart kCoreStart[] = {
    {"console", 0, StartsWithoutWork, nullptr},
    {"debug", 0, StartsWithoutWork, nullptr},
    {"animation", 0, tables::StartAnimationTable,
     "アニメーションクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません"},
    {"network", 0, network::Start, "ネットワーククラスの初期化に失敗"},
    {"CD audio", kServiceCdAudio, CdAudio::Start, nullptr},
    {"table 684", 0, tables::StartTable684, nullptr},
    {"projection records", 0, tables::StartProjectionRecords, nullptr},
    {"table 816", 0, tables::StartTable816, nullptr},
    {"table 400", 0, tables::StartTable400, nullptr},
};

// After Vela3D has started: the object managers on the device (a manager that cannot be made
// fails without a box), then the optional services.
constexpr ServiceStart kDeviceStart[] = {
    {"CSurface", 0, VelaSurface::Start, nullptr},
    {"CTexture", 0, VelaTexture::Start, nullptr},
    {"CSheet", 0, StartsWithoutWork, nullptr},
    {"VelaSimple", 0, VelaSimple::Initialize, nullptr},
    {"CFont", 0, StartsWithoutWork, nullptr},
    {"CPoint2D", 0, StartsWithoutWork, nullptr},
    {"CPoint3D", 0, StartsWithoutWork, nullptr},
    {"CLine2D", 0, StartsWithoutWork, nullptr},
    {"CLine3D", 0, StartsWithoutWork, nullptr},
    {"CPrimitive2D", 0, VelaPrimitive2D::Start, nullptr},
    {"CPrimitive3D", 0, StartsWithoutWork, nullptr},
    {"CSprite2D", 0, VelaSprite::Start, nullptr},
    {"CSprite3D", 0, StartsWithoutWork, nullptr},
    {"CFontSprite2D", 0, StartsWithoutWork, nullptr},
    {"CFontSprite3D", 0, StartsWithoutWork, nullptr},
    {"VelaModelEx", 0, StartsWithoutWork, nullptr},
    {"VelaMedia", kServiceMedia, VelaMedia::Start,
     "メディアクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません"},
    {"CVMR9", kServiceMedia, VideoRenderer::Start,
     "ビデオレンダラークラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません"},
    {"VelaSound", kServiceSound, VelaSound::Start,
     "サウンドクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません"},
    {"VelaMusic", kServiceMusic, VelaMusic::Start,
     "ミュージッククラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません"},
    {"VelaInput", kServiceInput, VelaInput::Start, "入力デバイスクラスの初期化の初期化に失敗"},
};

constexpr ServiceStop kServiceStop[] = {
    {"CD audio", kServiceCdAudio, CdAudio::Stop},
    {"VelaInput", kServiceInput, VelaInput::Stop},
    {"VelaMusic", kServiceMusic, VelaMusic::Stop},
    {"VelaSound", kServiceSound, VelaSound::Stop},
    {"CVMR9", kServiceMedia, VideoRenderer::Stop},
    {"VelaMedia", kServiceMedia, VelaMedia::Stop},
    {"VelaSimple", 0, VelaSimple::Shutdown},
    {"table 400", 0, tables::StopTable400},
    {"VelaModelEx", 0, StopsWithoutWork},
    {"table 816", 0, tables::StopTable816},
    {"table 684", 0, tables::StopTable684},
    {"CSprite3D", 0, StopsWithoutWork},
    {"CPoint2D", 0, StopsWithoutWork},
    {"CPoint3D", 0, StopsWithoutWork},
    {"CLine2D", 0, StopsWithoutWork},
    {"CLine3D", 0, StopsWithoutWork},
    {"CPrimitive3D", 0, StopsWithoutWork},
    {"VelaShaderFx objects", 0, StopsWithoutWork},
    {"CFontSprite3D", 0, StopsWithoutWork},
    {"CFontSprite2D", 0, StopsWithoutWork},
    {"CFont", 0, StopsWithoutWork},
    {"CSprite2D", 0, VelaSprite::Stop},
    {"CPrimitive2D", 0, VelaPrimitive2D::Stop},
    {"CSheet", 0, StopsWithoutWork},
    {"CTexture", 0, VelaTexture::Stop},
    {"CSurface", 0, VelaSurface::Stop},
    {"network", 0, network::Stop},
    {"animation", 0, tables::StopAnimationTable},
    {"console", 0, StopsWithoutWork},
};

const char* failingStartForTesting = nullptr;

bool Start(const ServiceStart& service) {
  if (failingStartForTesting && std::strcmp(service.name, failingStartForTesting) == 0) return false;
  return service.start();
}

void ShowErrorBox(const char* text) { ErrorBox(kErrorBoxType, kErrorCaption, "%s", text); }

// Starts the selected services in order; the first failure shows its box and ends the run.
template <std::size_t N>
bool StartInOrder(const ServiceStart (&services)[N]) {
  for (const ServiceStart& service : services) {
    if (service.flag != 0 && !ServiceSelected(service.flag)) continue;
    if (Start(service)) continue;
    if (service.failureText) ShowErrorBox(service.failureText);
    return false;
  }
  return true;
}

void SetScreen(int clientWidth, int clientHeight) {
  CoreState& core = Core();
  core.screenWidth = clientWidth != 0 ? clientWidth : GetSystemMetrics(SM_CXSCREEN);
  core.screenHeight = clientHeight != 0 ? clientHeight : GetSystemMetrics(SM_CYSCREEN);
  core.windowed = true;
  core.scaleX = static_cast<float>(core.screenWidth) / static_cast<float>(core.screenWidth);
  core.scaleY = static_cast<float>(core.screenHeight) / static_cast<float>(core.screenHeight);
}

// The executable's folder, once per process.
void FindBaseDirectory() {
  CoreState& core = Core();
  if (core.baseDirectory[0] != '\0') return;
  if (SystemFolderOf(ModuleFileName(core.executable), core.baseDirectory)) SetCurrentDirectoryA(core.baseDirectory);
}

void OpenConfiguredLog() {
  char settingsPath[MAX_PATH];
  SettingsPathIn(Core().baseDirectory, settingsPath);
  ConfigureLog(ReadLogSettings(settingsPath));
  OpenLog();
}

const char* SearchSettingFaultText(SearchSettingFault fault) {
  switch (fault) {
    case SearchSettingFault::kNoFolder: return "フォルダがありません";
    case SearchSettingFault::kNoArchive: return "アーカイブがありません";
    case SearchSettingFault::kNotAnArchive: return "PACKアーカイブではありません";
    case SearchSettingFault::kTooLong: return "パスが長すぎます";
  }
  return "";
}

void LogSearchSettingFault(SearchSettingFault fault, const char* key, const char* value) {
  LogRed("エラー : [files] %s : %s [ %s ]", key, SearchSettingFaultText(fault),
         SystemTextUtf8(value).c_str());
  LogBreak();
}

// The file service's search slots, anew at every start from the [files] section.
void ConfigureFileSearch() {
  char settingsPath[MAX_PATH];
  SettingsPathIn(Core().baseDirectory, settingsPath);
  ApplySearchSettings(settingsPath, LogSearchSettingFault);
}

void LogBanner() {
  LogBlue("Library Version");
  LogBreak();
  LogPlain("　　　[ %s ]", kBanner);
  LogBreak();
  LogPlain("　　　[ Vela plug-in %s ]", kPluginVersion);
  LogBreak();
  LogBreak();
}

bool StartCore() {
  LogBanner();
  ConfigureFileSearch();
  timeBeginPeriod(1);
  return StartInOrder(kCoreStart);
}

// Zoom and perspective start switched off, centred on the drawing area.
void ApplyDefault2DSettings() {
  const float centreX = static_cast<float>(Core().screenWidth) * 0.5f;
  const float centreY = static_cast<float>(Core().screenHeight) * 0.5f;
  Vela3D::SetZoom(false, centreX, centreY, 1.0f);
  Vela3D::SetPerspective(false, centreX, centreY, 100.0f);
}

bool StartDevice() {
  Core().started = true;
  if (!Vela3D::Start(MainWindow(), Core().windowed)) {
    ShowErrorBox("３Ｄシステムの起動に失敗");
    return false;
  }
  if (!StartInOrder(kDeviceStart)) return false;
  ApplyDefault2DSettings();
  LogHeadRow("アプリケーション開始");
  LogBreak();
  return true;
}

void StopServices() {
  if (!std::exchange(Core().started, false)) return;
  for (const ServiceStop& service : kServiceStop) {
    if (service.flag == 0 || ServiceSelected(service.flag)) service.stop();
  }
  timeEndPeriod(1);
}

}  // namespace

bool BootStepOne(HWND window, int serviceFlags) {
  CoreState& core = Core();
  core.executable = GetModuleHandleA(nullptr);
  core.mainWindow = window;
  // The file service is configured in step two, once the executable's folder is known.
  core.serviceFlags = serviceFlags;
  return true;
}

bool BootStepTwo(int clientWidth, int clientHeight) {
  SetScreen(clientWidth, clientHeight);
  FindBaseDirectory();
  Core().comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  OpenConfiguredLog();
  if (!Vela3D::Initialize()) {
    ShowErrorBox("３Ｄシステムの初期化に失敗");
    Shutdown();
    return false;
  }
  if (!StartCore()) {
    ShowErrorBox("DirectXの初期化に失敗");
    Shutdown();
    return false;
  }
  if (!StartDevice()) {
    Shutdown();
    return false;
  }
  return true;
}

void FailServiceStartForTesting(const char* name) { failingStartForTesting = name; }

void Shutdown() {
  StopServices();
  Vela3D::Release();
  CloseLog();
  // Only an initialisation of our own is undone: a second shutdown must not take the host's.
  if (std::exchange(Core().comInitialized, false)) CoUninitialize();
}

}  // namespace vela
