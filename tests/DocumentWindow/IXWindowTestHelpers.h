#pragma once

// Small helpers the window's tests share: finding a branch of a map by its title, and writing
// pictures of widgets to look at.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

// The first branch with the stored title, breadth first; null when none has it.
inline std::shared_ptr<IXBranchNode> branchTitled(const IXDocumentNode& node, const QString& title)
{
    QList<std::shared_ptr<IXBranchNode>> branches;
    for (const auto& root : node.rootBranches()) branches << std::static_pointer_cast<IXBranchNode>(root);
    for (qsizetype i = 0; i < branches.size(); ++i) {
        if (branches[i]->storedTitle() == title) return branches[i];
        branches << branches[i]->branches();
    }
    return nullptr;
}

// The widget at 1x and 2x under renders/ (name.png and name@2x.png).
inline void writeRenders(QWidget* widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(IX_SOURCE_DIR "/renders"));
    widget->grab().save(QStringLiteral(IX_SOURCE_DIR "/renders/%1.png").arg(name));
    QPixmap twice(widget->size() * 2);
    twice.setDevicePixelRatio(2);
    twice.fill(Qt::white);
    widget->render(&twice);
    twice.save(QStringLiteral(IX_SOURCE_DIR "/renders/%1@2x.png").arg(name));
}
