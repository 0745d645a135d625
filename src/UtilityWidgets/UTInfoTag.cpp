#include "UtilityWidgets/UTInfoTag.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Text/PLTextDocumentConversion.h"
#include "UtilityWidgets/UTInfoTagBgView.h"
#include "UtilityWidgets/UTInfoTagPlacement.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
constexpr float MinimumTextWidth = 20;
constexpr float MaximumTextHeight = 400;
constexpr int TextInset = UTInfoTagBgView::TextInset;

UTInfoTag* sharedTag = nullptr;
std::optional<QFont> customDefaultFont;
PLColor defaultTextColor;

PLColor defaultTint()
{
    return PLColor::rgb(1.0f, 1.0f, 0.7f);
}

// Rectangles in a view's y-up space become the widget's y-down ones.
QRectF flipped(const PLRect& rect, const QWidget* view)
{
    return rect.toQtRect(float(view->height()));
}
}

UTInfoTag* UTInfoTag::sharedInstance()
{
    if (!sharedTag) sharedTag = new UTInfoTag;
    return sharedTag;
}

UTInfoTag::UTInfoTag()
{
    m_tagStorage.setDocumentMargin(0);
    m_tagStorage.setDefaultFont(defaultFont());
    QTextOption option = m_tagStorage.defaultTextOption();
    // Words longer than a line break anywhere rather than run out of the tag.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_tagStorage.setDefaultTextOption(option);
    PLExceptionBoundary::connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &UTInfoTag::windowFocusChanged);
    PLExceptionBoundary::connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && isVisible()) hide();
    });
}

UTInfoTag::~UTInfoTag()
{
    delete m_window;
    if (sharedTag == this) sharedTag = nullptr;
}

QFont UTInfoTag::defaultFont()
{
    if (!customDefaultFont) {
        QFont font = QToolTip::font();
        font.setPointSizeF(10);
        customDefaultFont = font;
    }
    return *customDefaultFont;
}

void UTInfoTag::setDefaultFont(const QFont& font)
{
    customDefaultFont = font;
}

PLColor UTInfoTag::defaultColor()
{
    return defaultTextColor;
}

void UTInfoTag::setDefaultColor(const PLColor& color)
{
    defaultTextColor = color;
}

void UTInfoTag::setTitle(const QString& title)
{
    setTitleWith([&title](QTextCursor& cursor) { cursor.insertText(title); });
}

void UTInfoTag::setTitleWith(const std::function<void(QTextCursor& cursor)>& write)
{
    QTextCursor cursor(&m_tagStorage);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    QTextCharFormat format;
    format.setFont(defaultFont());
    if (defaultTextColor)
        format.setForeground(defaultTextColor.toQColor());
    else
        format.clearForeground();
    cursor.setCharFormat(format);
    cursor.setBlockCharFormat(format);
    write(cursor);
    cursor.endEditBlock();
    fitWindowToText();
}

void UTInfoTag::setAttributedTitle(const PLAttributedString& title)
{
    PLTextDocumentConversion::toTextDocument(title, &m_tagStorage);
    fitWindowToText();
}

QString UTInfoTag::title() const
{
    return m_tagStorage.toPlainText();
}

PLAttributedString UTInfoTag::attributedTitle() const
{
    return PLTextDocumentConversion::fromTextDocument(&m_tagStorage);
}

PLSize UTInfoTag::size() const
{
    if (!m_window) return {};
    const QSize size = m_window->frame().size();
    return {float(size.width()), float(size.height())};
}

void UTInfoTag::setSize(const PLSize& size)
{
    if (!m_window) return;
    // Qt's frames grow downward from their top-left corner, so the top edge stays.
    const QRect frame = m_window->frame();
    m_window->setFrame(QRect(frame.topLeft(), QSize(int(std::lround(size.width)), int(std::lround(size.height)))));
    m_window->update();
}

void UTInfoTag::sizeToFit()
{
    if (m_window) sizeToMaxWidth(StandardMaxWidth);
}

void UTInfoTag::sizeToMaxWidth(float width)
{
    ensureWindow();
    setSize(contentSizeForMaxWidth(width));
}

void UTInfoTag::sizeToWidth(float width)
{
    ensureWindow();
    setSize({width, contentSizeForMaxWidth(width).height});
}

void UTInfoTag::fitWindowToText()
{
    if (m_window) setSize(contentSizeForMaxWidth(StandardMaxWidth));
}

PLSize UTInfoTag::contentSizeForMaxWidth(float width)
{
    m_tagStorage.setTextWidth(std::max(MinimumTextWidth, width - 2 * TextInset));
    // The extent of the laid-out glyphs: the lines that fit in the height limit.
    QRectF used;
    if (!m_tagStorage.isEmpty()) {
        QAbstractTextDocumentLayout* layout = m_tagStorage.documentLayout();
        for (QTextBlock block = m_tagStorage.begin(); block.isValid(); block = block.next()) {
            const QPointF origin = layout->blockBoundingRect(block).topLeft();
            const QTextLayout* lines = block.layout();
            for (int i = 0; i < lines->lineCount(); ++i) {
                const QRectF line = lines->lineAt(i).naturalTextRect().translated(origin);
                if (line.bottom() > MaximumTextHeight) break;
                used = used.isNull() ? line : used.united(line);
            }
        }
    }
    const double w = used.isNull() ? 0 : std::ceil(used.right()) - std::floor(used.left());
    const double h = used.isNull() ? 0 : std::ceil(used.bottom()) - std::floor(used.top());
    return {float(w + 2 * TextInset), float(h + 2 * TextInset)};
}

