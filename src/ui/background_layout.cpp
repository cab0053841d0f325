// Gradient bands and picture placement of the background window.
#include "ui/background_layout.h"

#include <algorithm>

namespace palisade {
namespace {

constexpr int kBandDivisor = 224;
constexpr int kMaxBandHeight = 3;
constexpr std::int32_t kMaxBitmapSize = 100;

int Step(int from, int to, int index, int last) {
    if (last == 0) return from;
    return from + (to - from) * index / last;
}

// `size` centred in `area`.
Rect CentredIn(const Rect& area, int width, int height) {
    int left = area.left + (area.Width() - width) / 2;
    int top = area.top + (area.Height() - height) / 2;
    return Rect::At(left, top, width, height);
}

int RoundedRatio(std::int64_t value, std::int64_t numerator, std::int64_t denominator) {
    return int((value * numerator + denominator / 2) / denominator);
}

}  // namespace

std::vector<GradientBand> HandDrawnGradient(const Rect& client, Colour top, Colour bottom) {
    std::vector<GradientBand> bands;
    int height = client.Height();
    if (height <= 0) return bands;
    int bandHeight = std::clamp(height / kBandDivisor, 1, kMaxBandHeight);
    int count = (height + bandHeight - 1) / bandHeight;
    bands.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        int bandTop = client.top + i * bandHeight;
        Colour colour = MakeColour(Step(RedOf(top), RedOf(bottom), i, count - 1),
                                   Step(GreenOf(top), GreenOf(bottom), i, count - 1),
                                   Step(BlueOf(top), BlueOf(bottom), i, count - 1));
        bands.push_back({{client.left, bandTop, client.right, std::min(bandTop + bandHeight, client.bottom)}, colour});
    }
    return bands;
}

Rect PictureArea(const Rect& client, std::int32_t bitmapSize) {
    int width = RoundedRatio(client.Width(), bitmapSize, 100);
    int height = RoundedRatio(client.Height(), bitmapSize, 100);
    return CentredIn(client, width, height);
}

Rect FitPicture(const Rect& area, Size picture) {
    std::int64_t areaWidth = area.Width(), areaHeight = area.Height();
    // Width-limited when the area is relatively narrower than the picture.
    if (areaWidth * picture.height <= areaHeight * picture.width) {
        return CentredIn(area, int(areaWidth), RoundedRatio(areaWidth, picture.height, picture.width));
    }
    return CentredIn(area, RoundedRatio(areaHeight, picture.width, picture.height), int(areaHeight));
}

Rect WholeMultiplePicture(const Rect& area, Size picture) {
    int factor = std::min(area.Width() / picture.width, area.Height() / picture.height);
    if (factor < 1) return FitPicture(area, picture);
    return CentredIn(area, picture.width * factor, picture.height * factor);
}

TileGrid PictureTiles(const Rect& client, Size picture) {
    auto ceilDiv = [](int a, int b) { return a <= 0 ? 0 : (a + b - 1) / b; };
    return {ceilDiv(client.Width(), picture.width), ceilDiv(client.Height(), picture.height)};
}

BackgroundPicturePlan PlanBackgroundPicture(const Rect& client, Size picture, std::int32_t bitmapSize,
                                            std::int32_t stretchMode) {
    BackgroundPicturePlan plan;
    if (picture.width <= 0 || picture.height <= 0 || bitmapSize <= 0) return plan;
    if (stretchMode == std::int32_t(StretchMode::Tile)) {
        plan.kind = BackgroundPicturePlan::Kind::Tiled;
        plan.tiles = PictureTiles(client, picture);
        return plan;
    }
    // The installer refuses sizes above 100%; one read back for the
    // uninstaller is held to that, so that the area stays within reach.
    Rect area = PictureArea(client, std::min(bitmapSize, kMaxBitmapSize));
    plan.kind = BackgroundPicturePlan::Kind::Stretched;
    switch (stretchMode) {
        case std::int32_t(StretchMode::Fit): plan.rect = FitPicture(area, picture); break;
        case std::int32_t(StretchMode::WholeMultiple): plan.rect = WholeMultiplePicture(area, picture); break;
        default: plan.rect = area; break;
    }
    return plan;
}

}  // namespace palisade
