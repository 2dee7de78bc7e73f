#include "host/demo/demo_sprite_layers.h"

#include <algorithm>
#include <vector>

#include "host/demo/demo_rects.h"

namespace vela::demo {

namespace {

constexpr std::int32_t kVerticesPerSquare = 6;
constexpr float kTrailDepth = 100;
constexpr float kRadarScale = 0.4f;  // the radar shows the world around the ship at this scale
constexpr float kBlipScale = 0.25f;  // a rock's blip against its size

std::uint32_t Argb(std::uint32_t alpha, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return alpha << 24 | red << 16 | green << 8 | blue;
}

// The trail's points, oldest first: thin, faint and orange at its end, wide and bright cyan at
// the ship. Each point's ribbon edge lies across the way the trail runs there.
std::vector<RibbonPoint> TrailPoints(const std::deque<Point>& trail) {
  std::vector<RibbonPoint> points;
  const std::size_t count = std::min<std::size_t>(trail.size(), DemoPlugin::kMaxRibbonPoints);
  for (std::size_t k = 0; k < count; ++k) {
    const float t = count > 1 ? float(k) / float(count - 1) : 1.0f;
    const Point& before = trail[k > 0 ? k - 1 : k];
    const Point& after = trail[k + 1 < count ? k + 1 : k];
    const auto level = [t](float from, float to) { return static_cast<std::uint32_t>(from + (to - from) * t); };
    points.push_back({trail[k].x, trail[k].y, kTrailDepth, 2 + 12 * t,
                      AngleOf({after.x - before.x, after.y - before.y}),
                      Argb(level(0, 230), level(255, 80), level(120, 220), level(40, 255))});
  }
  return points;
}

}  // namespace

SpriteLayers::SpriteLayers(DemoPlugin& plugin, const DemoTextures& textures) : plugin_(plugin) {
  rocks_ = plugin_.SpriteCreate(DemoWorld::kRockCount * kVerticesPerSquare);
  trail_ = plugin_.SpriteCreate(DemoPlugin::kMaxRibbonPoints * kVerticesPerSquare);
  radar_ = plugin_.SpriteCreate((DemoWorld::kRockCount + DemoWorld::kMineCount + 1) * kVerticesPerSquare);
  plugin_.SpriteAttatchTexture(rocks_, textures.rocks);
  plugin_.SpriteAttatchTexture(trail_, textures.sprites);
  plugin_.SpriteAttatchTexture(radar_, textures.sprites);
}

SpriteLayers::~SpriteLayers() {
  for (std::uint32_t sprite : {rocks_, trail_, radar_}) plugin_.Release(sprite);
}

template <typename Fill>
void SpriteLayers::Draw(std::uint32_t sprite, Fill fill) {
  plugin_.SpriteResetBuffer(sprite);
  fill();
  plugin_.SpriteUpdateBuffer(sprite);
  plugin_.SpriteRendering(sprite);
}

void SpriteLayers::DrawRocks(const DemoWorld& world) {
  Draw(rocks_, [&] {
    for (const Rock& rock : world.Rocks()) {
      plugin_.SpriteDrawSquare(rocks_, Centred(rock.centre, rock.size), rock.depth, Source(kRockPictures[rock.picture]));
    }
  });
}

void SpriteLayers::DrawTrail(const DemoWorld& world) {
  Draw(trail_, [&] { plugin_.SpriteDrawList(trail_, TrailPoints(world.Trail()), Source(kTrailPicture)); });
}

void SpriteLayers::DrawRadar(const DemoWorld& world, const RadarPanel& panel) {
  const Point ship = world.ShipState().position;
  const Point middle = {panel.x + panel.width / 2.0f, panel.y + panel.height / 2.0f};
  const auto onRadar = [&](Point p) {
    return Point{middle.x + (p.x - ship.x) * kRadarScale, middle.y + (p.y - ship.y) * kRadarScale};
  };
  // Scissoring reaches the sprites that exist when it is set, and clips what is drawn into
  // them afterwards: blips beyond the panel are cut at its edge.
  plugin_.SetScissoring(true, panel.x, panel.y, panel.width, panel.height);
  Draw(radar_, [&] {
    for (const Rock& rock : world.Rocks()) {
      plugin_.SpriteDrawSquare(radar_, Centred(onRadar(rock.centre), rock.size * kBlipScale), rock.depth,
                               Source(kBlipPicture));
    }
    for (const Mine& mine : world.Mines()) {
      plugin_.SpriteDrawSquare(radar_, Centred(onRadar(mine.centre), DemoWorld::kMineSize * kRadarScale), 0,
                               Source(kMinePicture));
    }
    plugin_.SpriteDrawSquare(radar_, Centred(middle, DemoWorld::kShipSize * kRadarScale), 0, Source(kShipPicture));
  });
  plugin_.SetScissoring(false, panel.x, panel.y, panel.width, panel.height);
}

}  // namespace vela::demo
