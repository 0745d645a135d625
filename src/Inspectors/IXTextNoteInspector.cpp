#include "Inspectors/IXTextNoteInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXSpellingHighlighter.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXNoteFormatPanel.h"
#include "Inspectors/IXNoteRulerView.h"
#include "Inspectors/IXNoteTextView.h"
#include "Inspectors/IXPanelFade.h"
#include "Inspectors/IXSlaveFrameView.h"
#include "Inspectors/IXSlavePanel.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Text/PLSpellChecker.h"
#include "UtilityWidgets/UTBeep.h"
#include "UtilityWidgets/UTControlsFrameBox.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

const QString IXTextNoteInspector::FrameKey = QStringLiteral("IXTextEditorFrame");
const QString IXTextNoteInspector::ToolbarVisibleKey = QStringLiteral("IXTextEditorToolbarVisible");
const QString IXTextNoteInspector::RulerVisibleKey = QStringLiteral("IXTextEditorRulerVisible");
const QString IXTextNoteInspector::VisibleKey = QStringLiteral("IXTextEditorVisible");
const QString IXTextNoteInspector::WindowFrameKey = QStringLiteral("IXNoteEditorWindow");
const QString IXTextNoteInspector::LastPictureFolderKey = QStringLiteral("IXLastPictureFolder");

namespace {

constexpr int DefaultWidth = 440;
constexpr int DefaultHeight = 260;

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromLatin1(key));
}

// A localized format with "%i" placeholders, numbered for QString::arg in their order.
QString numbered(QString format)
{
    int number = 1;
    for (qsizetype at = format.indexOf(QLatin1String("%i")); at >= 0; at = format.indexOf(QLatin1String("%i"), at))
        format.replace(at, 2, QStringLiteral("%%1").arg(number++));
    return format;
}

IXTextNoteInspector::Services& installedServices()
{
    static IXTextNoteInspector::Services services;
    return services;
}

// "{{x, y}, {w, h}}", the text form of a rectangle in the options.
QString stringFromRect(const QRect& rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

std::optional<QRect> rectFromString(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*\{\s*\{\s*(-?[\d.]+)\s*,\s*(-?[\d.]+)\s*\}\s*,\s*\{\s*([\d.]+)\s*,\s*([\d.]+)\s*\}\s*\}\s*$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) return std::nullopt;
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = match.captured(i + 1).toDouble(&ok);
        if (!ok || !std::isfinite(values[i]) || std::abs(values[i]) > 1e6) return std::nullopt;
    }
    return QRect(int(values[0]), int(values[1]), int(values[2]), int(values[3]));
}

QToolButton* makeButton(QWidget* parent, const QString& text, const QString& tooltip)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

const struct {
    int tag;
    const char* symbol;
} ToolbarItems[] = {
    {IXTextNoteInspector::BoldTag, "B"},
    {IXTextNoteInspector::ItalicTag, "I"},
    {IXTextNoteInspector::UnderlineTag, "U"},
    {IXTextNoteInspector::SuperscriptTag, "x\u00b2"},
    {IXTextNoteInspector::SubscriptTag, "x\u2082"},
    {IXTextNoteInspector::FontPanelTag, "Aa"},
    {IXTextNoteInspector::TextColorTag, "A\u25a0"},
    {IXTextNoteInspector::BackgroundColorTag, "\u25a7"},
    {IXTextNoteInspector::RulerTag, "\u2261"},
    {IXTextNoteInspector::TablePanelTag, "\u229e"},
    {IXTextNoteInspector::InsertPictureTag, "\u25a3"},
    {IXTextNoteInspector::HyperlinkTag, "\u26ad"},
    {IXTextNoteInspector::SpellingTag, "\u2713"},
};

}  // namespace

void IXTextNoteInspector::installServices(Services services)
{
    installedServices() = std::move(services);
}

const IXTextNoteInspector::Services& IXTextNoteInspector::services()
{
    return installedServices();
}

IXTextNoteInspector::IXTextNoteInspector()
{
    PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::ContinuousSpellCheckingChanged,
                                                      nullptr, [this](const PLNotification&) { spellingSwitched(); });
}

IXTextNoteInspector::IXTextNoteInspector(IXInspectedController* controller)
    : IXInspectorController(controller)
    , m_slave(true)
{
    PLNotificationCenter::defaultCenter().addObserver(this, IXSpellCheckingNotices::ContinuousSpellCheckingChanged,
                                                      nullptr, [this](const PLNotification&) { spellingSwitched(); });
    // The base took the controller's selection before this part existed.
    updateSelection();
    observeDocument();
}

IXTextNoteInspector::~IXTextNoteInspector()
{
    endEditing();
    PLNotificationCenter::defaultCenter().removeObserver(this);
    stopObserving();
    if (m_animation) m_animation->stop();
    delete m_window.data();
}

QString IXTextNoteInspector::inspectorTitle() const
{
    return localized("Text Notes");
}

