#pragma once

// Drawing tests render into a small ARGB image; when a test fails, or always when the
// environment sets IX_SAVE_RENDERS, its image is saved as "renders/<suite>.<test>.png" under
// the test's working folder (the build tree), to be looked at.

#include <QColor>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

class RenderTest : public ::testing::Test {
protected:
    QImage canvas = blank(100, 100);

    static QImage blank(int width, int height)
    {
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }

    void TearDown() override
    {
        if (!HasFailure() && qEnvironmentVariableIsEmpty("IX_SAVE_RENDERS")) return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        QDir().mkpath(QStringLiteral("renders"));
        const QString path = QStringLiteral("renders/%1.%2.png").arg(QString::fromUtf8(info->test_suite_name()), QString::fromUtf8(info->name()));
        canvas.save(path);
        if (HasFailure()) std::printf("render saved to %s\n", qPrintable(QDir().absoluteFilePath(path)));
    }

    // The pixel at (x, y) of the y-up picture (row 0 at the bottom), unpremultiplied.
    QColor at(int x, int y) const { return canvas.pixelColor(x, canvas.height() - 1 - y); }
};

// Whether two colours agree within tolerance (0...255) on every channel.
inline ::testing::AssertionResult colorNear(const QColor& actual, const QColor& expected, int tolerance = 2)
{
    const int d = std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                            std::abs(actual.blue() - expected.blue()), std::abs(actual.alpha() - expected.alpha())});
    if (d <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rgba(" << actual.red() << "," << actual.green() << "," << actual.blue() << ","
                                         << actual.alpha() << ") instead of rgba(" << expected.red() << "," << expected.green()
                                         << "," << expected.blue() << "," << expected.alpha() << ")";
}
