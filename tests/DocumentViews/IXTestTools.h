#pragma once

// Tools and a tool environment for the tool manager's tests: each tool writes what it was
// asked into a shared log ("<name> commit", "<name> discard", ...) and answers as configured.

#include "DocumentModel/IXNode.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"
#include "Platform/Core/PLAssert.h"

#include <QKeyEvent>
#include <QList>
#include <QStringList>

class IXLayoutContext;

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

// Edits a given node, as the title, comment and drag tools do: setting none is a programming
// error to it.
class NodeRequiringTool : public RecordingTool {
    Q_OBJECT
public:
    using RecordingTool::RecordingTool;
    void setEditedObject(const std::shared_ptr<IXNode>& node) override
    {
        PL_ASSERT_PARAM(node, "node");
        RecordingTool::setEditedObject(node);
    }
};

// Answers with a configured inspector context and records which contexts were focused.
class FakeToolEnvironment : public IXToolEnvironment {
public:
    IXLayoutContext* inspectorContext = nullptr;
    QList<IXLayoutContext*> focused;

    FakeToolEnvironment() { install(this); }
    ~FakeToolEnvironment() override { install(nullptr); }

    IXLayoutContext* activeInspectorContext() override { return inspectorContext; }
    void focusDocumentView(IXLayoutContext* context) override { focused.append(context); }
    void copyAttachments(const QList<std::shared_ptr<IXNode>>& attachments) override { copied = attachments; }

    QList<std::shared_ptr<IXNode>> copied;
};
