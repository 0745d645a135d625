#include "Platform/Drawing/PLColor.h"

#include <QColor>

#include <algorithm>
#include <cmath>

namespace {
float pinned(float value)
{
    if (!(value >= 0)) return 0; // also NaN
    return value > 1 ? 1 : value;
}

int countFor(PLColor::Space space)
{
    switch (space) {
    case PLColor::Space::RGB: return 4;
    case PLColor::Space::Grey: return 2;
    case PLColor::Space::CMYK: return 5;
    case PLColor::Space::None: break;
    }
    return 0;
}
}

PLColor::PLColor(Space space, std::array<float, 5> components) : m_space(space)
{
    const int count = countFor(space);
    for (int i = 0; i < count; ++i) m_components[i] = pinned(components[i]);
}

PLColor PLColor::rgb(float red, float green, float blue, float alpha)
{
    return PLColor(Space::RGB, {red, green, blue, alpha, 0});
}

PLColor PLColor::grey(float white, float alpha)
{
    return PLColor(Space::Grey, {white, alpha, 0, 0, 0});
}

PLColor PLColor::cmyk(float cyan, float magenta, float yellow, float black, float alpha)
{
    return PLColor(Space::CMYK, {cyan, magenta, yellow, black, alpha});
}

PLColor PLColor::fromQColor(const QColor& color)
{
    if (!color.isValid()) return PLColor();
    if (color.spec() == QColor::Cmyk) {
        float c, m, y, k, a;
        color.getCmykF(&c, &m, &y, &k, &a);
        return cmyk(c, m, y, k, a);
    }
    float r, g, b, a;
    color.toRgb().getRgbF(&r, &g, &b, &a);
    return rgb(r, g, b, a);
}

PLColor PLColor::system(System which)
{
    switch (which) {
    case System::AlternateSelectedControl: return rgb(0.22f, 0.46f, 0.84f);
    case System::SelectedControl: return rgb(0.71f, 0.84f, 1.0f);
    case System::SecondarySelectedControl: return grey(0.83f);
    case System::SelectedTextBackground: return rgb(0.71f, 0.84f, 1.0f);
    case System::KeyboardFocusIndicator: return rgb(0.49f, 0.68f, 0.85f, 0.5f);
    case System::Grid: return grey(0.5f);
    case System::Control: return grey(0.91f);
    case System::ControlBackground: return grey(1);
    case System::ControlText: return grey(0);
    case System::ControlShadow: return grey(0.5f);
    case System::ControlDarkShadow: return grey(0.33f);
    case System::ControlHighlight: return grey(0.85f);
    case System::ControlLightHighlight: return grey(1);
    case System::ControlTint: return rgb(0.33f, 0.55f, 0.86f);
    case System::AlternatingRow: return rgb(0.93f, 0.95f, 1.0f);
    case System::WindowBackground: return grey(0.93f);
    case System::WindowFrame: return grey(0.67f);
    case System::TextBackground: return grey(1);
    }
    return PLColor();
}

int PLColor::componentCount() const
{
    return countFor(m_space);
}

float PLColor::component(int index) const
{
    return index >= 0 && index < componentCount() ? m_components[index] : 0;
}

PLColor PLColor::toRGB() const
{
    const auto& c = m_components;
    switch (m_space) {
    case Space::RGB: return *this;
    case Space::Grey: return rgb(c[0], c[0], c[0], c[1]);
    case Space::CMYK: return rgb((1 - c[0]) * (1 - c[3]), (1 - c[1]) * (1 - c[3]), (1 - c[2]) * (1 - c[3]), c[4]);
    case Space::None: break;
    }
    return PLColor();
}

PLColor PLColor::withAlpha(float alpha) const
{
    if (isNull()) return *this;
    PLColor result = *this;
    result.m_components[componentCount() - 1] = pinned(alpha);
    return result;
}

PLColor PLColor::towards(float fraction, const PLColor& target, bool blendAlpha) const
{
    if (isNull() || target.isNull()) return PLColor();
    const float f = pinned(fraction);
    const PLColor from = target.m_space == m_space ? *this : toRGB();
    const PLColor to = target.m_space == m_space ? target : target.toRGB();
    const int count = from.componentCount();
    std::array<float, 5> mixed{};
    for (int i = 0; i < count; ++i) mixed[i] = from.m_components[i] + (to.m_components[i] - from.m_components[i]) * f;
    if (!blendAlpha) mixed[count - 1] = from.m_components[count - 1];
    return PLColor(from.m_space, mixed);
}

PLColor PLColor::blended(float fraction, const PLColor& other) const
{
    return towards(fraction, other, true);
}

PLColor PLColor::shadow(float level) const
{
    return towards(level, extreme(false), false);
}

PLColor PLColor::highlight(float level) const
{
    return towards(level, extreme(true), false);
}

PLColor PLColor::extreme(bool whiteEnd) const
{
    const float w = whiteEnd ? 1 : 0;
    switch (m_space) {
    case Space::RGB: return rgb(w, w, w);
    case Space::Grey: return grey(w);
    case Space::CMYK: return cmyk(0, 0, 0, 1 - w);
    case Space::None: break;
    }
    return PLColor();
}

QColor PLColor::toQColor() const
{
    if (isNull()) return QColor();
    if (m_space == Space::CMYK) {
        const auto& c = m_components;
        return QColor::fromCmykF(c[0], c[1], c[2], c[3], c[4]);
    }
    const PLColor c = toRGB();
    return QColor::fromRgbF(c.m_components[0], c.m_components[1], c.m_components[2], c.m_components[3]);
}

bool PLColor::operator==(const PLColor& other) const
{
    if (m_space != other.m_space) return false;
    const int count = componentCount();
    return std::equal(m_components.begin(), m_components.begin() + count, other.m_components.begin());
}
