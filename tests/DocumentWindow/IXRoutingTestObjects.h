#pragma once

// Responders for the routing tests: each logs "<objectName> <action>" when it performs an
// action, so a test reads who received it.

#include "DocumentViews/IXTool.h"
#include "DocumentWindow/IXDocumentViewOwning.h"
#include "DocumentWindow/IXKeyChildCapable.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>

#include <stdexcept>

inline QStringList& routingLog()
{
    static QStringList log;
    return log;
}

inline void logAction(const QObject* receiver, const char* action)
{
    routingLog().append(receiver->objectName() + QLatin1Char(' ') + QLatin1String(action));
}

// A focusable widget that responds to "doThing:" and validates it as told.
class RespondingWidget : public QWidget {
    Q_OBJECT
public:
    explicit RespondingWidget(const QString& name, QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(name);
        setFocusPolicy(Qt::StrongFocus);
    }
    bool enables = true;
    bool checks = false;
    QStringList keys;
    int mousePresses = 0;

    Q_INVOKABLE void doThing(QObject*) { logAction(this, "doThing:"); }
    Q_INVOKABLE bool validateMenuItem(QAction* item)
    {
        item->setCheckable(true);
        item->setChecked(checks);
        return enables;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->text()); }
    void mousePressEvent(QMouseEvent*) override { ++mousePresses; }
};

// A focusable widget that responds to nothing.
class PlainWidget : public QWidget {
    Q_OBJECT
public:
    explicit PlainWidget(const QString& name, QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(name);
        setFocusPolicy(Qt::StrongFocus);
    }
};

// A window delegate that responds to "doThing:" and hears of key child changes.
class RespondingDelegate : public QObject, public IXDocumentViewOwning {
    Q_OBJECT
public:
    explicit RespondingDelegate(const QString& name) { setObjectName(name); }
    QWidget* view = nullptr;
    bool fullScreen = false;

    Q_INVOKABLE void doThing(QObject*) { logAction(this, "doThing:"); }
    Q_INVOKABLE bool isFullScreenMode() const { return fullScreen; }
    Q_INVOKABLE void windowDidBecomeKeyChild(QObject*) { logAction(this, "windowDidBecomeKeyChild:"); }
    Q_INVOKABLE void windowDidResignKeyChild(QObject*) { logAction(this, "windowDidResignKeyChild:"); }
    QWidget* documentView() const override { return view; }
};

// A child panel that may become the key child window.
class ChildPanel : public QWidget, public IXKeyChildCapable {
    Q_OBJECT
public:
    ChildPanel(const QString& name, QWidget* parent) : QWidget(parent, Qt::Tool) { setObjectName(name); }
    bool canBecomeKeyChildWindow() const override { return true; }
};

// A tool that responds to "doThing:" and takes the key presses it is told to.
class RespondingTool : public IXTool {
    Q_OBJECT
public:
    explicit RespondingTool(IXToolManager* manager) : IXTool(manager) { setObjectName(QStringLiteral("tool")); }
    static QString& takenKeys()
    {
        static QString keys;
        return keys;
    }
    // Whether the tool takes the events that tracking loops dequeue.
    static bool& takesNextEvents()
    {
        static bool takes = false;
        return takes;
    }
    bool onNextEvent(QEvent*) override { return takesNextEvents(); }

    Q_INVOKABLE void doThing(QObject*) { logAction(this, "doThing:"); }
    bool onSendEvent(QWindow*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty() || !takenKeys().contains(text)) return false;
        routingLog().append(QStringLiteral("tool key ") + text);
        return true;
    }
};

// A widget whose handlers throw.
class ThrowingWidget : public QWidget {
    Q_OBJECT
public:
    explicit ThrowingWidget(QWidget* parent = nullptr) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ++presses;
        if (event->key() == Qt::Key_A) throw std::runtime_error("broken handler");
        if (event->key() == Qt::Key_B) throw 42;
    }
};
