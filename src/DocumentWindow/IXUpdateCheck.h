#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// Asks the update-check endpoint whether a newer build exists: one form-encoded POST of the
// program's name, build and language ("ProgName=…&Build=…&Language=…", values
// percent-encoded). The reply, read whole once the transfer ends, is "OK" when there is no
// newer build, else the address of the download page: only an absolute http or https
// address (white space trimmed) counts; anything else is no update.
//
// A requested check reports every outcome (an update, none, a failed connection); a silent
// one (at start-up) only an update. One request at a time: a check asked for while one runs
// is dropped. The transfer gives up after transferTimeout(). The endpoint is the "urls"
// table's entry for EndpointAddress; the program runs no such service itself, so the
// start-up check is off by default. Alerts go through IXDialogs.
class IXUpdateCheck : public QObject {
    Q_OBJECT
public:
    static const QString EndpointAddress;
    static const QString ProductIdentifier;
    // The language code sent: the program speaks English only.
    static constexpr int LanguageCode = 0;
    static constexpr int DefaultTransferTimeoutMilliseconds = 30000;

    explicit IXUpdateCheck(QObject* parent = nullptr);
    ~IXUpdateCheck() override;

    // Starts a check unless one runs; requested checks report every outcome.
    void checkAvailaibleUpdate(bool requested);
    bool isChecking() const { return m_checkingForUpdate; }

    QUrl endpoint() const;
    void setEndpoint(const QUrl& endpoint) { m_endpoint = endpoint; }
    int transferTimeout() const { return m_transferTimeout; }
    void setTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }

    // The request's body.
    static QByteArray requestBody(const QString& product, const QString& build, int language);
    // The download page a reply names, or nothing ("OK", not ASCII, not an absolute http or
    // https address).
    static std::optional<QUrl> downloadPageFromReply(const QByteArray& reply);
    // Offers the download page: "OK" opens it in the browser.
    void showUpdateMessage(const QUrl& url);

signals:
    // A check ended, whatever its outcome.
    void checkFinished();

private:
    void connectionDidFinishLoading(QNetworkReply* reply);
    void connectionDidFail();
    void endCheck();
    void alert(const char* titleKey, const char* messageKey);

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QUrl m_endpoint;
    int m_transferTimeout = DefaultTransferTimeoutMilliseconds;
    bool m_checkingForUpdate = false;
    bool m_needsFeedback = false;
};
