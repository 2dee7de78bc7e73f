// Every export of the plug-in, in the order velaplugin.def lists them: the one place that says
// what each export takes from the host's stack and what it leaves there.
//
//   EXPORT(Name, Result, Argument...)   Result: None, Bool, Int or Float; arguments in
//                                       declaration order (kinds and sizes: argument_kinds.h)
//   ALIAS(Name, Function)               Function exported once more under another name
//
// From these rows come each export's byte count, the parameters and result its body must have
// (export_call.h), the declarations of the exported functions (export_functions.h), the
// generated velaplugin.def and the list the tests hold the DLL and the README against
// (export_shapes.h). Adding an export is a row here and a VELA_EXPORT_BODY in an
// exports_*.cpp file; the README's table and the host tests' export sweep then ask for a row of
// their own.
#pragma once

#define VELA_EXPORT_TABLE(EXPORT, ALIAS)                                                            \
  EXPORT(Init, Bool, String, Int, Int, Int)                                                         \
  EXPORT(WaitMsg, Bool)                                                                             \
  EXPORT(End, None)                                                                                 \
  EXPORT(BeginScene, Bool)                                                                          \
  EXPORT(EndScene, None)                                                                            \
  EXPORT(Refresh, None)                                                                             \
  EXPORT(Clear, None, Int)                                                                          \
  EXPORT(ColorFill, None, Rect, Int)                                                                \
  EXPORT(SetBlendingType, None, Int)                                                                \
  EXPORT(SetScissoring, None, Bool, Rect)                                                           \
  EXPORT(SetPerspective, None, Bool, Float, Float, Float)                                           \
  EXPORT(MathSin, Float, Int)                                                                       \
  EXPORT(MathCos, Float, Int)                                                                       \
  EXPORT(MathAtan, Int, Int, Int)                                                                   \
  EXPORT(MathRand, Int, Int, Int)                                                                   \
  EXPORT(MathRandF, Float, Float, Float)                                                            \
  EXPORT(MathRandSeed, None, Int)                                                                   \
  EXPORT(SurfaceLoad, None, Ref, String)                                                            \
  EXPORT(SurfaceCopyToBG, None, SurfaceHandle)                                                      \
  ALIAS(SurfaceRelease, TextureRelease)                                                             \
  EXPORT(FontBegin, None, String, Int)                                                              \
  EXPORT(FontDraw, None, Int, Int, Int, Int, String)                                                \
  EXPORT(FontEnd, None)                                                                             \
  EXPORT(TextureLoad, None, Ref, String)                                                            \
  EXPORT(TextureDraw, None, TextureHandle, Rect, Rect)                                              \
  EXPORT(TextureDrawRotate, None, TextureHandle, Rect, Rect, Int)                                   \
  EXPORT(TextureRelease, None, ObjectHandle)                                                        \
  EXPORT(SetOffsetUV, None, Float)                                                                  \
  EXPORT(GetKeyData, Bool, Int)                                                                     \
  EXPORT(KeyBufferLoop, Bool, Ref)                                                                  \
  EXPORT(SpriteCreate, None, Ref, Int)                                                              \
  EXPORT(SpriteAttatchTexture, None, SpriteHandle, TextureHandle)                                   \
  ALIAS(SpriteRelease, TextureRelease)                                                              \
  EXPORT(SpriteResetBuffer, None, SpriteHandle)                                                     \
  EXPORT(SpriteDrawSquare, None, SpriteHandle, Rect, Float, Rect)                                   \
  EXPORT(SpriteDrawList, None, SpriteHandle, Array, Array, Array, Array, Array, Array, Int, Rect)   \
  EXPORT(SpriteUpdateBuffer, None, SpriteHandle)                                                    \
  EXPORT(SpriteRendering, None, SpriteHandle)
