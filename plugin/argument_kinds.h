// The kinds of values an export takes from the host's argument stack or leaves on it, with the
// bytes each one covers there. These names spell the shapes in export_table.h; the reader
// (argument_block.h) says what value each kind reads as.
#pragma once

#include <cstdint>

namespace vela::plugin {

enum class Kind : std::uint8_t { kNone, kBool, kInt, kFloat, kHandle, kRef, kString, kArray, kRect };

// The kinds of objects the exports hand out as handles, as bits of a set.
using ObjectKinds = std::uint8_t;
inline constexpr ObjectKinds kTextures = 1;
inline constexpr ObjectKinds kSurfaces = 2;
inline constexpr ObjectKinds kSprites = 4;

namespace kind {

template <Kind K, std::uint32_t Bytes>
struct KindTag {
  static constexpr Kind kKind = K;
  static constexpr std::uint32_t kBytes = Bytes;
};

struct None : KindTag<Kind::kNone, 0> {};      // no result
struct Bool : KindTag<Kind::kBool, 1> {};      // 0 false, anything else true; a result is 0 or 1
struct Int : KindTag<Kind::kInt, 4> {};        // signed 32-bit
struct Float : KindTag<Kind::kFloat, 4> {};    // IEEE single
// An object word handed out earlier (0 for none), of the object kinds in `Accepted`.
template <ObjectKinds Accepted>
struct HandleKind : KindTag<Kind::kHandle, 4> {
  static constexpr ObjectKinds kAccepted = Accepted;
};
struct TextureHandle : HandleKind<kTextures> {};
struct SurfaceHandle : HandleKind<kSurfaces> {};
struct SpriteHandle : HandleKind<kSprites> {};
struct ObjectHandle : HandleKind<kTextures | kSurfaces | kSprites> {};  // any of them
struct Ref : KindTag<Kind::kRef, 4> {};        // a host variable the export writes
struct String : KindTag<Kind::kString, 12> {}; // object, byte offset, byte length
struct Array : KindTag<Kind::kArray, 12> {};   // object, byte offset, an unread word
struct Rect : KindTag<Kind::kRect, 16> {};     // four words handed on by address, read in place

}  // namespace kind

template <typename K>
concept ArgumentKind = K::kKind != Kind::kNone;

// What an export may write over its first argument.
template <typename K>
concept ResultKind =
    K::kKind == Kind::kNone || K::kKind == Kind::kBool || K::kKind == Kind::kInt || K::kKind == Kind::kFloat;

}  // namespace vela::plugin