QWidget* IXTextNoteInspector::inspectorView()
{
    loadWindow();
    return m_containerView;
}

QWidget* IXTextNoteInspector::window()
{
    loadWindow();
    return m_window;
}

IXSlavePanel* IXTextNoteInspector::slavePanel() const
{
    return qobject_cast<IXSlavePanel*>(m_window.data());
}

std::shared_ptr<IXDocumentNode> IXTextNoteInspector::document() const
{
    return controller() ? controller()->documentNode() : nullptr;
}

QVariantMap* IXTextNoteInspector::interfaceOptions() const
{
    const auto node = document();
    return node ? &node->userInterfaceOptions() : nullptr;
}

void IXTextNoteInspector::setController(IXInspectedController* newController)
{
    if (newController == controller()) return;
    save();
    endEditing();
    if (m_slave && slavePanel() && slavePanel()->isAttached()) {
        slavePanel()->hide();
        m_attachedHost = nullptr;
    }
    IXInspectorController::setController(newController);
    if (m_showPending && newController) show();
}

// --- Window ---

void IXTextNoteInspector::loadWindow()
{
    if (m_loaded) return;
    m_loaded = true;
    makeViews();
    PL_ASSERT_PARAM(m_textView, "textView");
    PL_ASSERT_PARAM(m_containerView.data(), "containerView");
    if (m_slave) {
        auto* panel = new IXSlavePanel;
        panel->setMinimumFrameSize(QSize(MinimumWidth, MinimumHeight));
        panel->resize(DefaultWidth, DefaultHeight);
        panel->setContentWidget(m_containerView);
        panel->hide();
        PLExceptionBoundary::connect(panel, &IXSlavePanel::focusLeft, this, [this] { save(); });
        m_window = panel;
    } else {
        auto* window = new QWidget(nullptr, Qt::Tool);
        window->setAttribute(Qt::WA_QuitOnClose, false);
        window->setWindowTitle(localized("Text Note Editor"));
        window->setMinimumSize(MinimumWidth, MinimumHeight);
        window->resize(DefaultWidth, DefaultHeight);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_containerView);
        window->installEventFilter(this);
        m_window = window;
    }
    m_textView->setReadOnly(true);
    m_textView->setTextInteractionFlags(Qt::NoTextInteraction);
    updateLayout();
}

void IXTextNoteInspector::makeViews()
{
    m_containerView = new QWidget;
    m_containerView->setObjectName(QStringLiteral("TextNoteInspector"));
    auto* layout = new QVBoxLayout(m_containerView);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    // Caption: count, branch title, note name, then the buttons.
    m_captionView = new QWidget(m_containerView);
    auto* caption = new QHBoxLayout(m_captionView);
    caption->setContentsMargins(2, 0, 0, 0);
    caption->setSpacing(1);
    m_noteCountField = new QLabel(m_captionView);
    m_captionLabels = new QWidget(m_captionView);
    m_captionLabels->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_captionLabels->setMinimumWidth(40);
    m_captionLabels->installEventFilter(this);
    m_branchTitleField = new QLabel(m_captionLabels);
    m_noteNameField = new QLabel(m_captionLabels);
    QFont bold = m_noteNameField->font();
    bold.setBold(true);
    m_noteNameField->setFont(bold);
    caption->addWidget(m_noteCountField);
    caption->addSpacing(4);
    caption->addWidget(m_captionLabels, 1);
    m_prevNoteButton = makeButton(m_captionView, QStringLiteral("\u25c0"), localized("Previous Note"));
    m_nextNoteButton = makeButton(m_captionView, QStringLiteral("\u25b6"), localized("Next Note"));
    m_addNoteButton = makeButton(m_captionView, QStringLiteral("+"), localized("Add Note"));
    m_removeNoteButton = makeButton(m_captionView, QStringLiteral("\u2212"), localized("Remove Note"));
    m_showToolbarButton = makeButton(m_captionView, QStringLiteral("\u2630"), localized("Show Toolbar"));
    m_showRulerButton = makeButton(m_captionView, QStringLiteral("\u2194"), localized("Show Ruler"));
    m_closeButton = makeButton(m_captionView, QStringLiteral("\u00d7"), localized("Close"));
    m_showToolbarButton->setCheckable(true);
    m_showRulerButton->setCheckable(true);
    for (QToolButton* button : {m_prevNoteButton, m_nextNoteButton, m_addNoteButton, m_removeNoteButton,
                                m_showToolbarButton, m_showRulerButton, m_closeButton})
        caption->addWidget(button);
    PLExceptionBoundary::connect(m_prevNoteButton, &QToolButton::clicked, this, [this] { prevNoteAction(); });
    PLExceptionBoundary::connect(m_nextNoteButton, &QToolButton::clicked, this, [this] { nextNoteAction(); });
    PLExceptionBoundary::connect(m_addNoteButton, &QToolButton::clicked, this, [this] { addNoteAction(); });
    PLExceptionBoundary::connect(m_removeNoteButton, &QToolButton::clicked, this, [this] { removeNoteAction(); });
    PLExceptionBoundary::connect(m_showToolbarButton, &QToolButton::toggled, this, [this] { updateLayout(); });
    PLExceptionBoundary::connect(m_showRulerButton, &QToolButton::toggled, this, [this] { updateLayout(); });
    PLExceptionBoundary::connect(m_closeButton, &QToolButton::clicked, this, [this] { hide(); });
    layout->addWidget(m_captionView);

    m_textView = new IXNoteTextView(m_containerView);
    m_textView->setFrameShape(m_slave ? QFrame::NoFrame : QFrame::StyledPanel);
    makeToolbar();
    m_rulerView = new IXNoteRulerView(m_textView, m_containerView);
    m_rulerView->hide();
    layout->addWidget(m_toolbarView);
    layout->addWidget(m_rulerView);
    layout->addWidget(m_textView, 1);

    m_textView->setColorWells(m_textForeColorWell, m_textBackColorWell);
    PLExceptionBoundary::connect(m_textView, &IXNoteTextView::selectionAttributesChanged, this,
                                 [this] { selectionAttributesChanged(); });
    PLExceptionBoundary::connect(m_textView->document(), &QTextDocument::modificationChanged, this,
                                 [this](bool changed) { textModificationChanged(changed); });
    IXNoteTextView::Panels panels;
    const auto panel = [this](IXNoteFormatPanel::Kind kind) {
        return [this, kind] {
            if (m_textView && !m_textView->isReadOnly()) IXNoteFormatPanel::open(kind, m_textView);
        };
    };
    panels.spacing = panel(IXNoteFormatPanel::Kind::Spacing);
    panels.list = panel(IXNoteFormatPanel::Kind::List);
    panels.link = panel(IXNoteFormatPanel::Kind::Link);
    panels.table = panel(IXNoteFormatPanel::Kind::Table);
    if (services().choosePicture) panels.insertPicture = [this] { insertPicture(); };
    m_textView->setPanels(std::move(panels));
}

