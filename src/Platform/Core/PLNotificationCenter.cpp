#include "Platform/Core/PLNotificationCenter.h"

#include "Platform/Core/PLAssert.h"

#include <algorithm>

PLNotificationCenter& PLNotificationCenter::defaultCenter()
{
    static PLNotificationCenter center;
    return center;
}

void PLNotificationCenter::addObserver(const void* observer, const QString& name, const void* sender, Handler handler)
{
    PL_ASSERT_PARAM(observer, "observer");
    PL_ASSERT(!name.isEmpty());
    PL_ASSERT_PARAM(handler, "handler");
    auto registration = std::make_shared<Registration>(Registration{m_nextOrder++, observer, name, sender, std::move(handler)});
    m_byName[name].emplace(registration->order, registration);
    m_byObserver[observer].push_back(std::move(registration));
}

template <typename Match>
void PLNotificationCenter::removeWhere(const void* observer, Match match)
{
    const auto found = m_byObserver.find(observer);
    if (found == m_byObserver.end()) return;
    std::erase_if(found->second, [&](const RegistrationPtr& registration) {
        if (!match(*registration)) return false;
        // A snapshot being delivered still holds the registration; the flag keeps it from running.
        registration->removed = true;
        const auto byName = m_byName.find(registration->name);
        byName->erase(registration->order);
        if (byName->empty()) m_byName.erase(byName);
        return true;
    });
    if (found->second.empty()) m_byObserver.erase(found);
}

void PLNotificationCenter::removeObserver(const void* observer)
{
    removeWhere(observer, [](const Registration&) { return true; });
}

void PLNotificationCenter::removeObserver(const void* observer, const QString& name, const void* sender)
{
    removeWhere(observer, [&](const Registration& r) { return r.name == name && (!sender || r.sender == sender); });
}

bool PLNotificationCenter::isObserving(const void* observer, const QString& name) const
{
    const auto found = m_byObserver.find(observer);
    return found != m_byObserver.end()
        && std::any_of(found->second.begin(), found->second.end(), [&](const RegistrationPtr& r) { return r->name == name; });
}

void PLNotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo)
{
    post(PLNotification{name, object, userInfo});
}

void PLNotificationCenter::post(const PLNotification& notification)
{
    const auto registrations = m_byName.constFind(notification.name);
    if (registrations == m_byName.constEnd()) return;
    std::vector<RegistrationPtr> receivers;
    for (const auto& [order, registration] : *registrations) {
        if (!registration->sender || registration->sender == notification.object) receivers.push_back(registration);
    }
    for (const RegistrationPtr& registration : receivers) {
        if (!registration->removed) registration->handler(notification);
    }
}
