#include "Platform/Drawing/PLShadowRenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One pass of a separable Gaussian over the premultiplied channels, along rows or columns.
void blurPass(QImage& image, const std::vector<float>& kernel, bool horizontal)
{
    const int radius = int(kernel.size() / 2);
    const int w = image.width(), h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    std::vector<float> line(size_t(length) * 4);
    for (int l = 0; l < lines; ++l) {
        auto pixel = [&](int i) -> QRgb* {
            return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(l)) + i : reinterpret_cast<QRgb*>(image.scanLine(i)) + l;
        };
        for (int i = 0; i < length; ++i) {
            const QRgb c = *pixel(i);
            line[size_t(i) * 4 + 0] = float(qAlpha(c));
            line[size_t(i) * 4 + 1] = float(qRed(c));
            line[size_t(i) * 4 + 2] = float(qGreen(c));
            line[size_t(i) * 4 + 3] = float(qBlue(c));
        }
        for (int i = 0; i < length; ++i) {
            float sum[4] = {0, 0, 0, 0};
            for (int k = -radius; k <= radius; ++k) {
                const int j = i + k;
                if (j < 0 || j >= length) continue;
                const float weight = kernel[size_t(k + radius)];
                for (int c = 0; c < 4; ++c) sum[c] += weight * line[size_t(j) * 4 + size_t(c)];
            }
            auto channel = [&](int c) { return std::clamp(int(std::lround(sum[c])), 0, 255); };
            const int a = channel(0);
            *pixel(i) = qRgba(std::min(channel(1), a), std::min(channel(2), a), std::min(channel(3), a), a);
        }
    }
}

}  // namespace

QImage PLShadowRenderer::shadowImage(const QImage& source, int margin, const QColor& color, double blurRadius)
{
    QImage shadow(source.width() + 2 * margin, source.height() + 2 * margin, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter p(&shadow);
        p.drawImage(margin, margin, source);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(shadow.rect(), color);
    }
    const double sigma = blurRadius / 2;
    if (sigma < 0.1) return shadow;
    const int radius = int(std::ceil(sigma * 3));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float total = 0;
    for (int k = -radius; k <= radius; ++k) {
        kernel[size_t(k + radius)] = float(std::exp(-(k * k) / (2 * sigma * sigma)));
        total += kernel[size_t(k + radius)];
    }
    for (float& weight : kernel) weight /= total;
    blurPass(shadow, kernel, true);
    blurPass(shadow, kernel, false);
    return shadow;
}