void IXTextNoteInspector::makeToolbar()
{
    m_toolbarView = new QWidget(m_containerView);
    auto* strip = new QHBoxLayout(m_toolbarView);
    strip->setContentsMargins(0, 0, 0, 0);
    m_toolbarBox = new UTControlsFrameBox(m_toolbarView);
    m_toolbarBox->setFlat(true);
    strip->addWidget(m_toolbarBox);
    auto* items = new QHBoxLayout(m_toolbarBox);
    items->setContentsMargins(2, 2, 2, 2);
    items->setSpacing(1);
    m_textForeColorWell = new IXColorWell(m_toolbarBox);
    m_textBackColorWell = new IXColorWell(m_toolbarBox);
    for (IXColorWell* well : {m_textForeColorWell, m_textBackColorWell}) {
        well->setFixedSize(28, 20);
        well->setMixedColor(IXMixedValue<PLColor>(PLColor::rgb(0, 0, 0, 0)));
        PLExceptionBoundary::connect(well, &IXColorWell::colorChosen, this, [this](const PLColor& color) {
            if (m_textView) m_textView->changeColor(color.toQColor());
        });
    }
    m_textForeColorWell->setToolTip(localized("Text Color"));
    m_textBackColorWell->setToolTip(localized("Background Color"));
    for (const auto& item : ToolbarItems) {
        // Items whose service the application does not offer are left out.
        const bool routed = item.tag == FontPanelTag || item.tag == SpellingTag;
        if (routed && !services().sendAction) continue;
        if (item.tag == InsertPictureTag && !services().choosePicture) continue;
        QToolButton* button = makeButton(m_toolbarBox, QString::fromUtf8(item.symbol), tooltipForTag(item.tag));
        button->setProperty("tag", item.tag);
        if (item.tag == BoldTag || item.tag == ItalicTag || item.tag == UnderlineTag) {
            QFont font = button->font();
            font.setBold(item.tag == BoldTag);
            font.setItalic(item.tag == ItalicTag);
            font.setUnderline(item.tag == UnderlineTag);
            button->setFont(font);
        }
        items->addWidget(button);
        if (item.tag == TextColorTag) items->addWidget(m_textForeColorWell);
        if (item.tag == BackgroundColorTag) items->addWidget(m_textBackColorWell);
        const int tag = item.tag;
        PLExceptionBoundary::connect(button, &QToolButton::clicked, this, [this, tag] { toolbarAction(tag); });
    }
    items->addStretch();
    m_toolbarView->hide();
}

QToolButton* IXTextNoteInspector::toolbarButton(int tag) const
{
    if (!m_toolbarBox) return nullptr;
    for (QToolButton* button : m_toolbarBox->findChildren<QToolButton*>())
        if (button->property("tag").toInt() == tag) return button;
    return nullptr;
}

