#include "DocumentWindow/IXUpdateCheck.h"

#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXShellServices.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

const QString IXUpdateCheck::EndpointAddress = QStringLiteral("https://ideaflux.example.org/update-check");
const QString IXUpdateCheck::ProductIdentifier = QStringLiteral("Ideaflux");

namespace {

// A reply longer than this is no address.
constexpr qint64 MaximumReplySize = 64 * 1024;

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.isRelative() && !url.host().isEmpty()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

}  // namespace

IXUpdateCheck::IXUpdateCheck(QObject* parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
}

IXUpdateCheck::~IXUpdateCheck()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QUrl IXUpdateCheck::endpoint() const
{
    if (m_endpoint.isValid()) return m_endpoint;
    return QUrl(PLLocalizedStrings::string(EndpointAddress, QStringLiteral("urls")).trimmed());
}

QByteArray IXUpdateCheck::requestBody(const QString& product, const QString& build, int language)
{
    return "ProgName=" + QUrl::toPercentEncoding(product) + "&Build=" + QUrl::toPercentEncoding(build)
        + "&Language=" + QByteArray::number(language);
}

std::optional<QUrl> IXUpdateCheck::downloadPageFromReply(const QByteArray& reply)
{
    if (std::any_of(reply.begin(), reply.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80 || c == 0; }))
        return std::nullopt;
    const QString text = QString::fromLatin1(reply).trimmed();
    if (text == QLatin1String("OK")) return std::nullopt;
    const QUrl url(text, QUrl::StrictMode);
    if (!isWebAddress(url)) return std::nullopt;
    return url;
}

void IXUpdateCheck::checkAvailaibleUpdate(bool requested)
{
    if (m_checkingForUpdate) return;
    m_checkingForUpdate = true;
    m_needsFeedback = requested;
    const QUrl address = endpoint();
    // The check speaks to a web service only: a table entry naming a file or anything else
    // is refused as a failed connection.
    if (!isWebAddress(address)) {
        PLLog::write(QStringLiteral("Update check: the endpoint '%1' is not a web address.").arg(address.toString()));
        connectionDidFail();
        return;
    }
    QNetworkRequest request(address);
    const QByteArray body
        = requestBody(ProductIdentifier, QString::number(IXPreferences::bundleBuildNumber()), LanguageCode);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    request.setTransferTimeout(m_transferTimeout);
    m_reply = m_network->post(request, body);
    QNetworkReply* reply = m_reply;
    // A reply is taken whole when the transfer ends: an address may arrive in pieces.
    PLExceptionBoundary::connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError)
            connectionDidFail();
        else
            connectionDidFinishLoading(reply);
    });
    PLExceptionBoundary::connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > MaximumReplySize) reply->abort();
    });
}

void IXUpdateCheck::connectionDidFinishLoading(QNetworkReply* reply)
{
    if (const std::optional<QUrl> page = downloadPageFromReply(reply->read(MaximumReplySize))) {
        m_needsFeedback = false;
        showUpdateMessage(*page);
    }
    if (m_needsFeedback) alert("UpdatesNotAvailableTitle", "UpdatesNotAvailableMsg");
    endCheck();
}

void IXUpdateCheck::connectionDidFail()
{
    if (m_needsFeedback) alert("UpdateErrorConnectionTitle", "UpdateErrorConnectionMsg");
    endCheck();
}

void IXUpdateCheck::endCheck()
{
    m_checkingForUpdate = false;
    m_needsFeedback = false;
    m_reply = nullptr;
    emit checkFinished();
}

void IXUpdateCheck::showUpdateMessage(const QUrl& url)
{
    IXDialogs::Alert message;
    message.title = PLLocalizedStrings::string(QStringLiteral("UpdatesAvailableTitle"));
    message.message = PLLocalizedStrings::string(QStringLiteral("UpdatesAvailableMsg"));
    message.buttons
        = {PLLocalizedStrings::string(QStringLiteral("OK")), PLLocalizedStrings::string(QStringLiteral("Cancel"))};
    message.cancelButton = 1;
    message.style = IXDialogs::AlertStyle::Informational;
    if (IXDialogs::shared().runAlert(message, nullptr) != 0 || !url.isValid()) return;
    if (!IXShellServices().openURL(url)) alert("WebBrowserNotFoundTitle", "WebBrowserNotFoundMsg");
}

void IXUpdateCheck::alert(const char* titleKey, const char* messageKey)
{
    IXDialogs::Alert message;
    message.title = PLLocalizedStrings::string(QString::fromLatin1(titleKey));
    message.message = PLLocalizedStrings::string(QString::fromLatin1(messageKey));
    message.buttons = {PLLocalizedStrings::string(QStringLiteral("OK"))};
    message.cancelButton = 0;
    message.style = IXDialogs::AlertStyle::Informational;
    IXDialogs::shared().runAlert(message, nullptr);
}
