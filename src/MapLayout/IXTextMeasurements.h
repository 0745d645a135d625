#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLParagraphStyle.h"
#include "Platform/Drawing/PLSize.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

class PLTextLayout;
struct IXStyleTextAttributes;

// What the map's texts need to know of a laid-out text without keeping its layout: the
// rounded-up sizes of the union of its used and of its full line fragments in a container.
struct IXTextMeasurement {
    PLSize usedSize;
    PLSize fullSize;
};

// The process-wide cache of text measurements, keyed by the text, the attributes that change
// its lines (font and paragraph alignment, as the text carries them) and the container size.
// Title cells ask it instead of laying out, so that rebuilding or re-laying out a large map
// after one edit measures only the texts whose text, attributes or box changed. Only texts of
// one run whose paragraph style sets at most the alignment (as attributedString makes them) are
// kept; others are laid out at every call. Bounded: when it holds `capacity()` measurements it
// starts over. Main thread only.
class IXTextMeasurements {
public:
    static IXTextMeasurements& shared();

    // The text of a map cell with the style's attributes (colours included, for drawing; black
    // when the style gives none).
    static PLAttributedString attributedString(const QString& text, const IXStyleTextAttributes& attributes);
    // The measurement of the text in a container.
    IXTextMeasurement measure(const PLAttributedString& text, PLSize container);
    // The kept measurement, without laying out.
    std::optional<IXTextMeasurement> cached(const PLAttributedString& text, PLSize container) const;
    // Keeps a measurement made elsewhere (by `layOut`, on any thread) as if measure() had made it.
    void insertMeasured(const PLAttributedString& text, PLSize container, const IXTextMeasurement& measurement);
    // Makes room for that many more measurements at once (within the capacity).
    void reserveMore(qsizetype count);

    // Lays the text out in the container with the layout given (the thread's own, made a
    // layout for measuring only): what measure() keeps.
    static IXTextMeasurement layOut(PLTextLayout& layout, const PLAttributedString& text, PLSize container);

    void clear();
    qsizetype count() const { return m_entries.size(); }
    static constexpr qsizetype capacity() { return 1 << 18; }

private:
    // Tests and benchmarks read m_layouts.
    friend class IXTextMeasurementsProbe;

    // What of a text changes where its lines break and how high they are.
    struct Key {
        QString text;
        std::optional<PLFont> font;
        std::optional<PLParagraphStyle::Alignment> alignment;
        float width;
        float height;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept
    {
        seed = qHashMulti(seed, key.text, key.width, key.height, key.alignment ? int(*key.alignment) : -1);
        return key.font ? qHashMulti(seed, key.font->family, key.font->pointSize, key.font->bold, key.font->italic) : seed;
    }
    // The key of a text that can be kept, else nothing.
    static std::optional<Key> keyFor(const PLAttributedString& text, PLSize container);
    void insert(Key&& key, const IXTextMeasurement& measurement);

    QHash<Key, IXTextMeasurement> m_entries;
    // Texts laid out since the start (misses, here or elsewhere).
    std::uint64_t m_layouts = 0;
};
