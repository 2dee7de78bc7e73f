// A hash of the vertex buffer's bytes, with the vertex and requested counts, for fixed
// pseudo-random batches of squares and ribbons over every vertex type, scissor, sort order,
// transform, edge depth, a full object and repeated uploads: any change to what the 2D pipeline
// stores or the order it uploads in shows up here.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <vector>

#include "sprite/sprite_shapes.h"
#include "sprite/triangle_batch.h"

namespace vela {
namespace {

// A small generator of its own, so that every build draws the same numbers.
class Numbers {
 public:
  explicit Numbers(std::uint32_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  // lowest + k / steps for a whole k below span * steps: exact in single precision.
  float Step(int lowest, int span, int steps) {
    const int k = static_cast<int>(Next() % static_cast<std::uint32_t>(span * steps));
    return static_cast<float>(lowest) + static_cast<float>(k) / static_cast<float>(steps);
  }
  template <typename T, std::size_t N>
  T Pick(const T (&values)[N]) {
    return values[Next() % N];
  }

 private:
  std::uint32_t state_;
};

// Sevenths, so that edges and cuts fall between representable quarters. One rounded division,
// so that every build draws the same value.
float Fraction(Numbers& numbers, int lowest, int span) {
  const int k = static_cast<int>(numbers.Next() % static_cast<std::uint32_t>(span * 7));
  return static_cast<float>(lowest * 7 + k) / 7.0f;
}

// Depths: anywhere in the range and a little beyond it, or one of the edge values.
float Depth(Numbers& numbers) {
  static const float kEdges[] = {-0.5f,    -0.001f, -1e-7f,    -0.0f,   0.0f,   1e-7f,  7.99f,   8.0f,
                                 8.0009f,  32767.f, 65526.f,   65527.f, 65533.f, 65534.f, 65534.25f, 65534.99f,
                                 65535.0f, 65535.5f, 65536.0f, 70000.f};
  switch (numbers.Next() % 4) {
    case 0:
      return numbers.Pick(kEdges);
    case 1:
      return Fraction(numbers, -4, 65544);
    default:
      return numbers.Step(0, 65535, 4);
  }
}

UvRect RandomUv(Numbers& numbers) {
  return {numbers.Step(0, 1, 1024), numbers.Step(0, 1, 1024), numbers.Step(0, 1, 1024), numbers.Step(0, 1, 1024)};
}

// Coordinates that lie on a scissor edge once transformed (the shift is half a pixel), just
// beside it, or anywhere around the screen.
float Coordinate(Numbers& numbers, float lowEdge, float highEdge, float screen) {
  switch (numbers.Next() % 5) {
    case 0:
      return lowEdge + 0.5f;
    case 1:
      return highEdge + 0.5f;
    case 2:
      return numbers.Pick({lowEdge + 0.25f, lowEdge + 0.75f, highEdge + 0.25f, highEdge + 0.75f});
    case 3:
      return Fraction(numbers, -40, static_cast<int>(screen) + 80);
    default:
      return numbers.Step(-40, static_cast<int>(screen) + 80, 4);
  }
}

float Extent(Numbers& numbers) {
  static const float kSizes[] = {0.0f, 0.25f, 1.0f, 16.0f, 32.0f, 32.0f, 32.0f, 64.0f, 200.0f, 700.0f, -32.0f};
  return numbers.Next() % 3 == 0 ? Fraction(numbers, 0, 100) : numbers.Pick(kSizes);
}

struct Settings {
  std::uint32_t vertexType = 1;
  bool sorted = true;
  std::uint32_t capacity = 100000;
  ScissorSetting scissor;
  TransformSettings transform;
};

TriangleBatch MakeBatch(const Settings& settings) {
  TriangleBatch batch;
  EXPECT_TRUE(batch.Configure(settings.capacity, settings.vertexType, settings.sorted));
  EXPECT_TRUE(batch.AllocateStore());
  if (settings.sorted) {
    EXPECT_TRUE(batch.AllocateBuckets());
  }
  batch.Scissor() = settings.scissor;
  batch.Transform() = settings.transform;
  return batch;
}

// Squares go in as DrawSquare stores them (PushSquare) or as their two triangles.
enum class SquarePath { kSquare, kTriangles };

void PushSquares(TriangleBatch& batch, Numbers& numbers, int count, const ScissorSetting& around, SquarePath path) {
  for (int i = 0; i < count; ++i) {
    const Rect2D destination{Coordinate(numbers, around.left, around.right, 640.0f),
                             Coordinate(numbers, around.top, around.bottom, 480.0f), Extent(numbers), Extent(numbers)};
    UvRect uv[kVertex2DStages];
    for (UvRect& stage : uv) stage = RandomUv(numbers);
    const float z = Depth(numbers);
    const std::uint32_t colour = numbers.Next() * 257u;
    if (path == SquarePath::kSquare) {
      batch.PushSquare(destination, z, uv, colour);
      continue;
    }
    TriangleRecord records[2];
    BuildSquare(destination, z, uv, colour, records);
    batch.PushTriangles(records, 2);
  }
}

void PushRibbons(TriangleBatch& batch, Numbers& numbers, int ribbons, const ScissorSetting& around) {
  for (int r = 0; r < ribbons; ++r) {
    const int count = static_cast<int>(numbers.Next() % 12);
    std::vector<float> x, y, z, halfWidth;
    std::vector<std::int32_t> angle;
    std::vector<std::uint32_t> colour;
    for (int k = 0; k < count; ++k) {
      x.push_back(Coordinate(numbers, around.left, around.right, 640.0f));
      y.push_back(Coordinate(numbers, around.top, around.bottom, 480.0f));
      z.push_back(Depth(numbers));
      halfWidth.push_back(Extent(numbers) * 0.5f);
      angle.push_back(static_cast<std::int32_t>(numbers.Next() % 65536) - 16384);
      colour.push_back(numbers.Next() * 263u);
    }
    auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values.data()); };
    PushRibbon(batch, {bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), count},
               RandomUv(numbers));
  }
}

