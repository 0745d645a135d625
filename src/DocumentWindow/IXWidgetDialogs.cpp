#include "DocumentWindow/IXWidgetDialogs.h"

#include "Platform/Core/PLError.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

QMessageBox::Icon iconFor(IXDialogs::AlertStyle style)
{
    switch (style) {
    case IXDialogs::AlertStyle::Informational: return QMessageBox::Information;
    case IXDialogs::AlertStyle::Critical: return QMessageBox::Critical;
    case IXDialogs::AlertStyle::Warning: break;
    }
    return QMessageBox::Warning;
}

QString nameFilter(const QStringList& extensions)
{
    if (extensions.isEmpty()) return {};
    QStringList patterns;
    for (const QString& extension : extensions) patterns += QStringLiteral("*.") + extension;
    return QCoreApplication::translate("IXDialogs", "Documents (%1)").arg(patterns.join(QLatin1Char(' ')));
}

} // namespace

int IXWidgetDialogs::runAlert(const Alert& alert, QWidget* window)
{
    QMessageBox box(iconFor(alert.style), alert.title, alert.title, QMessageBox::NoButton, window);
    box.setInformativeText(alert.message);
    if (window) box.setWindowModality(Qt::WindowModal);
    QList<QAbstractButton*> buttons;
    const QStringList titles = alert.buttons.isEmpty() ? QStringList{QCoreApplication::translate("IXDialogs", "OK")} : alert.buttons;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QMessageBox::ButtonRole role = i == 0 ? QMessageBox::AcceptRole
                                             : i == alert.cancelButton ? QMessageBox::RejectRole
                                                                       : QMessageBox::DestructiveRole;
        buttons += box.addButton(titles[i], role);
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    if (alert.cancelButton >= 0 && alert.cancelButton < buttons.size()) box.setEscapeButton(buttons[alert.cancelButton]);
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    if (chosen >= 0) return int(chosen);
    return alert.cancelButton >= 0 ? alert.cancelButton : 0;
}

std::optional<QStringList> IXWidgetDialogs::runOpenPanel(const OpenPanel& panel, QWidget* window)
{
    QFileDialog dialog(window, panel.title, panel.directory, nameFilter(panel.allowedExtensions));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(panel.canChooseDirectories ? QFileDialog::Directory
                       : panel.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                       : QFileDialog::ExistingFile);
    if (window) dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> IXWidgetDialogs::runSavePanel(const SavePanel& panel, QWidget* window)
{
    QFileDialog dialog(window, panel.title, QDir(panel.directory).filePath(panel.fileName),
                       nameFilter(panel.requiredExtension.isEmpty() ? QStringList() : QStringList{panel.requiredExtension}));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(panel.requiredExtension);
    if (!panel.canCreateDirectories) dialog.setOption(QFileDialog::ReadOnly, true);
    if (window) dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

QString IXWidgetDialogs::errorText(const PLError& error)
{
    QString text = error.localizedDescription();
    const QString underlying = error.userInfo().value(PLError::UnderlyingErrorKey).toString();
    if (!underlying.isEmpty() && underlying != text) text += QStringLiteral("\n\n") + underlying;
    return text;
}

void IXWidgetDialogs::presentError(const PLError& error, QWidget* window)
{
    Alert alert;
    alert.title = errorText(error).section(QStringLiteral("\n\n"), 0, 0);
    alert.message = errorText(error).section(QStringLiteral("\n\n"), 1);
    alert.style = AlertStyle::Critical;
    runAlert(alert, window);
}

bool IXWidgetDialogs::runPrintPanel(QPrinter& printer, QWidget* window)
{
    QPrintDialog dialog(&printer, window);
    if (window) dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted;
}
