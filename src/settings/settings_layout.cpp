#include "settings/settings_layout.h"

#include <cmath>

namespace kv7m {

namespace {

void putWord(SettingsImage& image, std::size_t offset, int value)
{
    image[offset] = std::uint8_t((value >> 8) & 0xFF);
    image[offset + 1] = std::uint8_t(value & 0xFF);
}

struct CurvePoint {
    double k;
    double volume;
};

// Fixed points of the default volume curve.
constexpr CurvePoint kCurve[] = {{0, 0},  {1, 5},      {2, 15},      {3, 27},      {4, 42},
                                 {5, 59}, {100, 4931}, {200, 12402}, {300, 18933}, {340, 20241}};
constexpr int kCurvePoints = int(sizeof kCurve / sizeof kCurve[0]);

// Monotone cubic (Fritsch-Carlson) slopes, so the curve rises between the points without overshoot.
double slopeAt(int i)
{
    auto secant = [](int a) { return (kCurve[a + 1].volume - kCurve[a].volume) / (kCurve[a + 1].k - kCurve[a].k); };
    if (i == 0)
        return secant(0);
    if (i == kCurvePoints - 1)
        return secant(kCurvePoints - 2);
    const double left = secant(i - 1);
    const double right = secant(i);
    if (left * right <= 0)
        return 0;
    const double wLeft = 2 * (kCurve[i + 1].k - kCurve[i].k) + (kCurve[i].k - kCurve[i - 1].k);
    const double wRight = (kCurve[i + 1].k - kCurve[i].k) + 2 * (kCurve[i].k - kCurve[i - 1].k);
    return (wLeft + wRight) / (wLeft / left + wRight / right);
}

}  // namespace

int defaultGraduationVolume(int k)
{
    if (k >= 340)
        return 20241;
    if (k <= 0)
        return 0;
    int i = 0;
    while (kCurve[i + 1].k < k)
        ++i;
    const double h = kCurve[i + 1].k - kCurve[i].k;
    const double t = (k - kCurve[i].k) / h;
    const double h00 = (1 + 2 * t) * (1 - t) * (1 - t);
    const double h10 = t * (1 - t) * (1 - t);
    const double h01 = t * t * (3 - 2 * t);
    const double h11 = t * t * (t - 1);
    const double v =
        h00 * kCurve[i].volume + h10 * h * slopeAt(i) + h01 * kCurve[i + 1].volume + h11 * h * slopeAt(i + 1);
    return int(std::lround(v));
}

SettingsImage defaultSettingsImage()
{
    SettingsImage image;
    image.fill(0xFF);

    for (int channel = 1; channel <= 8; ++channel) {
        const std::size_t base = layout::graduationTableOffset(channel);
        putWord(image, base, 100);
        putWord(image, base + 2, 0);
        for (int k = 1; k <= 351; ++k) {
            putWord(image, base + 4 * std::size_t(k), std::min(10 * k, 3400));
            putWord(image, base + 4 * std::size_t(k) + 2, defaultGraduationVolume(k));
        }
    }

    for (std::size_t i = 0; i < layout::kRelaySize; ++i)
        image[layout::kRelayOffset + i] = 0x80;
    for (std::size_t i = 0; i < layout::kCommonSize; ++i)
        image[layout::kCommonOffset + i] = 0x00;

    constexpr int kChannelDefaults[18] = {7000, 3500, 2155, 0,  1120, 700, 300, 0,  0,
                                          0,    9499, 581,  50, 60,   5,   20,  30, 100};
    for (int channel = 1; channel <= 8; ++channel) {
        const std::size_t base = layout::channelConstantsOffset(channel);
        image[base] = 0x00;
        for (int w = 0; w < 18; ++w)
            putWord(image, base + 1 + 2 * std::size_t(w), kChannelDefaults[w]);
    }

    for (int code = 11; code <= 18; ++code) {
        const std::size_t base = layout::extendedTableOffset(code);
        for (int k = 0; k < 352; ++k) {
            const int value = std::min(100 * k, 10000);
            putWord(image, base + 4 * std::size_t(k), value);
            putWord(image, base + 4 * std::size_t(k) + 2, value);
        }
    }

    for (int index = 0; index < 8; ++index) {
        const std::size_t base = layout::errorTableOffset(index);
        image[base] = 0x01;
        image[base + 1] = 0x00;
        image[base + 2] = 0x00;
        image[base + 3] = 0x00;
    }
    return image;
}

}  // namespace kv7m
