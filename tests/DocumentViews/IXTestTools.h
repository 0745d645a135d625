#pragma once

// Tools and a tool environment for the tool manager's tests: each tool writes what it was
// asked into a shared log ("<name> commit", "<name> discard", ...) and answers as configured.

#include "DocumentModel/IXNode.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"

#include <QKeyEvent>
#include <QList>
#include <QPair>
#include <QStringList>

class IXLayoutContext;
class IXOpenDocument;

class TestToolLog {
public:
    static QStringList& lines()
    {
        static QStringList log;
        return log;
    }
    // What the next tools made answer.
    static bool& commitAnswer()
    {
        static bool answer = true;
        return answer;
    }
    static bool& activateAnswer()
    {
        static bool answer = true;
        return answer;
    }
};

class RecordingTool : public IXTool {
    Q_OBJECT
public:
    explicit RecordingTool(IXToolManager* manager)
        : IXTool(manager), commitAnswer(TestToolLog::commitAnswer()), activateAnswer(TestToolLog::activateAnswer())
    {
    }

    bool commitAnswer;
    bool activateAnswer;
    std::shared_ptr<IXNode> object;
    QList<IXToolEvent> startEvents;

    std::shared_ptr<IXNode> editedObject() const override { return object; }
    void setEditedObject(const std::shared_ptr<IXNode>& node) override { object = node; }
    bool activateTool() override
    {
        log(QStringLiteral("activate"));
        return activateAnswer && IXTool::activateTool();
    }
    bool commitTool() override
    {
        log(QStringLiteral("commit"));
        return commitAnswer;
    }
    void discardTool() override
    {
        log(QStringLiteral("discard"));
        IXTool::discardTool();
    }
    void startWithEvent(const IXToolEvent& event) override
    {
        log(QStringLiteral("start"));
        startEvents.append(event);
    }

private:
    void log(const QString& what)
    {
        TestToolLog::lines().append(QString::fromLatin1(metaObject()->className()) + QLatin1Char(' ') + what);
    }
};

class SubRecordingTool : public RecordingTool {
    Q_OBJECT
public:
    using RecordingTool::RecordingTool;
};

class OtherRecordingTool : public RecordingTool {
    Q_OBJECT
public:
    using RecordingTool::RecordingTool;
};

// Records observers per context and answers with configured documents and contexts.
class FakeToolEnvironment : public IXToolEnvironment {
public:
    IXLayoutContext* inspectorContext = nullptr;
    IXOpenDocument* document = nullptr;
    QList<QPair<IXLayoutContext*, UTObserver*>> observers;
    QList<IXLayoutContext*> focused;

    FakeToolEnvironment() { install(this); }
    ~FakeToolEnvironment() override { install(nullptr); }

    IXLayoutContext* activeInspectorContext() override { return inspectorContext; }
    void focusDocumentView(IXLayoutContext* context) override { focused.append(context); }
    void addContextObserver(IXLayoutContext* context, UTObserver* observer) override
    {
        observers.append({context, observer});
    }
    void removeContextObserver(IXLayoutContext* context, UTObserver* observer) override
    {
        observers.removeOne({context, observer});
    }
    IXOpenDocument* documentOfContext(IXLayoutContext*) override { return document; }

    bool isObserving(IXLayoutContext* context, const IXTool* tool) const
    {
        for (const auto& entry : observers)
            if (entry.first == context && entry.second == static_cast<const UTObserver*>(tool)) return true;
        return false;
    }
    // The notice a context sends its observers when it ends.
    void invalidate(IXLayoutContext* context)
    {
        const auto snapshot = observers;
        for (const auto& entry : snapshot)
            if (entry.first == context)
                if (auto* tool = dynamic_cast<IXTool*>(entry.second)) tool->notifiedOfLayoutContextWillInvalidate(context);
    }
};
