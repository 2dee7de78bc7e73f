// The scissor clipper and the vertex store over arbitrary triangles, squares, rectangles and
// settings: nothing is written past a buffer, clipped output stays a whole number of triangles,
// and for finite input every kept vertex lies in the rectangle.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sprite/triangle_batch.h"
#include "sprite/triangle_clip.h"

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  template <typename T>
  T Take() {
    T value{};
    if (at_ + sizeof value <= size_) std::memcpy(&value, data_ + at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  bool More() const { return at_ < size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

vela::Vertex2D TakeVertex(Reader& reader) {
  vela::Vertex2D vertex{};
  vertex.x = reader.Take<float>();
  vertex.y = reader.Take<float>();
  vertex.z = reader.Take<float>();
  vertex.rhw = 1.0f;
  vertex.diffuse = reader.Take<std::uint32_t>();
  vertex.uv[0] = {reader.Take<float>(), reader.Take<float>()};
  return vertex;
}

bool Finite(const vela::TriangleRecord& record, const vela::ScissorSetting& scissor) {
  for (const vela::Vertex2D& v : record.vertex) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || std::fabs(v.x) > 1e6f || std::fabs(v.y) > 1e6f) return false;
  }
  for (float edge : {scissor.left, scissor.top, scissor.right, scissor.bottom}) {
    if (!std::isfinite(edge) || std::fabs(edge) > 1e6f) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader reader(data, size);
  const auto flags = reader.Take<std::uint8_t>();
  vela::ScissorSetting scissor{true, reader.Take<float>(), reader.Take<float>(), reader.Take<float>(),
                               reader.Take<float>()};

  vela::TriangleBatch batch;
  const std::uint32_t capacity = reader.Take<std::uint16_t>() % 256;
  const bool sorted = (flags & 1) != 0;
  if (!batch.Configure(capacity, (flags >> 1) % 5, sorted) || !batch.AllocateStore() ||
      (sorted && !batch.AllocateBuckets())) {
    std::abort();
  }
  batch.Scissor() = scissor;
  batch.Scissor().on = (flags & 0x10) != 0;
  batch.Transform().perspective = {(flags & 0x20) != 0, reader.Take<float>(), reader.Take<float>(), reader.Take<float>()};

  while (reader.More()) {
    const vela::TriangleRecord record{{TakeVertex(reader), TakeVertex(reader), TakeVertex(reader)}};
    vela::Vertex2D out[vela::kClipOutputCapacity];
    const int count = vela::ClipTriangle(scissor, record, out);
    if (count < 0 || count > vela::kClipOutputCapacity || count % 3 != 0) std::abort();
    if (Finite(record, scissor) && scissor.left <= scissor.right && scissor.top <= scissor.bottom) {
      // Cuts round to a few units in the last place of the largest coordinate involved.
      float largest = 1.0f;
      for (const vela::Vertex2D& v : record.vertex) largest = std::fmax(largest, std::fmax(std::fabs(v.x), std::fabs(v.y)));
      for (float edge : {scissor.left, scissor.top, scissor.right, scissor.bottom}) {
        largest = std::fmax(largest, std::fabs(edge));
      }
      const float slack = 1e-5f * largest;
      for (int i = 0; i < count; ++i) {
        if (out[i].x < scissor.left - slack || out[i].x > scissor.right + slack || out[i].y < scissor.top - slack ||
            out[i].y > scissor.bottom + slack) {
          std::abort();
        }
      }
    }
    batch.PushTriangles(&record, 1);
    // The same bytes as a square's destination, depth, texture coordinates and colour.
    const vela::Vertex2D& corner = record.vertex[0];
    const vela::UvRect uv[vela::kVertex2DStages] = {
        {corner.uv[0].u, corner.uv[0].v, record.vertex[1].x, record.vertex[1].y}};
    batch.PushSquare({corner.x, corner.y, record.vertex[2].x - corner.x, record.vertex[2].y - corner.y}, corner.z, uv,
                     corner.diffuse);
    if (batch.VertexCount() > batch.Capacity()) std::abort();
  }
  std::vector<std::byte> drawn(batch.DrawBytes());
  if (batch.WriteDrawOrder(drawn.data(), drawn.size()) > drawn.size()) std::abort();
  batch.Reset();
  return 0;
}
