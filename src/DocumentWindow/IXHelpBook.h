#pragma once

#include <QString>
#include <QUrl>

// The help pages that ship with the program (resources/Help) and the web addresses of the
// product. Help anchors are looked up in the string table "helpAnchors" ("page.html#anchor");
// web addresses in the table "urls" under their default address, so that a translation can
// point elsewhere.
class IXHelpBook {
public:
    static const QString HomePageAddress;
    static const QString SupportPageAddress;

    // The local page of a help anchor ("Home" when empty; the key itself names the page when
    // the table lacks it). An invalid URL when the page does not exist.
    static QUrl urlForAnchor(const QString& anchor);
    // The help anchor of a menu item's tag: 1 "Shortcuts", 2 "Timescales", any other "Home".
    static QString anchorForTag(int tag);
    // The address to open for a default address.
    static QUrl addressFor(const QString& defaultAddress);
};
