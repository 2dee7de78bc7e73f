#include "imagecodec/triangle_scaler.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "imagecodec/image_limits.h"

namespace vela::codec {
namespace {

// Integral of the unit tent max(0, 1 - |t|) from -infinity to t.
double TentIntegral(double t) {
  if (t <= -1.0) return 0.0;
  if (t <= 0.0) return 0.5 * (t + 1.0) * (t + 1.0);
  if (t <= 1.0) return 1.0 - 0.5 * (1.0 - t) * (1.0 - t);
  return 1.0;
}

// Adds `weight` for source index `index` (clamped to the image) to the destination pixel's taps.
void AddTap(std::vector<std::pair<std::int64_t, double>>& taps, std::int64_t index, std::int64_t size,
            double weight) {
  if (weight <= 0.0) return;
  index = std::clamp<std::int64_t>(index, 0, size - 1);
  for (auto& tap : taps) {
    if (tap.first == index) {
      tap.second += weight;
      return;
    }
  }
  taps.emplace_back(index, weight);
}

}  // namespace

std::size_t SourceRowsElements(std::uint32_t rows, std::uint32_t width, std::uint32_t perPixel) {
  std::size_t elements = 0;
  std::size_t bytes = 0;
  if (!CheckedMultiply(rows, perPixel, elements) || !CheckedMultiply(elements, width, elements) ||
      !CheckedMultiply(elements, 4, bytes)) {
    throw std::bad_alloc();
  }
  return elements;
}

AxisFilter MakeAxisFilter(std::uint32_t sourceSize, std::uint32_t destinationSize) {
  AxisFilter filter;
  filter.first.resize(destinationSize);
  filter.count.resize(destinationSize);
  filter.offset.resize(destinationSize);
  const double scale = static_cast<double>(sourceSize) / destinationSize;  // source per destination
  std::vector<std::pair<std::int64_t, double>> taps;
  for (std::uint32_t j = 0; j < destinationSize; ++j) {
    taps.clear();
    if (sourceSize == destinationSize) {
      taps.emplace_back(j, 1.0);
    } else {
      const double begin = j * scale;
      const double end = (j + 1) * scale;
      if (destinationSize > sourceSize) {
        // Tents centred on i + 0.5; the outer ones beyond the edge fold back onto the edge pixels.
        const auto low = static_cast<std::int64_t>(std::floor(begin - 1.5));
        const auto high = static_cast<std::int64_t>(std::ceil(end + 0.5));
        for (std::int64_t i = low; i <= high; ++i) {
          const double centre = i + 0.5;
          AddTap(taps, i, sourceSize, (TentIntegral(end - centre) - TentIntegral(begin - centre)) / scale);
        }
      } else {
        const auto low = static_cast<std::int64_t>(std::floor(begin));
        const auto high = static_cast<std::int64_t>(std::ceil(end));
        for (std::int64_t i = low; i < high; ++i) {
          const double covered = std::min<double>(end, i + 1) - std::max<double>(begin, i);
          AddTap(taps, i, sourceSize, covered / scale);
        }
      }
    }
    std::sort(taps.begin(), taps.end());
    filter.first[j] = static_cast<std::uint32_t>(taps.front().first);
    filter.count[j] = static_cast<std::uint32_t>(taps.back().first - taps.front().first + 1);
    filter.offset[j] = static_cast<std::uint32_t>(filter.weights.size());
    // Taps are contiguous after clamping; missing indices in between would get weight 0.
    filter.weights.resize(filter.weights.size() + filter.count[j], 0.0f);
    for (const auto& [index, weight] : taps) {
      filter.weights[filter.offset[j] + (index - taps.front().first)] = static_cast<float>(weight);
    }
  }
  return filter;
}

TriangleScaler::TriangleScaler(const ArgbImage& source, std::uint32_t destinationWidth,
                               std::uint32_t destinationHeight)
    : TriangleScaler(std::make_unique<ImageRows>(source), nullptr, destinationWidth, destinationHeight) {}

TriangleScaler::TriangleScaler(RowSource& source, std::uint32_t destinationWidth,
                               std::uint32_t destinationHeight)
    : TriangleScaler(nullptr, &source, destinationWidth, destinationHeight) {}

TriangleScaler::TriangleScaler(std::unique_ptr<ImageRows> ownRows, RowSource* source,
                               std::uint32_t destinationWidth, std::uint32_t destinationHeight)
    : ownRows_(std::move(ownRows)),
      source_(source ? *source : *ownRows_),
      destinationWidth_(destinationWidth),
      destinationHeight_(destinationHeight),
      horizontal_(MakeAxisFilter(source_.width(), destinationWidth)),
      vertical_(MakeAxisFilter(source_.height(), destinationHeight)),
      column_(SourceRowsElements(1, source_.width(), 4)) {
  for (const std::uint32_t count : vertical_.count) heldRows_ = std::max(heldRows_, count);
  held_.resize(SourceRowsElements(heldRows_, source_.width(), 1));
}

bool TriangleScaler::ReadThrough(std::uint32_t last) {
  for (; rowsRead_ <= last; ++rowsRead_) {
    if (!source_.ReadRow(held_.data() + static_cast<std::size_t>(rowsRead_ % heldRows_) * source_.width())) {
      return false;
    }
  }
  return true;
}

bool TriangleScaler::Row(std::uint32_t y, float* out) {
  if (!ReadThrough(LastSourceRow(y))) return false;
  FilterRow(y, held_.data(), heldRows_, column_.data(), out);
  return true;
}

void TriangleScaler::FilterRow(std::uint32_t y, const std::uint32_t* ring, std::uint32_t ringRows, float* column,
                               float* out) const {
  const std::uint32_t sourceWidth = source_.width();
  std::fill(column, column + static_cast<std::size_t>(sourceWidth) * 4, 0.0f);
  for (std::uint32_t k = 0; k < vertical_.count[y]; ++k) {
    const float weight = vertical_.weights[vertical_.offset[y] + k];
    if (weight == 0.0f) continue;
    const std::uint32_t* row = ring + static_cast<std::size_t>((vertical_.first[y] + k) % ringRows) * sourceWidth;
    float* accumulator = column;
    for (std::uint32_t x = 0; x < sourceWidth; ++x, accumulator += 4) {
      const std::uint32_t pixel = row[x];
      accumulator[kRed] += weight * static_cast<float>((pixel >> 16) & 0xFF);
      accumulator[kGreen] += weight * static_cast<float>((pixel >> 8) & 0xFF);
      accumulator[kBlue] += weight * static_cast<float>(pixel & 0xFF);
      accumulator[kAlpha] += weight * static_cast<float>(pixel >> 24);
    }
  }
  for (std::uint32_t x = 0; x < destinationWidth_; ++x, out += 4) {
    float sum[4] = {0, 0, 0, 0};
    const float* weights = horizontal_.weights.data() + horizontal_.offset[x];
    const float* taps = column + static_cast<std::size_t>(horizontal_.first[x]) * 4;
    for (std::uint32_t k = 0; k < horizontal_.count[x]; ++k, taps += 4) {
      for (int c = 0; c < 4; ++c) sum[c] += weights[k] * taps[c];
    }
    std::copy_n(sum, 4, out);
  }
}

}  // namespace vela::codec
