#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

// A notice posted by name: the object that posted it (may be null) and its user info.
struct PLNotification {
    QString name;
    const void* object = nullptr;
    QVariantMap userInfo;
};

// Named notices between parts of the application that do not know each other (a panel and
// the map's text cells). Observers register a handler for a name, from one sender or from
// any sender (a null sender), and are keyed by an owner identity (`PLIdentityOf`) so that
// an owner removes all its registrations at once, typically in its destructor.
//
// Delivery runs over a snapshot of the registrations, in the order they were made: handlers
// may add or remove registrations (their own or others') while a notice is delivered; a
// registration removed meanwhile is not called, one added meanwhile waits for the next
// notice. Registrations are indexed by observer and by name, so that adding and removing
// cost O(log n) and a notice costs only the registrations for its name.
//
// Main thread only.
class PLNotificationCenter {
public:
    using Handler = std::function<void(const PLNotification&)>;

    // The process-wide centre.
    static PLNotificationCenter& defaultCenter();

    // Calls handler for every notice named name from sender (null: from any sender). The
    // observer only keys the registration; it is never dereferenced.
    void addObserver(const void* observer, const QString& name, const void* sender, Handler handler);
    // Removes every registration of the observer.
    void removeObserver(const void* observer);
    // Removes the observer's registrations for name; with a sender, only those for that sender.
    void removeObserver(const void* observer, const QString& name, const void* sender = nullptr);
    bool isObserving(const void* observer, const QString& name) const;

    void post(const QString& name, const void* object, const QVariantMap& userInfo = {});
    void post(const PLNotification& notification);

private:
    struct Registration {
        quint64 order;
        const void* observer;
        QString name;
        const void* sender;
        Handler handler;
        bool removed = false;
    };
    using RegistrationPtr = std::shared_ptr<Registration>;
    template <typename Match> void removeWhere(const void* observer, Match match);

    quint64 m_nextOrder = 0;
    std::unordered_map<const void*, std::vector<RegistrationPtr>> m_byObserver;
    QHash<QString, std::map<quint64, RegistrationPtr>> m_byName;
};
