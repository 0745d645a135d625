#include "Platform/PLNotificationCenter.h"

#include "Platform/PLAssert.h"

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
    m_registrations.push_back(std::make_shared<Registration>(Registration{observer, name, sender, std::move(handler)}));
}

template <typename Match>
void PLNotificationCenter::removeWhere(Match match)
{
    // A snapshot being delivered still holds the registration; the flag keeps it from running.
    std::erase_if(m_registrations, [&](const std::shared_ptr<Registration>& registration) {
        if (!match(*registration)) return false;
        registration->removed = true;
        return true;
    });
}

void PLNotificationCenter::removeObserver(const void* observer)
{
    removeWhere([&](const Registration& r) { return r.observer == observer; });
}

void PLNotificationCenter::removeObserver(const void* observer, const QString& name, const void* sender)
{
    removeWhere([&](const Registration& r) {
        return r.observer == observer && r.name == name && (!sender || r.sender == sender);
    });
}

bool PLNotificationCenter::isObserving(const void* observer, const QString& name) const
{
    return std::any_of(m_registrations.begin(), m_registrations.end(),
                       [&](const auto& r) { return r->observer == observer && r->name == name; });
}

void PLNotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo)
{
    post(PLNotification{name, object, userInfo});
}

void PLNotificationCenter::post(const PLNotification& notification)
{
    std::vector<std::shared_ptr<Registration>> receivers;
    for (const auto& registration : m_registrations) {
        if (registration->name == notification.name && (!registration->sender || registration->sender == notification.object))
            receivers.push_back(registration);
    }
    for (const auto& registration : receivers) {
        if (!registration->removed) registration->handler(notification);
    }
}
