#pragma once

// Support for the application shell's tests: a private settings and data folder per test, a
// dialog service that answers from a queue and records what it was asked, and a window
// controller that records the document's calls.

#include "DocumentWindow/IXDialogs.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentWindow/IXDocumentWindowControlling.h"
#include "Platform/Core/PLEditor.h"
#include "Platform/Core/PLError.h"
#include "TestSupport/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>

class FakeDialogs : public IXDialogs {
public:
    std::deque<int> alertAnswers;
    std::deque<std::optional<QString>> savePanelAnswers;
    std::deque<std::optional<QStringList>> openPanelAnswers;
    QList<Alert> alerts;
    QList<SavePanel> savePanels;
    QList<OpenPanel> openPanels;
    QList<PLError> presentedErrors;

    FakeDialogs() { install(this); }
    ~FakeDialogs() override { install(nullptr); }

    int runAlert(const Alert& alert, QWidget*) override
    {
        alerts += alert;
        EXPECT_FALSE(alertAnswers.empty()) << "unexpected alert: " << alert.title.toStdString();
        if (alertAnswers.empty()) return alert.cancelButton;
        const int answer = alertAnswers.front();
        alertAnswers.pop_front();
        return answer;
    }
    std::optional<QStringList> runOpenPanel(const OpenPanel& panel, QWidget*) override
    {
        openPanels += panel;
        if (openPanelAnswers.empty()) return std::nullopt;
        std::optional<QStringList> answer;
        answer.swap(openPanelAnswers.front());
        openPanelAnswers.pop_front();
        return answer;
    }
    std::optional<QString> runSavePanel(const SavePanel& panel, QWidget*) override
    {
        savePanels += panel;
        EXPECT_FALSE(savePanelAnswers.empty()) << "unexpected save panel";
        if (savePanelAnswers.empty()) return std::nullopt;
        auto answer = savePanelAnswers.front();
        savePanelAnswers.pop_front();
        return answer;
    }
    void presentError(const PLError& error, QWidget*) override { presentedErrors += error; }
};

class RecordingWindowController : public IXDocumentWindowControlling {
public:
    struct Log {
        int willSaves = 0;
        int nodeChanges = 0;
        // Every notice shown, and whether one is up now.
        QStringList notices;
        bool noticeShown = false;
    };
    explicit RecordingWindowController(Log* log) : m_log(log) {}
    QWidget* window() const override { return nullptr; }
    void showWindow() override {}
    void documentWillSave() override { ++m_log->willSaves; }
    void documentNodeDidChange() override { ++m_log->nodeChanges; }
    void showNotice(const QString& text) override
    {
        m_log->notices += text;
        m_log->noticeShown = true;
    }
    void hideNotice() override { m_log->noticeShown = false; }

private:
    Log* m_log;
};

// Stands for the desktop's program for a URL scheme (QDesktopServices::setUrlHandler).
class RecordingURLHandler : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened += url; }
};

// An editing tool with a change in progress: it unregisters when its change is applied or
// dropped, as tools do.
class FakeEditor : public PLEditor {
public:
    FakeEditor(IXOpenDocument* document, bool refusesCommit) : m_document(document), m_refusesCommit(refusesCommit)
    {
        document->objectDidBeginEditing(this);
    }
    bool commitEditing() override
    {
        ++commits;
        if (m_refusesCommit) return false;
        m_document->objectDidEndEditing(this);
        return true;
    }
    void discardEditing() override
    {
        ++discards;
        m_document->objectDidEndEditing(this);
    }
    int commits = 0;
    int discards = 0;

private:
    IXOpenDocument* m_document;
    bool m_refusesCommit;
};

// Each test gets its own settings and data folders (the recovery copies live there).
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.filePath(QStringLiteral("config")));
        ASSERT_TRUE(m_files.isValid());
    }

    QString filePath(const QString& name) const { return m_files.filePath(name); }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString fixturePath(const QString& name)
    {
        return QStringLiteral(IX_SOURCE_DIR "/tests/DocumentWindow/data/") + name;
    }

    // Copies a fixture into the test's folder.
    QString copyFixture(const QString& name, const QString& as) const
    {
        const QString target = filePath(as);
        QFile::remove(target);
        EXPECT_TRUE(QFile::copy(fixturePath(name), target));
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    // Lets the event loop turn (undo steps close, deferred work runs) for a while.
    static void spin(int milliseconds = 0)
    {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::processEvents();
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_files;
};