// Folds the upload's bytes, then the two counts, into an FNV-1a hash.
void HashUpload(const TriangleBatch& batch, std::uint64_t& hash) {
  std::vector<std::byte> bytes(batch.BufferBytes());
  bytes.resize(batch.WriteDrawOrder(bytes.data(), bytes.size()));
  EXPECT_EQ(bytes.size(), batch.DrawBytes());
  const std::uint32_t counts[] = {batch.VertexCount(), batch.RequestedCount()};
  bytes.insert(bytes.end(), reinterpret_cast<const std::byte*>(counts), reinterpret_cast<const std::byte*>(counts + 2));
  for (std::byte b : bytes) hash = (hash ^ static_cast<std::uint8_t>(b)) * 0x100000001B3ull;
}

enum class Shape { kSquares, kRibbons, kBoth };

struct Batch {
  const char* name;
  Shape shape;
  Settings settings;
  int count;
  // With every float operation rounded (SSE), and as the product's x87 code computes, which
  // keeps intermediates at register precision: the cuts, the perspective and some depth keys
  // differ in their last bits.
  std::uint64_t expected;
  std::uint64_t expectedX87;
};

constexpr ScissorSetting kNoScissor{false, 100.0f, 80.0f, 540.0f, 400.0f};
constexpr ScissorSetting kScissor{true, 100.0f, 80.0f, 540.0f, 400.0f};
constexpr ScissorSetting kSmallScissor{true, 300.0f, 200.0f, 340.0f, 230.0f};
constexpr TransformSettings kPlain{};
constexpr TransformSettings kPerspective{{true, 320.0f, 240.0f, 1.5f}, {}, {1.25f, 0.8f}};
constexpr TransformSettings kZoomed{{true, 300.0f, 200.0f, -0.75f}, {true, 330.0f, 250.0f, 1.5f}, {1.0f, 1.0f}};

