// Sprite pipeline benchmark, one thread: how many squares (or ribbon segments) per second go
// through PushSquare (what DrawSquare runs: transform, clip, store), and what the upload in
// drawing order (WriteDrawOrder, the copy UpdateBuffer makes into the locked vertex buffer)
// costs, each next to a plain memcpy of the bytes that reach the vertex buffer.
//
//   vela_sprite_bench [seconds per measurement] [sprites per batch]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "sprite/sprite_shapes.h"
#include "sprite/triangle_batch.h"

namespace {

using Clock = std::chrono::steady_clock;

double g_seconds = 0.5;

// The best time of one call of `work`, in nanoseconds, over repeated calls for g_seconds.
template <typename Work>
double BestNanoseconds(Work&& work) {
  double best = 1e300;
  const auto end = Clock::now() + std::chrono::duration<double>(g_seconds);
  int runs = 0;
  do {
    const auto start = Clock::now();
    work();
    const double elapsed = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    best = std::min(best, elapsed);
    ++runs;
  } while (Clock::now() < end || runs < 3);
  return best;
}

struct SquareInput {
  vela::Rect2D destination;
  float z;
};

std::vector<SquareInput> RandomSquares(int count, bool orderedDepth, float screenWidth, float screenHeight) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> x(0.0f, screenWidth - 32.0f);
  std::uniform_real_distribution<float> y(0.0f, screenHeight - 32.0f);
  std::uniform_real_distribution<float> z(0.0f, 65534.0f);
  std::vector<SquareInput> squares(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    squares[i] = {{x(random), y(random), 32.0f, 32.0f}, orderedDepth ? 60000.0f - 6.0f * (i % 10000) : z(random)};
  }
  return squares;
}

vela::TriangleBatch MakeBatch(std::uint32_t capacity, bool sorted) {
  vela::TriangleBatch batch;
  if (!batch.Configure(capacity, 1, sorted) || !batch.AllocateStore() || (sorted && !batch.AllocateBuckets())) {
    std::fprintf(stderr, "cannot make a batch of %u vertices\n", capacity);
    std::exit(1);
  }
  return batch;
}

void PushSquares(vela::TriangleBatch& batch, const std::vector<SquareInput>& squares) {
  static const vela::UvRect uv[vela::kVertex2DStages] = {{0.0f, 0.0f, 1.0f, 1.0f}};
  batch.Reset();
  for (const SquareInput& square : squares) batch.PushSquare(square.destination, square.z, uv, 0xFFFFFFFF);
}

// A plain copy of `bytes` bytes, the memory-bandwidth bound of writing them.
double CopyNanoseconds(std::size_t bytes) {
  std::vector<std::byte> source(bytes, std::byte{1});
  std::vector<std::byte> destination(bytes);
  return BestNanoseconds([&] { std::memcpy(destination.data(), source.data(), bytes); });
}

// Squares per case: the push, the push with the upload, a memcpy of the bytes uploaded for the
// whole square (6 vertices of 28 bytes, whether or not the scissor cut it), and the ratio.
void BenchSquares(int count, bool sorted, const vela::ScissorSetting& scissor, const char* what) {
  const auto squares = RandomSquares(count, false, 640.0f, 480.0f);
  vela::TriangleBatch batch = MakeBatch(static_cast<std::uint32_t>(count) * 15, sorted);
  batch.Scissor() = scissor;
  std::vector<std::byte> buffer(batch.BufferBytes());
  const double push = BestNanoseconds([&] { PushSquares(batch, squares); });
  const double upload = BestNanoseconds([&] { batch.WriteDrawOrder(buffer.data(), buffer.size()); });
  const double copy = CopyNanoseconds(std::size_t{6} * batch.Stride() * static_cast<std::size_t>(count));
  std::printf("| %-40s | %6.1f | %6.1f | %5.1f | %5.2f | %5u |\n", what, push / count, (push + upload) / count,
              copy / count, (push + upload) / copy, batch.VertexCount() / 6);
}

