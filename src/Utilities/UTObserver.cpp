#include "Utilities/UTObserver.h"

#include "Utilities/UTBroadcaster.h"

#include <algorithm>

UTObserver::~UTObserver()
{
    const std::vector<UTBroadcaster*> broadcasters = std::move(m_broadcasters);
    m_broadcasters.clear();
    for (UTBroadcaster* broadcaster : broadcasters) broadcaster->removeObserver(this);
}

bool UTObserver::respondsToSelector(std::string_view) const
{
    return false;
}

bool UTObserver::isAnyOf(std::string_view selector, std::initializer_list<std::string_view> selectors)
{
    return std::find(selectors.begin(), selectors.end(), selector) != selectors.end();
}