// The hashes of the pipeline as it stood when they were taken.
const Batch kBatches[] = {
    {"squares, sorted, scissor off", Shape::kSquares, {1, true, 100000, kNoScissor, kPlain}, 3000, 0x4427e0e6b53eb0fb, 0x4427e0e6b53eb0fb},
    {"squares, unsorted, scissor off", Shape::kSquares, {1, false, 100000, kNoScissor, kPlain}, 3000, 0xe6686e15e8aa5df4, 0xe6686e15e8aa5df4},
    {"squares, sorted, scissor on", Shape::kSquares, {1, true, 100000, kScissor, kPlain}, 3000, 0xbba70b670e234b68, 0x26413a6efc507fa5},
    {"squares, unsorted, scissor on", Shape::kSquares, {1, false, 100000, kScissor, kPlain}, 3000, 0x7baf724478351579, 0x5febcfd871300900},
    {"squares, sorted, small scissor", Shape::kSquares, {4, true, 100000, kSmallScissor, kPlain}, 3000, 0x5da9b0e8c1d20ac3, 0xcfdd96cc7e24b5e8},
    {"squares, unsorted, type 0, scissor on", Shape::kSquares, {0, false, 100000, kScissor, kPlain}, 2000, 0xb9e2235dd8c7856f, 0x8991ea6f16df11b3},
    {"squares, sorted, type 2, perspective, scale", Shape::kSquares, {2, true, 100000, kScissor, kPerspective}, 2000, 0xfad96a08981cf9f9, 0xfea1e3e3f7d76eb9},
    {"squares, unsorted, type 3, perspective, zoom", Shape::kSquares, {3, false, 100000, kScissor, kZoomed}, 2000, 0x5b50f23ac83d3ec2, 0xf8d1abbc5863708a},
    {"squares, sorted, full", Shape::kSquares, {1, true, 3000, kScissor, kPlain}, 1000, 0x144b0fe8aaacec1c, 0xe70cbbc69807fddd},
    {"squares, unsorted, full", Shape::kSquares, {1, false, 3000, kNoScissor, kPlain}, 1000, 0x922dda567ef60e83, 0x922dda567ef60e83},
    {"ribbons, sorted, scissor off", Shape::kRibbons, {1, true, 100000, kNoScissor, kPlain}, 300, 0x2907266d0f2c8e6a, 0xdff32afe9e57861a},
    {"ribbons, unsorted, scissor on", Shape::kRibbons, {1, false, 100000, kScissor, kPlain}, 300, 0x6c68beb2d831dac3, 0xd61f7dfc3da238e0},
    {"ribbons, sorted, type 4, scissor on, perspective", Shape::kRibbons, {4, true, 100000, kScissor, kPerspective}, 300, 0x901dc59cfabcc3e1, 0x53dbf43c836b0aef},
    {"squares and ribbons, sorted, full", Shape::kBoth, {1, true, 2000, kSmallScissor, kPlain}, 200, 0xd5211187f6c94549, 0xe2e0a921fae22d39},
};

std::uint64_t UploadHash(const Batch& batch, std::uint32_t seed, SquarePath path) {
  TriangleBatch object = MakeBatch(batch.settings);
  Numbers numbers(seed);
  std::uint64_t hash = 0xCBF29CE484222325ull;
  // A first fill that the reset forgets, then the batch in two halves with an upload between.
  PushSquares(object, numbers, 50, batch.settings.scissor, path);
  object.Reset();
  for (int half = 0; half < 2; ++half) {
    if (batch.shape != Shape::kRibbons) PushSquares(object, numbers, batch.count / 2, batch.settings.scissor, path);
    if (batch.shape != Shape::kSquares) PushRibbons(object, numbers, batch.count / 2, batch.settings.scissor);
    HashUpload(object, hash);
  }
  return hash;
}

TEST(SpriteUploadHash, EveryBatchUploadsTheSameBytesAsBefore) {
  for (const SquarePath path : {SquarePath::kSquare, SquarePath::kTriangles}) {
    SCOPED_TRACE(path == SquarePath::kSquare ? "squares pushed whole" : "squares pushed as two triangles");
    std::uint32_t seed = 1;
    for (const Batch& batch : kBatches) {
      const std::uint64_t hash = UploadHash(batch, seed++, path);
      const std::uint64_t expected = FLT_EVAL_METHOD == 0 ? batch.expected : batch.expectedX87;
      EXPECT_EQ(hash, expected) << batch.name << ": 0x" << std::hex << hash;
    }
  }
}

}  // namespace
}  // namespace vela
