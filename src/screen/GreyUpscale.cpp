#include "screen/GreyUpscale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr double KernelA = -0.5;

double cubicWeight(double distance)
{
    const double d = std::abs(distance);
    if (d <= 1)
        return (KernelA + 2) * d * d * d - (KernelA + 3) * d * d + 1;
    if (d < 2)
        return KernelA * d * d * d - 5 * KernelA * d * d + 8 * KernelA * d - 4 * KernelA;
    return 0;
}

// Doubling puts every new sample a quarter of a pixel beside an old one:
// output 2i lies at i − 0.25 and 2i + 1 at i + 0.25, so two sets of four
// weights serve every sample.
struct Taps
{
    int first; // offset of the first source sample from i
    std::array<float, 4> weights;
};

Taps tapsFor(int phase)
{
    const double fraction = phase == 0 ? 0.75 : 0.25;
    Taps taps{phase == 0 ? -2 : -1, {}};
    for (int k = 0; k < 4; ++k)
        taps.weights[size_t(k)] = float(cubicWeight(fraction + 1 - k));
    return taps;
}

const std::array<Taps, 2> PhaseTaps = {tapsFor(0), tapsFor(1)};

// The doubled value at output position `out` along a line of `size` samples,
// read through `at` with the edges repeated.
template<typename Sample>
float doubledSample(int out, int size, Sample at)
{
    const Taps &taps = PhaseTaps[size_t(out % 2)];
    const int base = out / 2 + taps.first;
    float sum = 0;
    for (int k = 0; k < 4; ++k)
        sum += taps.weights[size_t(k)] * at(std::clamp(base + k, 0, size - 1));
    return sum;
}

} // namespace

QImage greyDoubled(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const int width = grey.width();
    const int height = grey.height();
    if (width == 0 || height == 0)
        return grey;

    // Across first, into a float image twice as wide; then down.
    const int wide = 2 * width;
    std::vector<float> rows(size_t(wide) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = 0; x < wide; ++x)
            rows[size_t(y) * size_t(wide) + size_t(x)] = doubledSample(x, width, [&](int i) { return float(line[i]); });
    }
    QImage doubled(wide, 2 * height, QImage::Format_Grayscale8);
    for (int y = 0; y < 2 * height; ++y) {
        uchar *line = doubled.scanLine(y);
        for (int x = 0; x < wide; ++x) {
            const float value = doubledSample(y, height, [&](int i) { return rows[size_t(i) * size_t(wide) + size_t(x)]; });
            line[x] = uchar(std::clamp(std::lround(value), 0L, 255L));
        }
    }
    return doubled;
}
