#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace fennick {
namespace {

[[nodiscard]] double relativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF())
         + 0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor mixed(const QColor &a, const QColor &b, double weightOfA)
{
    const QColor x = a.toRgb();
    const QColor y = b.toRgb();
    const auto mix
        = [weightOfA](double p, double q) { return p * weightOfA + q * (1 - weightOfA); };
    return QColor::fromRgbF(float(mix(x.redF(), y.redF())), float(mix(x.greenF(), y.greenF())),
                            float(mix(x.blueF(), y.blueF())));
}

QColor atContrast(const QColor &colour, const QColor &background, double minimumRatio)
{
    const QColor opaque = mixed(colour, background, colour.alphaF());
    const QColor extreme
        = contrastRatio(Qt::black, background) > contrastRatio(Qt::white, background)
            ? QColor(Qt::black)
            : QColor(Qt::white);
    for (int step = 0; step <= 10; ++step) {
        const QColor candidate = mixed(extreme, opaque, step / 10.0);
        if (contrastRatio(candidate, background) >= minimumRatio)
            return candidate;
    }
    return extreme;
}

QColor atContrastInHue(const QColor &colour, const QColor &background, double minimumRatio,
                       double minimumSaturation)
{
    const QColor hsl = colour.toHsl();
    const float hue = std::max(0.0f, hsl.hslHueF()); // grey has no hue: red's
    const float saturation = std::max(float(minimumSaturation), hsl.hslSaturationF());
    const bool lighter
        = contrastRatio(Qt::white, background) > contrastRatio(Qt::black, background);
    float lightness = hsl.lightnessF();
    for (int step = 0; step <= 50; ++step) {
        const QColor candidate = QColor::fromHslF(hue, saturation, lightness);
        if (contrastRatio(candidate, background) >= minimumRatio)
            return candidate;
        lightness = std::clamp(lightness + (lighter ? 0.02f : -0.02f), 0.0f, 1.0f);
    }
    return lighter ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace fennick
