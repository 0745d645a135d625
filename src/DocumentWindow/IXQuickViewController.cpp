#include "DocumentWindow/IXQuickViewController.h"

#include "DocumentModel/IXApplicationServices.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Drawing/PLImage.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

IXQuickViewController* s_shared = nullptr;

// No picture file of a map is larger.
constexpr qint64 MaximumPictureFileSize = qint64(256) << 20;

// Draws the picture scaled to the view.
class PictureView : public QWidget {
public:
    using QWidget::QWidget;
    void setImage(const QImage& image)
    {
        m_image = image;
        QWidget::update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    try {
        if (m_image.isNull()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(rect()), m_image);
    } catch (...) {
        PLExceptionBoundary::caught();
    }

private:
    QImage m_image;
};

// The quick view's window tells its controller about resizing and closing.
class QuickViewWindow : public QWidget {
public:
    explicit QuickViewWindow(IXQuickViewController* controller)
        : QWidget(nullptr, Qt::Window)
        , m_controller(controller)
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    try {
        QWidget::resizeEvent(event);
        m_controller->windowChanged();
    } catch (...) {
        PLExceptionBoundary::caught();
    }
    void closeEvent(QCloseEvent* event) override
    try {
        m_controller->windowWillClose();
        event->accept();
    } catch (...) {
        PLExceptionBoundary::caught();
    }

private:
    IXQuickViewController* m_controller;
};

}  // namespace

IXQuickViewController::IXQuickViewController() = default;

IXQuickViewController::~IXQuickViewController()
{
    if (IXQuickViewControlling::sharedController() == this) IXQuickViewControlling::install(nullptr);
    delete m_window.data();
    if (s_shared == this) s_shared = nullptr;
}

IXQuickViewController& IXQuickViewController::sharedController()
{
    if (!s_shared) {
        s_shared = new IXQuickViewController;
        s_shared->setParent(qApp);
    }
    return *s_shared;
}

QWidget* IXQuickViewController::window()
{
    if (!m_window) loadWindow();
    return m_window;
}

void IXQuickViewController::loadWindow()
{
    auto* window = new QuickViewWindow(this);
    window->setObjectName(QStringLiteral("QuickView"));
    window->setWindowTitle(PLLocalizedStrings::string(QStringLiteral("Quick View")));
    m_window = window;
    m_scroll = new QScrollArea(window);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto* document = new QWidget;
    m_imageView = new PictureView(document);
    m_scroll->setWidget(document);

    m_scaleControl = new QSlider(Qt::Horizontal, window);
    m_scaleControl->setRange(0, ScaleSteps);
    PLExceptionBoundary::connect(m_scaleControl, &QSlider::valueChanged, this, [this](int value) {
        const double scale = double(value) / ScaleSteps;
        if (std::lround(m_scale * ScaleSteps) != value) changeScale(scale);
    });
    m_saveButton = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Show in Folder")), window);
    PLExceptionBoundary::connect(m_saveButton, &QPushButton::clicked, this, [this] { openInFinder(); });

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_scaleControl, 1);
    controls->addWidget(m_saveButton);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(controls);
    window->resize(560, 460);
}

void IXQuickViewController::showWithImage(const QImage& image)
{
    m_path.clear();
    show(image);
}

void IXQuickViewController::showWithPath(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)
        || file.size() > MaximumPictureFileSize)
        return;
    const QImage image = PLImage::decodedImage(file.readAll());
    if (image.isNull()) return;
    m_path = path;
    show(image);
}

QSize IXQuickViewController::availableSize() const
{
    if (!m_scroll) return {};
    const int scroller = m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    return QSize(m_scroll->width() - (scroller + 2), m_scroll->height() - (scroller + 2));
}

void IXQuickViewController::show(const QImage& image)
{
    QWidget* window = this->window();
    m_image = image;
    static_cast<PictureView*>(m_imageView)->setImage(image);
    // The scroll area has its size only once the window is laid out.
    if (!window->isVisible()) window->layout()->activate();
    const QSize available = availableSize();
    const double ratio = std::max(1.0, image.devicePixelRatio());
    const double width = image.width() / ratio, height = image.height() / ratio;
    const double fitting
        = width > 0 && height > 0 ? std::min(available.width() / width, available.height() / height) : 1;
    m_scale = std::clamp(0.95 * fitting, 0.0, 1.0);
    m_scaleControl->setValue(int(std::lround(m_scale * ScaleSteps)));
    window->setWindowTitle(m_path.isEmpty() ? PLLocalizedStrings::string(QStringLiteral("Quick View"))
                                            : QFileInfo(m_path).fileName());
    update();
    window->show();
    window->raise();
    window->activateWindow();
}

void IXQuickViewController::changeScale(double scale)
{
    m_scale = std::clamp(scale, 0.0, 1.0);
    update();
}

void IXQuickViewController::windowChanged()
{
    update();
}

void IXQuickViewController::windowWillClose()
{
    m_image = QImage();
    if (m_imageView) static_cast<PictureView*>(m_imageView)->setImage(QImage());
    m_path.clear();
}

void IXQuickViewController::update()
{
    window();
    m_saveButton->setEnabled(!m_path.isEmpty());
    const double ratio = std::max(1.0, m_image.devicePixelRatio());
    const int width = int(std::ceil(m_image.width() / ratio * m_scale));
    const int height = int(std::ceil(m_image.height() / ratio * m_scale));
    const QSize view(std::max(MinimumSide, width), std::max(MinimumSide, height));
    // Centred in what is visible: the room kept for scroll bars only sets the fitting scale.
    const QSize visible = m_scroll->contentsRect().size();
    QWidget* document = m_scroll->widget();
    document->resize(std::max(visible.width(), width), std::max(visible.height(), height));
    m_imageView->setGeometry(int(std::floor(0.5 * (document->width() - view.width()))),
                             int(std::floor(0.5 * (document->height() - view.height()))), view.width(), view.height());
    document->update();
}

QRect IXQuickViewController::imageViewFrame() const
{
    return m_imageView ? m_imageView->geometry() : QRect();
}

QSize IXQuickViewController::documentViewSize() const
{
    return m_scroll && m_scroll->widget() ? m_scroll->widget()->size() : QSize();
}

void IXQuickViewController::openInFinder()
{
    if (m_path.isEmpty()) return;
    if (IXApplicationServices* services = IXApplicationServices::shared())
        services->openURL(QUrl::fromLocalFile(QFileInfo(m_path).absolutePath()));
}
