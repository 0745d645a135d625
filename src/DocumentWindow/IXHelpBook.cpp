#include "DocumentWindow/IXHelpBook.h"

#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLResources.h"

#include <QFileInfo>

const QString IXHelpBook::HomePageAddress = QStringLiteral("https://ideaflux.example.org/");
const QString IXHelpBook::SupportPageAddress = QStringLiteral("https://ideaflux.example.org/support/");

QUrl IXHelpBook::urlForAnchor(const QString& anchor)
{
    const QString key = anchor.isEmpty() ? QStringLiteral("Home") : anchor;
    const QString target = PLLocalizedStrings::string(key, QStringLiteral("helpAnchors"));
    const QString page = target.section(QLatin1Char('#'), 0, 0);
    const QString fragment = target.section(QLatin1Char('#'), 1);
    const QString path = PLResources::pathFor(page, QStringLiteral("Help"));
    if (page.isEmpty() || !QFileInfo(path).isFile()) return {};
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!fragment.isEmpty()) url.setFragment(fragment);
    return url;
}

QString IXHelpBook::anchorForTag(int tag)
{
    switch (tag) {
    case 1: return QStringLiteral("Shortcuts");
    case 2: return QStringLiteral("Timescales");
    default: return QStringLiteral("Home");
    }
}

QUrl IXHelpBook::addressFor(const QString& defaultAddress)
{
    return QUrl(PLLocalizedStrings::string(defaultAddress, QStringLiteral("urls")));
}
