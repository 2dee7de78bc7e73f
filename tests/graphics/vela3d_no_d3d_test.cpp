// Vela3D when d3d9.dll cannot be loaded (run with Wine's d3d9 disabled): the failure is
// logged and boxed as the user would see it, and nothing afterwards touches a missing device.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/vela3d.h"
#include "host/script_host.h"
#include "plugin/export_functions.h"
#include "tests/graphics/core_stub.h"


namespace vela {
namespace {

TEST(Vela3DWithoutDirect3D, InitializeFailsWithItsBoxesAndEverythingElseStaysSafe) {
  test::SetScreen(nullptr, 640, 480, true);
  ASSERT_FALSE(Vela3D::Initialize());

  const auto& boxes = test::ErrorBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].type, unsigned{MB_ICONERROR});
  EXPECT_EQ(boxes[0].caption, "Vela3D");
  EXPECT_EQ(boxes[0].text, "DLLの読み込みに失敗\nDirectX9cが正しくインストールされているか\n確認して下さい");
  EXPECT_EQ(boxes[1].caption, "Vela3D");
  EXPECT_EQ(boxes[1].text, "アダプターの初期化に失敗");
  EXPECT_NE(test::LoggedText().find("Vela3Dクラスの初期化\n"
                                    "　　　エラー : DLLの読み込みに失敗\n"
                                    "　　　DirectX9cが正しくインストールされているか確認して下さい\n"),
            std::string::npos)
      << test::LoggedText();

  EXPECT_FALSE(Vela3D::Start(nullptr, true));
  EXPECT_EQ(Vela3D::Device(), nullptr);

  // The exports answer as the protocol says and reach no device.
  host::ScriptHost host;
  EXPECT_EQ(host.Call(&BeginScene), -1);
  EXPECT_FALSE(host.PopBool());
  host.PushInt(0);
  EXPECT_EQ(host.Call(&Clear), 4);
  host.PushInt(1).PushInt(2).PushInt(3).PushInt(4).PushInt(5);
  EXPECT_EQ(host.Call(&ColorFill), 20);
  host.PushInt(2);
  EXPECT_EQ(host.Call(&SetBlendingType), 4);
  host.PushBool(true).PushFloat(320).PushFloat(240).PushFloat(100);
  EXPECT_EQ(host.Call(&SetPerspective), 13);
  EXPECT_EQ(host.Call(&EndScene), 0);
  EXPECT_EQ(host.Call(&Refresh), 0);
  EXPECT_FALSE(Vela3D::FrameStep());
  Vela3D::Restore(true);

  test::ClearLog();
  Vela3D::Release();
  Vela3D::Release();
  EXPECT_EQ(test::LoggedText(), "Vela3Dクラスの解放\n\nVela3Dクラスの解放\n\n") << "nothing was there to release";
  EXPECT_EQ(test::ErrorBoxes().size(), 2u);
}

}  // namespace
}  // namespace vela
