#include "DocumentWindow/IXFontPanel.h"

#include "DocumentWindow/IXApplication.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QCoreApplication>
#include <QFontDialog>
#include <QPointer>
#include <QSignalBlocker>

namespace {

QPointer<QFontDialog>& panel()
{
    static QPointer<QFontDialog> shared;
    return shared;
}

}  // namespace

QFontDialog* IXFontPanel::sharedPanel(bool create)
{
    QPointer<QFontDialog>& shared = panel();
    if (!shared && create) {
        shared = new QFontDialog;
        shared->setAttribute(Qt::WA_QuitOnClose, false);
        shared->setWindowFlag(Qt::Tool);
        shared->setOption(QFontDialog::NoButtons);
        shared->setModal(false);
        shared->setWindowTitle(PLLocalizedStrings::string(QStringLiteral("Fonts")));
        QFontDialog* dialog = shared.data();
        PLExceptionBoundary::connect(dialog, &QFontDialog::currentFontChanged, dialog, [dialog] {
            if (IXApplication* application = IXApplication::instance())
                application->sendAction(QByteArrayLiteral("changeFont:"), nullptr, dialog);
        });
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, dialog, &QObject::deleteLater);
    }
    return shared.data();
}

void IXFontPanel::orderFront()
{
    QFontDialog* dialog = sharedPanel(true);
    dialog->show();
    dialog->raise();
}

bool IXFontPanel::isVisible()
{
    const QFontDialog* dialog = sharedPanel();
    return dialog && dialog->isVisible();
}

void IXFontPanel::setPanelFont(const QFont& font)
{
    QFontDialog* dialog = sharedPanel();
    if (!dialog) return;
    const QSignalBlocker blocker(dialog);
    dialog->setCurrentFont(font);
}
