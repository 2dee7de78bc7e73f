// The kinds of values an export takes from the host's argument stack or leaves on it, with the
// bytes each one covers there. These names spell the shapes in export_table.h; the reader
// (argument_block.h) says what value each kind reads as.
#pragma once

#include <cstdint>

namespace vela::plugin {

enum class Kind : std::uint8_t { kNone, kBool, kInt, kFloat, kHandle, kRef, kString, kArray, kRect };

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
struct Handle : KindTag<Kind::kHandle, 4> {};  // an object word handed out earlier, 0 for none
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
