#pragma once

#include <QImage>
#include <QString>

// The quick-view panel of the application shell, which cells open on a picture. The shell
// installs its controller at start-up; without one nothing is shown.
class IXQuickViewControlling {
public:
    virtual ~IXQuickViewControlling();

    // The installed controller, or null.
    static IXQuickViewControlling* sharedController();
    // Installs the controller (null uninstalls); the caller keeps ownership.
    static void install(IXQuickViewControlling* controller);

    // Forgets any remembered file and shows the image scaled to fit.
    virtual void showWithImage(const QImage& image) = 0;
    // Shows the picture file at the path, remembering the path; nothing when it cannot be read.
    virtual void showWithPath(const QString& path) = 0;
};
