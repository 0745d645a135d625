#pragma once

#include "MapLayout/IXQuickViewControlling.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

class QPushButton;
class QScrollArea;
class QSlider;
class QWidget;

// The quick view: one window for the application that shows a picture attached to a branch,
// scaled to fit its scroll area (0.95 of the fitting scale, never enlarged), with a scale
// slider and a button that shows the picture's file in its folder (enabled only for a picture
// that came from a file). The fitting scale leaves room for the scroll bars; the picture is
// centred in an area at least as large as the visible one; its view is never smaller than
// 20 x 20 points. One shared controller, installed at
// start-up as the cells' IXQuickViewControlling.
class IXQuickViewController : public QObject, public IXQuickViewControlling {
    Q_OBJECT
public:
    static constexpr int MinimumSide = 20;
    // The slider's steps for scales 0 to 1.
    static constexpr int ScaleSteps = 1000;

    IXQuickViewController();
    ~IXQuickViewController() override;

    static IXQuickViewController& sharedController();

    void showWithImage(const QImage& image) override;
    // A file that is not a picture changes nothing.
    void showWithPath(const QString& path) override;
    // Takes the scale (0-1) and lays the picture out again.
    void changeScale(double scale);
    // Shows the file of the picture in its folder.
    void openInFinder();

    QWidget* window();
    double scale() const { return m_scale; }
    const QString& path() const { return m_path; }
    const QImage& image() const { return m_image; }
    QPushButton* revealButton() const { return m_saveButton; }
    QSlider* scaleControl() const { return m_scaleControl; }
    // The picture's view and the area it is centred in, in the scroll area's document space.
    QRect imageViewFrame() const;
    QSize documentViewSize() const;
    // The room the scroll area gives the picture: its frame less the scroll bars and 2 points.
    QSize availableSize() const;

    // The window's resize and close.
    void windowChanged();
    void windowWillClose();

private:
    void loadWindow();
    void show(const QImage& image);
    void update();

    QPointer<QWidget> m_window;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_imageView = nullptr;
    QSlider* m_scaleControl = nullptr;
    QPushButton* m_saveButton = nullptr;
    QImage m_image;
    double m_scale = 1;
    QString m_path;
};