QString IXTextNoteInspector::tooltipForTag(int tag)
{
    switch (tag) {
    case BoldTag:
        return localized("Bold");
    case ItalicTag:
        return localized("Italic");
    case UnderlineTag:
        return localized("Underline");
    case SuperscriptTag:
        return localized("Superscript");
    case SubscriptTag:
        return localized("Subscript");
    case FontPanelTag:
        return localized("Font Panel");
    case TextColorTag:
        return localized("Text Color");
    case BackgroundColorTag:
        return localized("Background Color");
    case RulerTag:
        return localized("Toggle Ruler");
    case TablePanelTag:
        return localized("Table Panel");
    case InsertPictureTag:
        return localized("Insert Picture");
    case HyperlinkTag:
        return localized("Insert Hyperlink");
    case SpellingTag:
        return localized("Check Spelling");
    default:
        return {};
    }
}

QRect IXTextNoteInspector::hostFrame() const
{
    QWidget* area = controller() ? controller()->workAreaWidget() : nullptr;
    QWidget* host = controller() ? controller()->window() : nullptr;
    if (!area || !host || !host->isAncestorOf(area))
        return host ? host->rect().adjusted(HostInset, HostInset, -HostInset, -HostInset) : QRect();
    const QPoint origin = area->mapTo(host, QPoint(0, 0));
    return QRect(origin, area->size()).adjusted(HostInset, HostInset, -HostInset, -HostInset);
}

QRect IXTextNoteInspector::frameInHost() const
{
    if (!m_window) return {};
    const QRect host = hostFrame();
    const QRect frame = m_window->geometry();
    return QRect(frame.x() - host.x(), host.y() + host.height() - (frame.y() + frame.height()), frame.width(),
                 frame.height());
}

void IXTextNoteInspector::setFrameInHost(const QRect& frame)
{
    if (!m_window) return;
    const QRect host = hostFrame();
    const QSize size = frame.size().expandedTo(QSize(MinimumWidth, MinimumHeight));
    m_window->setGeometry(
        QRect(host.x() + frame.x(), host.y() + host.height() - frame.y() - size.height(), size.width(), size.height()));
}

void IXTextNoteInspector::attachToHost()
{
    IXSlavePanel* panel = slavePanel();
    QWidget* host = controller() ? controller()->window() : nullptr;
    if (!panel || !host) return;
    if (m_attachedHost == host && panel->isAttached()) return;
    m_attachedHost = host;
    panel->attach(
        host, [this] { return hostFrame(); }, controller()->workAreaWidget());
}

void IXTextNoteInspector::show()
{
    show(false);
}

void IXTextNoteInspector::showImmediately()
{
    show(true);
}

void IXTextNoteInspector::show(bool immediately)
{
    m_showPending = !controller() && !m_slave;
    if (!controller()) return;
    loadWindow();
    bool toolbar = false;
    bool ruler = false;
    if (m_slave) {
        IXSlavePanel* panel = slavePanel();
        panel->setParent(controller()->window());
        const QVariantMap* options = interfaceOptions();
        std::optional<QRect> frame;
        if (options) frame = rectFromString(options->value(FrameKey).toString());
        if (frame)
            setFrameInHost(*frame);
        else
            setFrameInHost(QRect(0, 0, panel->width(), panel->height()));
        if (options) {
            toolbar = options->value(ToolbarVisibleKey).toBool();
            ruler = options->value(RulerVisibleKey).toBool();
        }
    } else {
        const Services& shell = services();
        const QRect frame = shell.preference ? shell.preference(WindowFrameKey).toRect() : QRect();
        if (frame.isValid() && frame.width() >= MinimumWidth) {
            m_window->setGeometry(frame);
        } else if (QWidget* host = controller()->window()) {
            const QRect area = hostFrame();
            m_window->move(host->mapToGlobal(QPoint(area.left(), area.bottom() - m_window->height())));
        }
        if (shell.preference) {
            toolbar = shell.preference(ToolbarVisibleKey).toBool();
            ruler = shell.preference(RulerVisibleKey).toBool();
        }
    }
    {
        const QSignalBlocker toolbarBlocker(m_showToolbarButton);
        const QSignalBlocker rulerBlocker(m_showRulerButton);
        m_showToolbarButton->setChecked(toolbar);
        m_showRulerButton->setChecked(ruler);
    }
    updateLayout();
    m_hideAnimation = false;
    if (m_slave) {
        m_window->show();
        attachToHost();
        m_window->raise();
    } else {
        if (QWidget* host = controller()->window(); host && m_window->parentWidget() != host) {
            const QRect frame = m_window->geometry();
            m_window->setParent(host, Qt::Tool);
            m_window->setGeometry(frame);
        }
        m_window->show();
        m_window->raise();
    }
    if (immediately) {
        if (m_animation) m_animation->stop();
        m_window->setGraphicsEffect(nullptr);
        m_window->setWindowOpacity(1.0);
    } else {
        fade(true);
    }
}

