#pragma once

#include "Platform/Core/PLError.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QSvgRenderer;

// SVG pictures come from packages and pastes, and Qt's renderer opens any file an <image>
// names. Every SVG (plain or gzipped) therefore goes through renderer(), which hands Qt only
// a rewritten copy that can reach nothing outside its own bytes: references other than
// "data:" and "#id" are dropped (href on any element, CSS url() and @import), as are the
// document type with its entities (internal ones are expanded first, external ones never
// declared) and every processing instruction. Nothing else in the program makes a
// QSvgRenderer or lets Qt's SVG image plug-in decode bytes.
class PLSvgPicture {
public:
    // Inflated SVG text beyond this is refused: no real picture comes near it.
    static constexpr qint64 MaximumInflatedSize = qint64(64) << 20;

    // The SVG text with everything that could reach outside it removed, or nothing with an
    // error when the bytes are no well-formed SVG (gzip data is inflated first).
    static std::optional<QByteArray> sanitized(const QByteArray& bytes, PLError* error = nullptr);

    // A renderer of the sanitised picture; null with an error when it cannot be read.
    static std::unique_ptr<QSvgRenderer> renderer(const QByteArray& bytes, PLError* error = nullptr);
};
