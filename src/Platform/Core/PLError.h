#pragma once

#include <QString>
#include <QVariantMap>

// An error object: a domain, an integer code and a user-information dictionary. Failures
// that input can cause travel back to the caller as a PLError beside an empty result.
class PLError {
public:
    // The user-information key under which a failure reason is stored.
    static const QString FailureReasonKey;
    // The user-information key of an underlying error's description.
    static const QString UnderlyingErrorKey;

    PLError() = default;
    PLError(QString domain, int code, QVariantMap userInfo = {});

    bool isNull() const { return m_domain.isEmpty(); }
    explicit operator bool() const { return !isNull(); }

    const QString& domain() const { return m_domain; }
    int code() const { return m_code; }
    const QVariantMap& userInfo() const { return m_userInfo; }

    // The failure reason from the user information, or an empty string.
    QString failureReason() const;
    // A text fit to show to a user: the failure reason, else a generic description.
    QString localizedDescription() const;

    bool operator==(const PLError& other) const = default;

private:
    QString m_domain;
    int m_code = 0;
    QVariantMap m_userInfo;
};

// Sets *out to error when the caller asked for errors (out is not null).
inline void PLSetError(PLError* out, const PLError& error)
{
    if (out) *out = error;
}
