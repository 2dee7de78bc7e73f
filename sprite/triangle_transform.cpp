#include "sprite/triangle_transform.h"

namespace vela {

void TransformVertex(const TransformSettings& settings, Vertex2D& vertex) {
  const PerspectiveSetting& perspective = settings.perspective;
  if (perspective.on) {
    const float t = ((vertex.z - 32767.0f) * perspective.depthFactor + 65535.0f) * kInverseDepthRange;
    const float s = 1.0f / t;
    vertex.x = (vertex.x - perspective.centreX) * s + perspective.centreX;
    vertex.y = (vertex.y - perspective.centreY) * s + perspective.centreY;
    vertex.z = (vertex.z * kInverseDepthRange) / s;
    vertex.rhw = 1.0f / vertex.z;
  } else {
    vertex.z = vertex.z * kInverseDepthRange;
  }
  const ZoomSetting& zoom = settings.zoom;
  if (zoom.on) {
    vertex.x = (vertex.x - zoom.centreX) * zoom.factor + zoom.centreX;
    vertex.y = (vertex.y - zoom.centreY) * zoom.factor + zoom.centreY;
  }
  vertex.x = vertex.x * settings.scale.x - 0.5f;
  vertex.y = vertex.y * settings.scale.y - 0.5f;
}

void TransformTriangle(const TransformSettings& settings, const TriangleRecord& in, TriangleRecord& out) {
  out = in;
  for (Vertex2D& vertex : out.vertex) TransformVertex(settings, vertex);
}

}  // namespace vela