bool UTInfoTag::isVisible() const
{
    return m_window && m_window->isVisible();
}

UTInfoTagWindow* UTInfoTag::ensureWindow()
{
    if (m_window) return m_window;
    m_window = new UTInfoTagWindow;
    m_window->contentView()->setTintColor(defaultTint());
    m_window->contentView()->setTextDocument(&m_tagStorage);
    fitWindowToText();
    return m_window;
}

void UTInfoTag::showWithTopLeft(QPoint screenTopLeft)
{
    UTInfoTagWindow* window = ensureWindow();
    updateTransientParent();
    // Wayland places a pop-up relative to its parent only when it is shown.
    if (window->isVisible() && window->frame().topLeft() != screenTopLeft &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        window->hide();
    window->setFrame(QRect(screenTopLeft, window->frame().size()));
    window->orderFront();
}

void UTInfoTag::showWithTopLeftTitle(QPoint screenTopLeft, const QString& title)
{
    setTitle(title);
    showWithTopLeft(screenTopLeft);
}

void UTInfoTag::showWithTopLeftAttributedTitle(QPoint screenTopLeft, const PLAttributedString& title)
{
    setAttributedTitle(title);
    showWithTopLeft(screenTopLeft);
}

QWidget* UTInfoTag::checkedView(QObject* view)
{
    auto* widget = qobject_cast<QWidget*>(view);
    PL_ASSERT_PARAM(widget, "[view window] != nil");
    return widget;
}

void UTInfoTag::rememberOwner(QWidget* view)
{
    m_ownersWindow = checkedView(view)->window();
}

void UTInfoTag::showWithTopLeftInView(QPointF topLeft, QWidget* view)
{
    rememberOwner(view);
    showWithTopLeft(view->mapToGlobal(topLeft).toPoint());
}

void UTInfoTag::showTaggedToRightSideOfRect(const QRectF& rect, QWidget* view)
{
    rememberOwner(view);
    const QSize tag = ensureWindow()->frame().size();
    showWithTopLeftInView(UTInfoTagPlacement::rightSideOfRect(rect, tag), view);
}

void UTInfoTag::showTaggedToBelowOfRect(const QRectF& rect, QWidget* view)
{
    rememberOwner(view);
    const QSize tag = ensureWindow()->frame().size();
    showWithTopLeftInView(UTInfoTagPlacement::belowRect(rect, tag), view);
}

void UTInfoTag::showWithAlignRelativeToRect(const QRectF& rect, QWidget* view)
{
    rememberOwner(view);
    const QSize tag = ensureWindow()->frame().size();
    showWithTopLeftInView(UTInfoTagPlacement::alignedRelativeToRect(rect, tag, view->size()), view);
}

void UTInfoTag::showWithTopLeftInView(PLPoint topLeft, QObject* view)
{
    QWidget* widget = checkedView(view);
    showWithTopLeftInView(QPointF(topLeft.x, widget->height() - topLeft.y), widget);
}

void UTInfoTag::showTaggedToRightSideOfRect(const PLRect& rect, QObject* view)
{
    QWidget* widget = checkedView(view);
    showTaggedToRightSideOfRect(flipped(rect, widget), widget);
}

void UTInfoTag::showTaggedToBelowOfRect(const PLRect& rect, QObject* view)
{
    QWidget* widget = checkedView(view);
    showTaggedToBelowOfRect(flipped(rect, widget), widget);
}

void UTInfoTag::showWithAlignRelativeToRect(const PLRect& rect, QObject* view)
{
    QWidget* widget = checkedView(view);
    showWithAlignRelativeToRect(flipped(rect, widget), widget);
}

void UTInfoTag::updateTransientParent()
{
    // Without an owner the tag belongs to the window the user works in.
    QWindow* parent = m_ownersWindow ? m_ownersWindow->windowHandle() : QGuiApplication::focusWindow();
    if (!parent && m_ownersWindow) {
        m_ownersWindow->winId();
        parent = m_ownersWindow->windowHandle();
    }
    m_window->winId();
    QWindow* handle = m_window->windowHandle();
    if (!handle || handle->transientParent() == parent || parent == handle) return;
    // A shown pop-up cannot change its parent on every platform; show it anew.
    if (m_window->isVisible()) m_window->hide();
    handle->setTransientParent(parent);
}

void UTInfoTag::hide()
{
    emit willHide(this);
    m_ownersWindow = nullptr;
    if (m_window) m_window->hide();
}

void UTInfoTag::hideWithFadeOutEffect()
{
    emit willHide(this);
    m_ownersWindow = nullptr;
    if (m_window && m_window->isVisible()) m_window->fadeOut();
}

void UTInfoTag::windowFocusChanged(QWindow* focusWindow)
{
    if (!focusWindow || !isVisible() || m_window->isFadingOut()) return;
    if (focusWindow == m_window->windowHandle()) return;
    if (m_ownersWindow && focusWindow == m_ownersWindow->windowHandle()) return;
    hide();
}

PLColor UTInfoTag::backgroundColor() const
{
    return m_window ? m_window->contentView()->tintColor() : defaultTint();
}

void UTInfoTag::setBackgroundColor(const PLColor& color)
{
    PL_ASSERT_PARAM(color, "color != nil");
    ensureWindow()->contentView()->setTintColor(color);
}

PLColor UTInfoTag::borderColor() const
{
    return m_window ? m_window->contentView()->borderColor() : PLColor();
}

void UTInfoTag::setBorderColor(const PLColor& color)
{
    PL_ASSERT_PARAM(color, "color != nil");
    ensureWindow()->contentView()->setBorderColor(color);
}
