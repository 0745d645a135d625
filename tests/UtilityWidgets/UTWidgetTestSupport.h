#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

// Saves a widget's picture under screenshots/ in the test's working folder (the build
// tree), for a person to look at; returns the picture.
inline QImage saveScreenshot(QWidget* widget, const QString& name)
{
    const QImage image = widget->grab().toImage();
    QDir().mkpath(QStringLiteral("screenshots"));
    image.save(QStringLiteral("screenshots/%1.png").arg(name));
    return image;
}
