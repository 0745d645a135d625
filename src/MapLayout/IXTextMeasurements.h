#pragma once

#include "Platform/PLAttributedString.h"
#include "Platform/PLSize.h"

#include <QHash>
#include <QString>

#include <cstdint>

class PLTextLayout;
struct IXStyleTextAttributes;

// What the map's texts need to know of a laid-out text without keeping its layout: the
// rounded-up sizes of the union of its used and of its full line fragments in a container.
struct IXTextMeasurement {
    PLSize usedSize;
    PLSize fullSize;
};

// The process-wide cache of text measurements, keyed by the text, the attributes that change
// its lines (font and paragraph) and the container size. Title cells ask it instead of laying
// out, so that rebuilding or re-laying out a large map after one edit measures only the texts
// whose text, attributes or box changed. Bounded: when it holds `capacity()` measurements it
// starts over. Main thread only.
class IXTextMeasurements {
public:
    static IXTextMeasurements& shared();

    // The text of a map cell with the style's attributes (colours included, for drawing; black
    // when the style gives none).
    static PLAttributedString attributedString(const QString& text, const IXStyleTextAttributes& attributes);
    // What of the attributes changes where lines break and how high they are, as a key.
    static QString layoutKey(const IXStyleTextAttributes& attributes);

    // The measurement of the text (with attributes whose layout key is given) in a container.
    IXTextMeasurement measure(const PLAttributedString& text, const QString& layoutKey, PLSize container);

    void clear();
    qsizetype count() const { return m_entries.size(); }
    static constexpr qsizetype capacity() { return 1 << 18; }
    // Texts laid out since the start (misses), for benchmarks and tests.
    std::uint64_t layoutCount() const { return m_layouts; }

private:
    struct Key {
        QString text;
        QString layoutKey;
        float width;
        float height;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.text, key.layoutKey, key.width, key.height);
    }

    QHash<Key, IXTextMeasurement> m_entries;
    std::uint64_t m_layouts = 0;
};