void IXTextNoteInspector::hide()
{
    m_showPending = false;
    if (!m_window || !m_window->isVisible()) return;
    save();
    saveUIState();
    // The state above is the shown editor's; from now on it is hidden.
    if (QVariantMap* options = m_slave ? interfaceOptions() : nullptr) options->insert(VisibleKey, false);
    m_hideAnimation = true;
    fade(false);
}

bool IXTextNoteInspector::isVisible() const
{
    return m_window && m_window->isVisible() && !m_hideAnimation;
}

void IXTextNoteInspector::fade(bool in)
{
    IXPanelFade::start(m_animation, m_window, in, FadeMilliseconds, this, [this] { fadeEnded(); });
}

void IXTextNoteInspector::fadeEnded()
{
    IXPanelFade::finish(m_window, m_hideAnimation);
    m_hideAnimation = false;
}

void IXTextNoteInspector::saveUIState()
{
    if (!m_loaded) return;
    const bool visible = isVisible();
    if (m_slave) {
        QVariantMap* options = interfaceOptions();
        if (!options) return;
        if (visible) {
            options->insert(FrameKey, stringFromRect(frameInHost()));
            options->insert(ToolbarVisibleKey, m_showToolbarButton->isChecked());
            options->insert(RulerVisibleKey, m_showRulerButton->isChecked());
        }
        options->insert(VisibleKey, visible);
        return;
    }
    const Services& shell = services();
    if (!shell.setPreference) return;
    shell.setPreference(ToolbarVisibleKey, m_showToolbarButton->isChecked());
    shell.setPreference(RulerVisibleKey, m_showRulerButton->isChecked());
    if (visible) shell.setPreference(WindowFrameKey, m_window->geometry());
}

void IXTextNoteInspector::documentWillSave()
{
    save();
    updateControls();
}

// --- Layout ---

int IXTextNoteInspector::titleWidth(int available, int titleNatural, int nameNatural)
{
    int width = titleNatural;
    if (available - nameNatural < width) {
        width = available - nameNatural;
        if (width < available * MinimumTitleShare) width = int(std::floor(available * MinimumTitleShare));
    }
    return std::max(width, 0);
}

void IXTextNoteInspector::layoutCaption()
{
    if (!m_captionLabels) return;
    const int available = m_captionLabels->width();
    const int height = m_captionLabels->height();
    const QString title = m_branchTitleField->text();
    const QString name = m_noteNameField->text();
    const int titleNatural = int(std::ceil(m_branchTitleField->fontMetrics().horizontalAdvance(title)));
    const int nameNatural = int(std::ceil(m_noteNameField->fontMetrics().horizontalAdvance(name)));
    const int width = std::min(titleWidth(available, titleNatural, nameNatural), available);
    m_branchTitleField->setToolTip(width < titleNatural ? m_branchTitleField->property("fullText").toString()
                                                        : QString());
    m_branchTitleField->setGeometry(0, 0, width, height);
    m_noteNameField->setGeometry(width, 0, std::max(0, available - width), height);
    m_noteNameField->setToolTip(available - width < nameNatural ? name : QString());
}

void IXTextNoteInspector::updateLayout()
{
    if (!m_loaded) return;
    m_noteCountField->setVisible(!m_noteCountField->text().isEmpty());
    layoutCaption();
    m_rulerView->setVisible(m_showRulerButton->isChecked());
    m_toolbarView->setVisible(m_showToolbarButton->isChecked());
    m_toolbarBox->setEnabled(!m_textView->isReadOnly());
    m_containerView->update();
}

// --- Selection ---

void IXTextNoteInspector::updateSelection()
{
    // A new note being written stays so while its branch is selected: the composed text must
    // not move to another note.
    const IXBranchNode* newNoteBranch = m_referenceIndex < 0 ? currentBranch().get() : nullptr;
    m_branches = selection().allBranches();
    m_references.clear();
    for (const auto& branch : m_branches)
        for (const auto& note : branch->textnotes())
            if (note->isTextNote()) m_references.append(note);
    if (newNoteBranch) {
        for (int i = 0; i < int(m_branches.size()); ++i) {
            if (m_branches[i].get() != newNoteBranch) continue;
            m_branchIndex = i;
            return;
        }
    }
    const int count = int(m_references.size());
    if (count > 0) {
        if (m_referenceIndex < 0)
            m_referenceIndex = 0;
        else if (m_referenceIndex >= count)
            m_referenceIndex = count - 1;
        IXNode* parent = m_references[m_referenceIndex]->parentNode();
        m_branchIndex = -1;
        for (int i = 0; i < int(m_branches.size()); ++i)
            if (m_branches[i].get() == parent) m_branchIndex = i;
    } else {
        m_referenceIndex = -1;
        if (m_branches.isEmpty())
            m_branchIndex = -1;
        else if (m_branchIndex < 0)
            m_branchIndex = 0;
        else if (m_branchIndex >= int(m_branches.size()))
            m_branchIndex = int(m_branches.size()) - 1;
    }
}

