#pragma once

#include <QWidget>

#include <memory>
#include <vector>

// Small operations on widgets that views of every layer use.
class UTViewAdditions {
public:
    // Takes every child widget out of view (from a copy of the list, without repainting
    // each time) and repaints view once. The children are handed to the caller: those it
    // does not keep are deleted with the returned list.
    static std::vector<std::unique_ptr<QWidget>> removeAllSubviews(QWidget* view);
};
