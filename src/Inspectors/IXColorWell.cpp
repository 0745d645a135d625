#include "Inspectors/IXColorWell.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace {

struct SharedDialog {
    QPointer<QColorDialog> dialog;
    QPointer<IXColorWell> well;
};

SharedDialog& shared()
{
    static SharedDialog state;
    return state;
}

}  // namespace

IXColorWell::IXColorWell(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setEnabled(false);
}

IXColorWell::~IXColorWell()
{
    if (shared().well == this) shared().well = nullptr;
}

void IXColorWell::setMixedColor(const IXMixedValue<PLColor>& color)
{
    m_color = color;
    setEnabled(color.hasValue() || color.isMultipleValues());
    if (!isEnabled() && isActive()) shared().well = nullptr;
    // The dialog follows the value of the well it serves.
    if (isActive() && color.hasValue() && shared().dialog) {
        const QSignalBlocker blocker(shared().dialog);
        shared().dialog->setCurrentColor(color.value().toQColor());
    }
    update();
}

QColorDialog* IXColorWell::colorDialog()
{
    SharedDialog& state = shared();
    if (!state.dialog) {
        state.dialog = new QColorDialog;
        // Taken apart with the application, while widgets still may be.
        qAddPostRoutine([] { delete shared().dialog.data(); });
        state.dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        state.dialog->setOption(QColorDialog::ShowAlphaChannel);
        state.dialog->setOption(QColorDialog::NoButtons);
        QObject::connect(state.dialog, &QColorDialog::currentColorChanged, state.dialog, [](const QColor& color) {
            if (shared().well) shared().well->takeColor(PLColor::fromQColor(color));
        });
        QObject::connect(state.dialog, &QColorDialog::finished, state.dialog, [] { shared().well = nullptr; });
    }
    return state.dialog;
}

void IXColorWell::activate()
{
    if (!isEnabled()) return;
    QColorDialog* dialog = colorDialog();
    shared().well = this;
    {
        const QSignalBlocker blocker(dialog);
        dialog->setCurrentColor(m_color.hasValue() ? m_color.value().toQColor() : QColor(Qt::white));
    }
    dialog->show();
    dialog->raise();
    update();
}

bool IXColorWell::isActive() const
{
    return shared().well == this;
}

void IXColorWell::deactivate()
{
    if (!isActive()) return;
    shared().well = nullptr;
    update();
}

void IXColorWell::takeColor(const PLColor& color)
{
    m_color = IXMixedValue<PLColor>(color);
    update();
    emit colorChosen(color);
}

QSize IXColorWell::sizeHint() const
{
    return {WellWidth, WellHeight};
}

void IXColorWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF inner = frame.adjusted(3, 3, -3, -3);
    const QPalette& colors = palette();
    painter.setPen(QPen(colors.color(isActive() ? QPalette::Highlight : QPalette::Mid), isActive() ? 2 : 1));
    painter.setBrush(colors.color(QPalette::Button));
    painter.drawRoundedRect(frame, 3, 3);
    if (m_color.hasValue()) {
        // A checkerboard under the colour shows how transparent it is.
        painter.save();
        painter.setClipRect(inner);
        painter.setPen(Qt::NoPen);
        const int cell = 5;
        for (int y = 0; y * cell < inner.height(); ++y)
            for (int x = 0; x * cell < inner.width(); ++x)
                painter.fillRect(QRectF(inner.left() + x * cell, inner.top() + y * cell, cell, cell),
                                 (x + y) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
        painter.restore();
        painter.fillRect(inner, m_color.value().toQColor());
        painter.setPen(QPen(colors.color(QPalette::Dark), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner);
    } else if (m_color.isMultipleValues()) {
        // Differing colours: a diagonal stripe, as a dash stands for differing text.
        painter.setPen(QPen(colors.color(QPalette::Text), 1.5));
        painter.drawLine(inner.bottomLeft(), inner.topRight());
    }
    if (hasFocus() && !isActive()) {
        painter.setPen(QPen(colors.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 2, 2);
    }
}

void IXColorWell::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) activate();
}

void IXColorWell::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        activate();
    else
        QWidget::keyPressEvent(event);
}