std::shared_ptr<IXCommentNode> IXTextNoteInspector::currentNote() const
{
    return m_referenceIndex >= 0 && m_referenceIndex < m_references.size() ? m_references[m_referenceIndex] : nullptr;
}

std::shared_ptr<IXBranchNode> IXTextNoteInspector::currentBranch() const
{
    return m_branchIndex >= 0 && m_branchIndex < m_branches.size() ? m_branches[m_branchIndex] : nullptr;
}

void IXTextNoteInspector::selectionWillChange()
{
    save();
    if (m_textView) {
        const int tag = m_textView->spellingHighlighter()->spellDocumentTag();
        if (tag) PLSpellChecker::sharedChecker().closeSpellDocument(tag);
        m_textView->spellingHighlighter()->setSpellDocumentTag(0);
    }
    stopObserving();
}

void IXTextNoteInspector::selectionDidChange()
{
    m_branchIndex = -1;
    m_referenceIndex = -1;
    updateSelection();
    observeDocument();
    updateControls();
    if (!m_textView) return;
    IXSpellingHighlighter* spelling = m_textView->spellingHighlighter();
    const int tag = PLSpellChecker::uniqueSpellDocumentTag();
    spelling->setSpellDocumentTag(tag);
    if (const auto node = document()) {
        PLSpellChecker& checker = PLSpellChecker::sharedChecker();
        QStringList words = checker.ignoredWords(node->spellDocumentTag());
        if (words.isEmpty()) words = node->ignoredWords();
        if (!words.isEmpty()) checker.setIgnoredWords(words, tag);
    }
    spellingSwitched();
}

void IXTextNoteInspector::spellingSwitched()
{
    if (!m_textView) return;
    IXSpellingHighlighter* spelling = m_textView->spellingHighlighter();
    const bool on = IXContinuousSpellChecking::isOn();
    if (spelling->isEnabled() != on) spelling->setEnabled(on);
}

void IXTextNoteInspector::observeDocument()
{
    const auto node = document();
    if (!node || node == m_observedDocument.lock()) return;
    stopObserving();
    if (UTBroadcaster* broadcaster = node->observers()) {
        broadcaster->addObserver(this);
        m_observedDocument = node;
    }
}