void BenchRibbon(int points) {
  std::vector<float> x(points), y(points), z(points), halfWidth(points);
  std::vector<std::int32_t> angle(points);
  std::vector<std::uint32_t> colour(points, 0xFFFFFFFF);
  for (int k = 0; k < points; ++k) {
    x[k] = 20.0f + static_cast<float>(k % 600);
    y[k] = 240.0f + 100.0f * static_cast<float>((k * 37) % 200) / 200.0f;
    z[k] = 1000.0f + static_cast<float>(k % 50000);
    halfWidth[k] = 8.0f;
    angle[k] = k * 97;
  }
  auto bytes = [](const auto& values) { return reinterpret_cast<const std::byte*>(values.data()); };
  const vela::RibbonPoints ribbon{bytes(x), bytes(y), bytes(z), bytes(halfWidth), bytes(angle), bytes(colour), points};
  for (const bool sorted : {true, false}) {
    vela::TriangleBatch batch = MakeBatch(static_cast<std::uint32_t>(points) * 6, sorted);
    const double push = BestNanoseconds([&] {
      batch.Reset();
      vela::PushRibbon(batch, ribbon, {0.0f, 0.0f, 1.0f, 1.0f});
    });
    std::printf("| %-40s | %6.1f | %12.0f |\n", sorted ? "DrawList segments, sorted" : "DrawList segments, unsorted",
                push / (points - 1), (points - 1) * 1e9 / push);
  }
}

void BenchUpload(int count) {
  for (const bool ordered : {false, true}) {
    const auto squares = RandomSquares(count, ordered, 640.0f, 480.0f);
    vela::TriangleBatch batch = MakeBatch(static_cast<std::uint32_t>(count) * 6, true);
    PushSquares(batch, squares);
    std::vector<std::byte> buffer(batch.BufferBytes());
    std::vector<std::byte> source(batch.DrawBytes(), std::byte{1});
    const double upload = BestNanoseconds([&] { batch.WriteDrawOrder(buffer.data(), buffer.size()); });
    const double copy = BestNanoseconds([&] { std::memcpy(buffer.data(), source.data(), source.size()); });
    const double megabytes = static_cast<double>(batch.DrawBytes()) / 1e6;
    std::printf("| sorted upload, %-6s depths | %8.1f | %8.0f | %8.1f | %8.0f | %5.2f |\n", ordered ? "banded" : "random",
                upload / 1e3, megabytes / (upload * 1e-9), copy / 1e3, megabytes / (copy * 1e-9), upload / copy);
  }
  const auto squares = RandomSquares(count, false, 640.0f, 480.0f);
  vela::TriangleBatch batch = MakeBatch(static_cast<std::uint32_t>(count) * 6, false);
  PushSquares(batch, squares);
  std::vector<std::byte> buffer(batch.BufferBytes());
  std::vector<std::byte> source(batch.DrawBytes(), std::byte{1});
  const double upload = BestNanoseconds([&] { batch.WriteDrawOrder(buffer.data(), buffer.size()); });
  const double copy = BestNanoseconds([&] { std::memcpy(buffer.data(), source.data(), source.size()); });
  const double megabytes = static_cast<double>(batch.DrawBytes()) / 1e6;
  std::printf("| unsorted upload               | %8.1f | %8.0f | %8.1f | %8.0f | %5.2f |\n", upload / 1e3,
              megabytes / (upload * 1e-9), copy / 1e3, megabytes / (copy * 1e-9), upload / copy);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_seconds = std::atof(argv[1]);
  const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
  if (count < 2 || g_seconds <= 0.0) {
    std::fprintf(stderr, "usage: vela_sprite_bench [seconds per measurement] [sprites per batch]\n");
    return 2;
  }
  const vela::ScissorSetting off{};
  // Covers the screen: every triangle is tested, none cut.
  const vela::ScissorSetting around{true, -1.0f, -1.0f, 641.0f, 481.0f};
  // The middle of the screen: about a quarter of the squares inside, an eighth cut, the rest
  // rejected whole.
  const vela::ScissorSetting middle{true, 160.0f, 120.0f, 480.0f, 360.0f};

  std::printf("%d sprites (32 x 32 squares on 640 x 480) per batch, vertex type 1, best of %.1f s\n\n", count,
              g_seconds);
  std::printf("| squares, ns per square | push | push + upload | copy | ratio | stored |\n"
              "|---|---|---|---|---|---|\n");
  BenchSquares(count, true, off, "sorted, scissor off");
  BenchSquares(count, false, off, "unsorted, scissor off");
  BenchSquares(count, true, around, "sorted, scissor on (nothing cut)");
  BenchSquares(count, false, around, "unsorted, scissor on (nothing cut)");
  BenchSquares(count, true, middle, "sorted, scissor on (middle quarter)");
  BenchSquares(count, false, middle, "unsorted, scissor on (middle quarter)");
  std::printf("\n| case | ns per segment | segments per second |\n|---|---|---|\n");
  BenchRibbon(count + 1);
  std::printf("\n| upload of %d squares | upload us | MB/s | memcpy us | MB/s | ratio |\n|---|---|---|---|---|---|\n",
              count);
  BenchUpload(count);
  return 0;
}
