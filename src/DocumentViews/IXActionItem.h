#pragma once

#include <QByteArray>

class QAction;
class QObject;

// The action a menu or toolbar item sends, named by its selector text ("zoomIn:"), and its
// explicit target (not owned; none sends the action to whatever the application finds).
// Responders read the action of an item when they validate it.
class IXActionItem {
public:
    static QByteArray actionOf(const QAction* item);
    static void setAction(QAction* item, const QByteArray& action);
    static QObject* targetOf(const QAction* item);
    static void setTarget(QAction* item, QObject* target);
};