void IXTextNoteInspector::stopObserving()
{
    if (const auto node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

// --- Committing ---

void IXTextNoteInspector::textModificationChanged(bool changed)
{
    if (!changed) {
        endEditing();
        return;
    }
    auto* window = dynamic_cast<IXWindowControlling*>(controller());
    IXOpenDocument* document = window ? window->document() : nullptr;
    if (!document || document == m_editingDocument) return;
    endEditing();
    m_editingDocument = document;
    document->objectDidBeginEditing(this);
}

void IXTextNoteInspector::endEditing()
{
    IXOpenDocument* document = m_editingDocument;
    m_editingDocument = nullptr;
    if (document) document->objectDidEndEditing(this);
}

bool IXTextNoteInspector::commitEditing()
{
    save();
    endEditing();
    return true;
}

void IXTextNoteInspector::discardEditing()
{
    // The document forgets its editors itself.
    m_editingDocument = nullptr;
    if (m_textView) m_textView->setTextChanged(false);
}

void IXTextNoteInspector::save()
{
    if (!m_loaded || m_saving) return;
    m_saving = true;
    const std::shared_ptr<IXBranchNode> branch = currentBranch();
    const std::shared_ptr<IXCommentNode> note = currentNote();
    std::shared_ptr<IXCommentNode> created;
    if (note) {
        // Only a changed text is written: an untouched note keeps its stored form.
        if (m_textView->isTextChanged() && m_loadedNote == note.get()) note->setText(m_textView->noteText());
    } else if (branch && m_loadedBranch == branch.get() && m_loadedNote == nullptr
               && !m_textView->document()->isEmpty()) {
        const PLAttributedString text = m_textView->noteText();
        if (!text.isEmpty()) {
            created = branch->addTextnote();
            created->setText(text);
            created->setTitle(IXCommentNode::titleFromString(m_textView->document()->toPlainText()));
        }
    }
    m_textView->setTextChanged(false);
    if (m_slave) saveUIState();
    updateSelection();
    if (created) {
        // The composed text goes on in its own note, never in the note that happens to come
        // first.
        const int index = int(m_references.indexOf(created));
        if (index >= 0) {
            m_referenceIndex = index;
            updateSelection();
            m_loadedNote = created.get();
        }
    }
    m_saving = false;
}

void IXTextNoteInspector::remove()
{
    const std::shared_ptr<IXBranchNode> branch = currentBranch();
    const std::shared_ptr<IXCommentNode> note = currentNote();
    if (m_textView) m_textView->setTextChanged(false);
    if (branch && note) branch->removeReference(note);
    updateSelection();
}

// --- Navigation ---

void IXTextNoteInspector::editNoteAtIndex(int index)
{
    if (index < 0 || index >= m_references.size()) return;
    save();
    if (index >= m_references.size()) return;
    if (index != m_referenceIndex) {
        m_referenceIndex = index;
        updateSelection();
    }
    updateControls();
}

bool IXTextNoteInspector::editNote(const std::shared_ptr<IXCommentNode>& note)
{
    const int index = int(m_references.indexOf(note));
    if (index < 0) return false;
    editNoteAtIndex(index);
    return true;
}

void IXTextNoteInspector::selectTextRange(int location, int length)
{
    if (!m_textView) return;
    QTextDocument* doc = m_textView->document();
    const int end = doc->characterCount() - 1;
    if (location < 0 || length < 0 || location + length > end) return;
    QTextCursor cursor(doc);
    cursor.setPosition(location);
    cursor.setPosition(location + length, QTextCursor::KeepAnchor);
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
}

void IXTextNoteInspector::addNoteAction()
{
    save();
    if (m_branches.isEmpty()) return;
    m_referenceIndex = -1;
    if (m_branchIndex < 0) m_branchIndex = 0;
    updateControls();
}

void IXTextNoteInspector::removeNoteAction()
{
    remove();
    updateSelection();
    updateControls();
}

void IXTextNoteInspector::nextNoteAction()
{
    save();
    const int count = int(m_references.size());
    if (count == 0) return;
    if (m_referenceIndex < 0)
        m_referenceIndex = count - 1;
    else if (m_referenceIndex < count - 1)
        ++m_referenceIndex;
    updateSelection();
    updateControls();
}

void IXTextNoteInspector::prevNoteAction()
{
    save();
    const int count = int(m_references.size());
    if (count == 0) return;
    if (m_referenceIndex < 0)
        m_referenceIndex = count - 1;
    else if (m_referenceIndex > 0)
        --m_referenceIndex;
    updateSelection();
    updateControls();
}

void IXTextNoteInspector::firstNoteAction()
{
    save();
    if (m_references.isEmpty()) return;
    m_referenceIndex = 0;
    updateSelection();
    updateControls();
}

void IXTextNoteInspector::lastNoteAction()
{
    save();
    if (m_references.isEmpty()) return;
    m_referenceIndex = int(m_references.size()) - 1;
    updateSelection();
    updateControls();
}

// --- Controls ---

void IXTextNoteInspector::updateControls()
{
    loadWindow();
    const std::shared_ptr<IXBranchNode> branch = currentBranch();
    const std::shared_ptr<IXCommentNode> note = currentNote();
    const bool sameTarget = m_loadedNote == note.get() && m_loadedBranch == branch.get();
    // Typing in the note shown is kept; anything else shows the model's text.
    if (!sameTarget || !m_textView->isTextChanged() || m_reloadText) {
        m_reloadText = false;
        m_loadedNote = note.get();
        m_loadedBranch = branch.get();
        const PLAttributedString text = note ? note->text() : PLAttributedString();
        const QTextCharFormat typing
            = !text.isEmpty() || !services().defaultNoteFormat ? QTextCharFormat() : services().defaultNoteFormat();
        m_textView->setNoteText(text, typing);
        m_textView->verticalScrollBar()->setValue(0);
    }
    m_textForeColorWell->deactivate();
    m_textBackColorWell->deactivate();
    for (QToolButton* button : {m_addNoteButton, m_removeNoteButton, m_nextNoteButton, m_prevNoteButton})
        button->setEnabled(false);
    m_branchTitleField->clear();
    m_noteNameField->clear();
    m_noteCountField->clear();
    IXSlaveFrameView* frame = m_slave && slavePanel() ? slavePanel()->frameView() : nullptr;
    const int count = int(m_references.size());
    if (branch) {
        m_textView->setReadOnly(false);
        m_textView->setTextInteractionFlags(Qt::TextEditorInteraction);
        m_addNoteButton->setEnabled(true);
        m_removeNoteButton->setEnabled(note != nullptr);
        m_nextNoteButton->setEnabled(note && m_referenceIndex < count - 1);
        m_prevNoteButton->setEnabled(count > 0 && m_referenceIndex != 0);
        const QString title = branch->title() + QStringLiteral(": ");
        m_branchTitleField->setText(title);
        m_branchTitleField->setProperty("fullText", title);
        m_noteNameField->setText(note ? note->title() : localized("(Untitled)"));
        if (count >= 2 || (count == 1 && !note)) {
            const int index = note ? m_referenceIndex + 1 : count + 1;
            const int total = note ? count : count + 1;
            m_noteCountField->setText(numbered(localized("%i of %i")).arg(index).arg(total));
        }
        if (frame) frame->setAlphaValue(note ? 1.0 : 0.9);
        m_window->setWindowTitle(localized("Text Note Editor"));
    } else {
        m_textView->setReadOnly(true);
        m_textView->setTextInteractionFlags(Qt::NoTextInteraction);
        m_window->setWindowTitle(localized("Text Note Editor"));
        m_noteNameField->setText(localized("(Not Applicable)"));
        if (frame) frame->setAlphaValue(0.8);
    }
    updateLayout();
    if (m_window->isVisible() && branch) m_textView->setFocus(Qt::OtherFocusReason);
}

void IXTextNoteInspector::selectionAttributesChanged()
{
    if (!m_textView) return;
    const bool empty = !m_textView->textCursor().hasSelection();
    const auto show = [](IXColorWell* well, const std::optional<QColor>& color) {
        // No colour shows as the clear colour.
        well->setMixedColor(IXMixedValue<PLColor>(color ? PLColor::fromQColor(*color) : PLColor::rgb(0, 0, 0, 0)));
    };
    show(m_textForeColorWell, m_textView->selectedColor(false));
    show(m_textBackColorWell, m_textView->selectedColor(true));
    if (empty) {
        m_textForeColorWell->deactivate();
        m_textBackColorWell->deactivate();
    }
}

// --- Actions ---

void IXTextNoteInspector::fontTrait(bool bold)
{
    if (m_textView) m_textView->toggleFontTrait(bold);
}

void IXTextNoteInspector::toolbarAction(int tag)
{
    if (!m_textView || m_textView->isReadOnly()) return;
    m_textView->setFocus(Qt::OtherFocusReason);
    switch (tag) {
    case BoldTag:
        fontTrait(true);
        break;
    case ItalicTag:
        fontTrait(false);
        break;
    case UnderlineTag:
        m_textView->underline(nullptr);
        break;
    case SuperscriptTag:
        m_textView->superscript(nullptr);
        break;
    case SubscriptTag:
        m_textView->subscript(nullptr);
        break;
    case FontPanelTag:
        if (services().sendAction) services().sendAction(QByteArrayLiteral("orderFrontFontPanel:"), m_textView);
        break;
    case TextColorTag:
        m_textForeColorWell->activate();
        break;
    case BackgroundColorTag:
        m_textBackColorWell->activate();
        break;
    case RulerTag:
        m_showRulerButton->toggle();
        break;
    case TablePanelTag:
        IXNoteFormatPanel::open(IXNoteFormatPanel::Kind::Table, m_textView);
        break;
    case InsertPictureTag:
        insertPicture();
        break;
    case HyperlinkTag:
        IXNoteFormatPanel::open(IXNoteFormatPanel::Kind::Link, m_textView);
        break;
    case SpellingTag:
        if (services().sendAction) services().sendAction(QByteArrayLiteral("showGuessPanel:"), m_textView);
        break;
    default:
        break;
    }
}

void IXTextNoteInspector::insertPicture()
{
    const Services& shell = services();
    if (!shell.choosePicture || !m_textView || m_textView->isReadOnly()) return;
    QString folder = shell.preference ? shell.preference(LastPictureFolderKey).toString() : QString();
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) folder.clear();
    const std::optional<QString> path = shell.choosePicture(folder, m_window);
    if (!path || path->isEmpty()) return;
    const QFileInfo info(*path);
    if (shell.setPreference) shell.setPreference(LastPictureFolderKey, info.absolutePath());
    QFile file(*path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    if (bytes.isEmpty() || !m_textView->insertPicture(info.fileName(), bytes)) UTBeep::beep();
}

// --- Events ---

bool IXTextNoteInspector::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_captionLabels && event->type() == QEvent::Resize) layoutCaption();
    if (watched == m_window && !m_slave) {
        // The floating panel commits when it stops being the active window and when closed.
        if (event->type() == QEvent::WindowDeactivate) save();
        if (event->type() == QEvent::Close) {
            saveUIState();
            save();
        }
    }
    return IXInspectorController::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

// --- Model notices ---

bool IXTextNoteInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector,
                   {IXBranchNodeDidChangeProperty, IXReferenceNodeDidChangeProperty, IXCommentNodeDidChangeProperty,
                    IXNodeDetach});
}

void IXTextNoteInspector::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (m_saving) {
        return;
    }
    const auto isSelected = [&] {
        for (const auto& each : m_branches)
            if (each.get() == branch) return true;
        return false;
    };
    if (property == IXProperties::References && isSelected()) {
        updateSelection();
        postUpdateControls();
    } else if (property == IXProperties::Title && currentBranch().get() == branch) {
        postUpdateControls();
    }
}

void IXTextNoteInspector::notifiedOfReferenceNode(IXReferenceNode* node, const QString& property)
{
    if (property == IXProperties::Title && currentNote().get() == node) postUpdateControls();
}

void IXTextNoteInspector::notifiedOfCommentNode(IXCommentNode* node, const QString& property)
{
    if (m_saving || property != IXProperties::Text || currentNote().get() != node) return;
    // The text changed elsewhere (undo, replace): it is shown again.
    m_reloadText = true;
    postUpdateControls();
}

void IXTextNoteInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (currentNote().get() == node || currentBranch().get() == node) {
        m_loadedNote = nullptr;
        m_loadedBranch = nullptr;
    }
}
