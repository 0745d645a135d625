#pragma once

#include <array>

class QColor;

// A colour in one of three spaces (RGB, grey, CMYK) with float components from 0 to 1 and an
// alpha. The space is kept because documents store colours in a per-space text form and
// because darkening or lightening a grey keeps it grey. A default-constructed colour is "no
// colour" (isNull), the value of an unset colour attribute. QColor is used only for painting.
class PLColor {
public:
    enum class Space { None, RGB, Grey, CMYK };

    // The colours of the user interface that the map and the panels draw with. Fixed values,
    // so that pictures and tests come out the same on every machine.
    enum class System {
        AlternateSelectedControl, // strong selection colour (selection frames, knob outlines)
        SelectedControl,          // light selection colour (knob fill, selected frames)
        SecondarySelectedControl, // selection of a view without keyboard focus
        SelectedTextBackground,
        KeyboardFocusIndicator,
        Grid,
        Control,
        ControlBackground,
        ControlText,
        ControlShadow,
        ControlDarkShadow,
        ControlHighlight,
        ControlLightHighlight,
        ControlTint,
        AlternatingRow, // the tinted one of the alternating row colours
        WindowBackground,
        WindowFrame,
        TextBackground,
    };

    constexpr PLColor() = default;

    // Components outside 0...1 are pinned to it (a NaN becomes 0), so that every colour can be
    // written and read back in the text form and painted.
    static PLColor rgb(float red, float green, float blue, float alpha = 1);
    static PLColor grey(float white, float alpha = 1);
    static PLColor cmyk(float cyan, float magenta, float yellow, float black, float alpha = 1);
    // An invalid QColor gives no colour; CMYK stays CMYK, every other spec becomes RGB.
    static PLColor fromQColor(const QColor& color);
    static PLColor system(System which);

    // Named colours: black, white, the greys and clear are grey-space colours, red is RGB.
    static PLColor black() { return grey(0); }
    static PLColor white() { return grey(1); }
    static PLColor gray() { return grey(0.5f); }
    static PLColor lightGray() { return grey(2.0f / 3.0f); }
    static PLColor darkGray() { return grey(1.0f / 3.0f); }
    static PLColor clear() { return grey(0, 0); }
    static PLColor red() { return rgb(1, 0, 0); }

    bool isNull() const { return m_space == Space::None; }
    explicit operator bool() const { return !isNull(); }
    Space space() const { return m_space; }

    // The number of components including alpha: 4 for RGB, 2 for grey, 5 for CMYK, 0 for none.
    int componentCount() const;
    // Component i in the space's order (red, green, blue / white / cyan, magenta, yellow,
    // black), alpha last; 0 outside the range.
    float component(int index) const;
    float alpha() const { return isNull() ? 0 : m_components[componentCount() - 1]; }

    // The same colour in the RGB space (grey w gives w, w, w; CMYK uses the naive
    // (1 - c)(1 - k) formula); no colour stays no colour.
    PLColor toRGB() const;
    float redComponent() const { return toRGB().component(0); }
    float greenComponent() const { return toRGB().component(1); }
    float blueComponent() const { return toRGB().component(2); }

    PLColor withAlpha(float alpha) const;

    // The colour fraction (0...1) of the way towards other, alpha included. Colours of one
    // space blend in that space; otherwise both are taken to RGB first. No colour as either
    // operand gives no colour.
    PLColor blended(float fraction, const PLColor& other) const;
    // Darkened towards black / lightened towards white by level (0...1) in the colour's own
    // space; the alpha is kept.
    PLColor shadow(float level) const;
    PLColor highlight(float level) const;

    QColor toQColor() const;

    // Equal when space and every component are equal (RGB black is not grey black).
    bool operator==(const PLColor& other) const;

private:
    PLColor(Space space, std::array<float, 5> components);
    PLColor towards(float fraction, const PLColor& target, bool blendAlpha) const;
    // Opaque black or white in this colour's space.
    PLColor extreme(bool whiteEnd) const;

    Space m_space = Space::None;
    std::array<float, 5> m_components{};
};
