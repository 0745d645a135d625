#include "Utilities/UTObserver.h"

#include "Utilities/UTBroadcaster.h"

#include <algorithm>

UTObserver::~UTObserver()
{
    // removeObserver erases the broadcaster from m_broadcasters, so take from the back.
    while (!m_broadcasters.empty()) m_broadcasters.back()->removeObserver(this);
}

bool UTObserver::respondsToSelector(std::string_view) const
{
    return false;
}

bool UTObserver::isAnyOf(std::string_view selector, std::initializer_list<std::string_view> selectors)
{
    return std::find(selectors.begin(), selectors.end(), selector) != selectors.end();
}
