#include "Inspectors/IXMindMapInspector.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXStyleNode.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Inspectors/IXTimeScaleChange.h"
#include "MapLayout/IXPrintLayoutViewing.h"
#include "MapLayout/IXPrintingViewing.h"
#include "MapLayout/IXTimelineCell.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "UtilityWidgets/UTDateTimeCell.h"
#include "UtilityWidgets/UTDateTimePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <cmath>

namespace {

QString localized(const char* text)
{
    return IXInspectorForms::localized(text);
}

QComboBox* popUp(std::initializer_list<std::pair<const char*, int>> items)
{
    auto* popUp = new QComboBox;
    for (const auto& [text, value] : items) popUp->addItem(localized(text), value);
    return popUp;
}

// A float setting shown as a whole number: 12.7 shows as 12.
IXMixedValue<double> truncated(const IXMixedValue<float>& value)
{
    if (value.hasValue()) return IXMixedValue<double>(std::trunc(double(value.value())));
    return IXInspectorForms::marker<double>(value);
}

}  // namespace

IXMindMapInspector::IXMindMapInspector()
    : m_bindings([this] { return undoManager(); })
{
}

IXMindMapInspector::~IXMindMapInspector()
{
    stopObserving();
    for (const QPointer<QWidget>& section : m_sections) delete section.data();
    delete m_containerView.data();
}

int IXMindMapInspector::layout() const
{
    return controller() ? controller()->documentLayout() : 0;
}

std::shared_ptr<IXDocumentNode> IXMindMapInspector::document() const
{
    return controller() ? controller()->documentNode() : nullptr;
}

QString IXMindMapInspector::inspectorTitle() const
{
    switch (layout()) {
    case 0:
        return localized("Mind Map View");
    case 1:
        return localized("Top Down View");
    case LeftRightLayout:
        return localized("Left Right View");
    case OutlineLayout:
        return localized("Outline View");
    case TimelineLayout:
        return localized("Timeline View");
    case PrintLayout:
        return localized("Print View");
    default:
        return localized("Inspector");
    }
}

// --- Views ---

void IXMindMapInspector::makeViews()
{
    m_containerView = new IXInspectorView;
    m_containerView->resize(100, 100);
    IXBindings& b = m_bindings;
    QFormLayout* form = nullptr;

    m_documentInfoView = IXInspectorForms::section(QStringLiteral("IXMapDocumentInfoSection"), &form);
    m_authorField = new QLineEdit;
    form->addRow(localized("Author:"), m_authorField);
    m_lastModifiedLabel = new QLabel;
    form->addRow(localized("Modified:"), m_lastModifiedLabel);
    b.bind(
        m_authorField, [this] { return documentAuthor(); }, [this](const QString& v) { setDocumentAuthor(v); });

    m_displayView = IXInspectorForms::section(QStringLiteral("IXMapDisplaySection"), &form);
    m_connectionsBox = new QCheckBox(localized("Show branch connections"));
    m_wordWrapBox = new QCheckBox(localized("Wrap words"));
    form->addRow(QString(), m_connectionsBox);
    form->addRow(QString(), m_wordWrapBox);
    b.bind(
        m_connectionsBox, [this] { return documentShowsBranchConnections(); },
        [this](bool v) { setDocumentShowsBranchConnections(v); });
    b.bind(
        m_wordWrapBox, [this] { return documentWordWrap(); }, [this](bool v) { setDocumentWordWrap(v); });

    m_displayLRView = IXInspectorForms::section(QStringLiteral("IXMapLeftRightSection"), &form);
    m_orientationPopUp = popUp({{"Left to right", 0}, {"Right to left", 1}});
    form->addRow(localized("Orientation:"), m_orientationPopUp);
    b.bind(
        m_orientationPopUp, [this] { return documentOrientation(); }, [this](int v) { setDocumentOrientation(v); });

    m_spacingView = IXInspectorForms::section(QStringLiteral("IXMapSpacingSection"), &form);
    m_verticalGapBox = IXInspectorForms::spinBox(0, 500, 1, 0);
    m_horizontalGapBox = IXInspectorForms::spinBox(0, 500, 1, 0);
    m_minLengthBox = IXInspectorForms::spinBox(0, 1000, 1, 0);
    form->addRow(localized("Vertical gap:"), m_verticalGapBox);
    form->addRow(localized("Horizontal gap:"), m_horizontalGapBox);
    form->addRow(localized("Minimum length:"), m_minLengthBox);
    b.bind(
        m_verticalGapBox, [this] { return documentVerticalBranchGap(); },
        [this](double v) { setDocumentVerticalBranchGap(v); });
    b.bind(
        m_horizontalGapBox, [this] { return documentHorizontalBranchGap(); },
        [this](double v) { setDocumentHorizontalBranchGap(v); });
    b.bind(
        m_minLengthBox, [this] { return documentMinimumBranchLength(); },
        [this](double v) { setDocumentMinimumBranchLength(v); });

    m_colorsView = IXInspectorForms::section(QStringLiteral("IXMapColorsSection"), &form);
    m_pageColorWell = new IXColorWell;
    m_textColorWell = new IXColorWell;
    m_branchFgWell = new IXColorWell;
    m_branchBgWell = new IXColorWell;
    form->addRow(localized("Page:"), IXInspectorForms::wellsRow({{m_pageColorWell, localized("Page color")}}));
    form->addRow(localized("Branches:"),
                 IXInspectorForms::wellsRow({{m_textColorWell, localized("Text color")},
                                             {m_branchFgWell, localized("Line color")},
                                             {m_branchBgWell, localized("Fill color")}}));
    b.bind(
        m_pageColorWell, [this] { return documentPageColor(); }, [this](const PLColor& v) { setDocumentPageColor(v); });
    b.bind(
        m_textColorWell, [this] { return documentTextColor(); }, [this](const PLColor& v) { setDocumentTextColor(v); });
    b.bind(
        m_branchFgWell, [this] { return documentBranchFgColor(); },
        [this](const PLColor& v) { setDocumentBranchFgColor(v); });
    b.bind(
        m_branchBgWell, [this] { return documentBranchBgColor(); },
        [this](const PLColor& v) { setDocumentBranchBgColor(v); });

    m_timeinfoView = IXInspectorForms::section(QStringLiteral("IXMapTimeInfoSection"), &form);
    m_timeScalePopUp = popUp({{"Standard", 0}, {"Daily", 1}, {"Weekly", 2}, {"Historic", 3}, {"Geological", 4}});
    form->addRow(localized("Time scale:"), m_timeScalePopUp);
    b.bind(
        m_timeScalePopUp, [this] { return documentTimeScale(); }, [this](int v) { setDocumentTimeScale(v); });

    m_timelineView = IXInspectorForms::section(QStringLiteral("IXMapTimelineSection"), &form);
    m_levelDisplayBox = new QCheckBox(localized("Show levels"));
    m_showTitleBox = new QCheckBox(localized("Show title"));
    m_durationBarsBox = new QCheckBox(localized("Show duration bars"));
    m_timeBreaksBox = new QCheckBox(localized("Show time breaks"));
    for (QCheckBox* box : {m_levelDisplayBox, m_showTitleBox, m_durationBarsBox, m_timeBreaksBox})
        form->addRow(QString(), box);
    b.bind(
        m_levelDisplayBox, [this] { return documentLevelDisplay(); }, [this](bool v) { setDocumentLevelDisplay(v); });
    b.bind(
        m_showTitleBox, [this] { return documentShowsTitle(); }, [this](bool v) { setDocumentShowsTitle(v); });
    b.bind(
        m_durationBarsBox, [this] { return documentShowsDurationBars(); },
        [this](bool v) { setDocumentShowsDurationBars(v); });
    b.bind(
        m_timeBreaksBox, [this] { return documentShowsTimeBreaks(); },
        [this](bool v) { setDocumentShowsTimeBreaks(v); });

    m_timelineColorsView = IXInspectorForms::section(QStringLiteral("IXMapTimelineScaleSection"), &form);
    m_timelineScaleBox = IXInspectorForms::spinBox(0, 100000, 10, 0);
    form->addRow(localized("Scale:"), m_timelineScaleBox);
    m_timelinePageColorWell = new IXColorWell;
    form->addRow(localized("Page:"), IXInspectorForms::wellsRow({{m_timelinePageColorWell, localized("Page color")}}));
    b.bind(
        m_timelineScaleBox, [this] { return documentTimelineScale(); },
        [this](double v) { setDocumentTimelineScale(v); });
    b.bind(
        m_timelinePageColorWell, [this] { return documentPageColor(); },
        [this](const PLColor& v) { setDocumentPageColor(v); });

    m_outlineView = IXInspectorForms::section(QStringLiteral("IXMapOutlineSection"), &form);
    // Numbering schemes: one digit per level, repeating (1 decimal, 2/3 roman, 4/5 letters).
    m_numberingPopUp = popUp({{"None", 0}, {"1, 1.1, 1.1.1", 1}, {"I, A, 1, a", 3514}, {"i, a, 1", 241}});
    form->addRow(localized("Numbering:"), m_numberingPopUp);
    b.bind(
        m_numberingPopUp, [this] { return branchNumbering(); }, [this](int v) { setBranchNumbering(v); });

    m_printOptionsView = IXInspectorForms::section(QStringLiteral("IXMapPrintSection"), &form);
    m_printOrientationPopUp = popUp({{"Portrait", 0}, {"Landscape", 1}});
    form->addRow(localized("Orientation:"), m_printOrientationPopUp);
    m_hCountBox = IXInspectorForms::spinBox(1, 50, 1, 0);
    m_vCountBox = IXInspectorForms::spinBox(1, 50, 1, 0);
    form->addRow(localized("Pages across:"), m_hCountBox);
    form->addRow(localized("Pages down:"), m_vCountBox);
    m_printScaleBox = IXInspectorForms::spinBox(PrintMapScaleMin, PrintMapScaleMax, 0.05, 2);
    form->addRow(localized("Scale:"), m_printScaleBox);
    m_actualSizeButton = new QPushButton(localized("Actual Size"));
    m_fitButton = new QPushButton(localized("Fit to Pages"));
    auto* buttons = new QWidget;
    auto* buttonsLayout = new QHBoxLayout(buttons);
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button : {m_actualSizeButton, m_fitButton}) {
        button->setAutoDefault(false);
        buttonsLayout->addWidget(button);
    }
    form->addRow(QString(), buttons);
    m_docInfoBox = new QCheckBox(localized("Print document info"));
    m_printingAreaBox = new QCheckBox(localized("Print the selected branch only"));
    form->addRow(QString(), m_docInfoBox);
    form->addRow(QString(), m_printingAreaBox);
    PLExceptionBoundary::connect(m_actualSizeButton, &QPushButton::clicked, this, [this] { printActualSizeAction(); });
    PLExceptionBoundary::connect(m_fitButton, &QPushButton::clicked, this, [this] { printScaleToFitPagesAction(); });
    b.bind(
        m_printOrientationPopUp, [this] { return printPageOrientation(); },
        [this](int v) { setPrintPageOrientation(v); });
    b.bind(
        m_hCountBox, [this] { return printPageHorizontalCount(); },
        [this](double v) { setPrintPageHorizontalCount(v); });
    b.bind(
        m_vCountBox, [this] { return printPageVerticalCount(); }, [this](double v) { setPrintPageVerticalCount(v); });
    b.bind(
        m_printScaleBox, [this] { return printMapScale(); }, [this](double v) { setPrintMapScale(v); });
    b.bind(
        m_docInfoBox, [this] { return printShowDocumentInfo(); }, [this](bool v) { setPrintShowDocumentInfo(v); });
    b.bind(
        m_printingAreaBox, [this] { return printingArea(); }, [this](bool v) { setPrintingArea(v); });

    m_sections = {m_documentInfoView, m_printOptionsView, m_timeinfoView,  m_timelineView, m_timelineColorsView,
                  m_outlineView,      m_displayView,      m_displayLRView, m_spacingView,  m_colorsView};
    for (const QPointer<QWidget>& section : m_sections) section->adjustSize();
}

QWidget* IXMindMapInspector::inspectorView()
{
    if (!m_containerView) makeViews();
    for (QWidget* child : m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
    }
    QList<QWidget*> sections = {m_documentInfoView};
    switch (layout()) {
    case PrintLayout:
        sections << m_printOptionsView;
        break;
    case TimelineLayout:
        sections << m_timeinfoView << m_timelineView << m_timelineColorsView;
        break;
    case OutlineLayout:
        sections << m_timeinfoView << m_outlineView;
        break;
    default:
        sections << m_displayView;
        if (layout() == LeftRightLayout) sections << m_displayLRView;
        sections << m_spacingView << m_timeinfoView << m_colorsView;
        break;
    }
    for (QWidget* section : sections) {
        section->setParent(m_containerView);
        section->show();
    }
    m_containerView->tile();
    return m_containerView;
}

QList<QWidget*> IXMindMapInspector::shownSections() const
{
    if (!m_containerView) return {};
    return m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

// --- Selection and notices ---

void IXMindMapInspector::controllerDidChange()
{
    // The style is the new window's, whatever its selection.
    reloadSelection();
}

void IXMindMapInspector::selectionWillChange()
{
    stopObserving();
    m_style.reset();
}

void IXMindMapInspector::selectionDidChange()
{
    if (IXInspectedController* bound = controller()) {
        std::shared_ptr<IXLayoutNode> layoutNode;
        if (bound->documentLayout() == PrintLayout)
            layoutNode = bound->printingView() ? bound->printingView()->layoutNode() : nullptr;
        else
            layoutNode = bound->layoutNode();
        if (layoutNode) m_style = layoutNode->style();
        if (const std::shared_ptr<IXDocumentNode> node = bound->documentNode()) {
            if (UTBroadcaster* broadcaster = node->observers()) {
                broadcaster->addObserver(this);
                m_observedDocument = node;
            }
        }
    }
    postUpdateControls();
}

void IXMindMapInspector::stopObserving()
{
    if (const std::shared_ptr<IXDocumentNode> node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

bool IXMindMapInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXStyleNodeDidChangeProperty, IXDocumentNodeDidChangeProperty});
}

void IXMindMapInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (m_style && node == m_style.get()) setSelection(IXSelection());
}

void IXMindMapInspector::notifiedOfStyleNode(IXStyleNode*, const QString&)
{
    // The layout's style inherits from the document's and the master styles: any style
    // may show through. The refresh is one per turn however many notices come.
    postUpdateControls();
}

void IXMindMapInspector::notifiedOfDocumentNode(IXDocumentNode*, const QString&)
{
    postUpdateControls();
}

void IXMindMapInspector::updateControls()
{
    if (!m_containerView) return;
    // The scale's range is the timeline's (one step below it for the markers' text).
    if (documentTimelineScale().hasValue())
        m_timelineScaleBox->setRange(documentTimelineScaleMin() - 10, documentTimelineScaleMax());
    m_bindings.refresh();
    m_lastModifiedLabel->setText(documentLastModified());
    IXPrintingViewing* printing = controller() ? controller()->printingView() : nullptr;
    m_actualSizeButton->setEnabled(printing && m_style);
    m_fitButton->setEnabled(printing != nullptr);
    m_printingAreaBox->setEnabled(printingAreaEnabled());
}

// --- Properties ---

void IXMindMapInspector::write(const std::function<void(IXStyleNode&)>& setter)
{
    if (!m_style) return;
    m_bindings.write([&] { setter(*m_style); });
}

IXMixedValue<QString> IXMindMapInspector::documentAuthor() const
{
    const std::shared_ptr<IXDocumentNode> node = document();
    if (!node) return IXMixedValue<QString>::noSelection();
    return IXMixedValue<QString>(node->userName());
}

void IXMindMapInspector::setDocumentAuthor(const QString& author)
{
    if (const std::shared_ptr<IXDocumentNode> node = document()) m_bindings.write([&] { node->setUserName(author); });
}

QString IXMindMapInspector::documentLastModified() const
{
    const std::shared_ptr<IXDocumentNode> node = document();
    if (!node) return {};
    const QDateTime date = node->modificationDate();
    if (!date.isValid()) return {};
    return QLocale().toString(date.date(), QLocale::LongFormat) + QLatin1Char(' ')
        + QLocale().toString(date.time(), QLocale::ShortFormat);
}

IXMixedValue<bool> IXMindMapInspector::documentShowsBranchConnections() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentShowsBranchConnections(); });
}

void IXMindMapInspector::setDocumentShowsBranchConnections(bool shows)
{
    write([=](IXStyleNode& s) { s.setDocumentShowsBranchConnections(shows); });
}

IXMixedValue<bool> IXMindMapInspector::documentWordWrap() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentWordWrap(); });
}

void IXMindMapInspector::setDocumentWordWrap(bool wrap)
{
    write([=](IXStyleNode& s) { s.setDocumentWordWrap(wrap); });
}

IXMixedValue<double> IXMindMapInspector::documentVerticalBranchGap() const
{
    return truncated(read<float>([](const IXStyleNode& s) { return s.documentGapVertical(); }));
}

void IXMindMapInspector::setDocumentVerticalBranchGap(double gap)
{
    write([=](IXStyleNode& s) { s.setDocumentGapVertical(float(int(gap))); });
}

IXMixedValue<double> IXMindMapInspector::documentHorizontalBranchGap() const
{
    return truncated(read<float>([](const IXStyleNode& s) { return s.documentGapHorizontal(); }));
}

void IXMindMapInspector::setDocumentHorizontalBranchGap(double gap)
{
    write([=](IXStyleNode& s) { s.setDocumentGapHorizontal(float(int(gap))); });
}

IXMixedValue<double> IXMindMapInspector::documentMinimumBranchLength() const
{
    return truncated(read<float>([](const IXStyleNode& s) { return s.documentBranchMinLength(); }));
}

void IXMindMapInspector::setDocumentMinimumBranchLength(double length)
{
    write([=](IXStyleNode& s) { s.setDocumentBranchMinLength(float(int(length))); });
}

IXMixedValue<PLColor> IXMindMapInspector::documentPageColor() const
{
    return read<PLColor>([](const IXStyleNode& s) { return s.documentPageColor(); });
}

void IXMindMapInspector::setDocumentPageColor(const PLColor& color)
{
    write([&](IXStyleNode& s) { s.setDocumentPageColor(color); });
}

IXMixedValue<PLColor> IXMindMapInspector::documentTextColor() const
{
    return read<PLColor>([](const IXStyleNode& s) { return s.branchTextColor(); });
}

void IXMindMapInspector::setDocumentTextColor(const PLColor& color)
{
    write([&](IXStyleNode& s) { s.setBranchTextColor(color); });
}

IXMixedValue<PLColor> IXMindMapInspector::documentBranchFgColor() const
{
    return read<PLColor>([](const IXStyleNode& s) { return s.branchLineColor(); });
}

void IXMindMapInspector::setDocumentBranchFgColor(const PLColor& color)
{
    write([&](IXStyleNode& s) { s.setBranchLineColor(color); });
}

IXMixedValue<PLColor> IXMindMapInspector::documentBranchBgColor() const
{
    return read<PLColor>([](const IXStyleNode& s) { return s.branchFrameFillColor(); });
}

void IXMindMapInspector::setDocumentBranchBgColor(const PLColor& color)
{
    const PLColor opaque = color.isNull() ? color : color.withAlpha(1);
    write([&](IXStyleNode& s) {
        s.setBranchFrameFillColor(opaque);
        s.setBranchFrameFillAltColor(PLColor::clear());
    });
}

IXMixedValue<int> IXMindMapInspector::documentOrientation() const
{
    return read<int>([](const IXStyleNode& s) { return s.documentLayoutOrientation(); });
}

void IXMindMapInspector::setDocumentOrientation(int orientation)
{
    write([=](IXStyleNode& s) { s.setDocumentLayoutOrientation(orientation); });
}

IXMixedValue<bool> IXMindMapInspector::documentLevelDisplay() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentLayoutTimelineLevelDisplay(); });
}

void IXMindMapInspector::setDocumentLevelDisplay(bool display)
{
    write([=](IXStyleNode& s) { s.setDocumentLayoutTimelineLevelDisplay(display); });
}

IXMixedValue<bool> IXMindMapInspector::documentShowsTitle() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentLayoutTimelineShowTitle(); });
}

void IXMindMapInspector::setDocumentShowsTitle(bool shows)
{
    write([=](IXStyleNode& s) { s.setDocumentLayoutTimelineShowTitle(shows); });
}

IXMixedValue<bool> IXMindMapInspector::documentShowsDurationBars() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentLayoutTimelineShowDurationBars(); });
}

void IXMindMapInspector::setDocumentShowsDurationBars(bool shows)
{
    write([=](IXStyleNode& s) { s.setDocumentLayoutTimelineShowDurationBars(shows); });
}

IXMixedValue<bool> IXMindMapInspector::documentShowsTimeBreaks() const
{
    return read<bool>([](const IXStyleNode& s) { return s.documentLayoutTimelineShowTimeBreaks(); });
}

void IXMindMapInspector::setDocumentShowsTimeBreaks(bool shows)
{
    write([=](IXStyleNode& s) { s.setDocumentLayoutTimelineShowTimeBreaks(shows); });
}

double IXMindMapInspector::documentTimelineScaleMin() const
{
    IXTimelineCell* cell = controller() ? controller()->timelineCell() : nullptr;
    return cell ? cell->timelineLengthMin() : 0.0;
}

double IXMindMapInspector::documentTimelineScaleMax() const
{
    IXTimelineCell* cell = controller() ? controller()->timelineCell() : nullptr;
    return cell ? cell->timelineLengthMax() : 0.0;
}

IXMixedValue<double> IXMindMapInspector::documentTimelineScale() const
{
    IXTimelineCell* cell = controller() ? controller()->timelineCell() : nullptr;
    if (!cell) return IXMixedValue<double>::noSelection();
    return IXMixedValue<double>(cell->timelineLength());
}

void IXMindMapInspector::setDocumentTimelineScale(double scale)
{
    IXTimelineCell* cell = controller() ? controller()->timelineCell() : nullptr;
    if (cell) m_bindings.write([&] { cell->setTimelineLength(int(scale)); });
}

bool IXMindMapInspector::printingAreaEnabled() const
{
    IXPrintLayoutViewing* printLayout = controller() ? controller()->printLayoutView() : nullptr;
    return printLayout && printLayout->printingAreaEnabled();
}

IXMixedValue<bool> IXMindMapInspector::printingArea() const
{
    IXPrintLayoutViewing* printLayout = controller() ? controller()->printLayoutView() : nullptr;
    if (!printLayout) return IXMixedValue<bool>::notApplicable();
    return IXMixedValue<bool>(printLayout->printingArea());
}

void IXMindMapInspector::setPrintingArea(bool limited)
{
    if (IXPrintLayoutViewing* printLayout = controller() ? controller()->printLayoutView() : nullptr)
        printLayout->setPrintingArea(limited);
}

IXMixedValue<int> IXMindMapInspector::printPageOrientation() const
{
    return read<int>([](const IXStyleNode& s) { return s.printPageOrientation(); });
}

void IXMindMapInspector::setPrintPageOrientation(int orientation)
{
    write([=](IXStyleNode& s) { s.setPrintPageOrientation(orientation); });
}

IXMixedValue<double> IXMindMapInspector::printPageHorizontalCount() const
{
    return read<double>([](const IXStyleNode& s) { return double(s.printPageSpreadHorizontal()); });
}

void IXMindMapInspector::setPrintPageHorizontalCount(double count)
{
    write([=](IXStyleNode& s) { s.setPrintPageSpreadHorizontal(int(count)); });
}

IXMixedValue<double> IXMindMapInspector::printPageVerticalCount() const
{
    return read<double>([](const IXStyleNode& s) { return double(s.printPageSpreadVertical()); });
}

void IXMindMapInspector::setPrintPageVerticalCount(double count)
{
    write([=](IXStyleNode& s) { s.setPrintPageSpreadVertical(int(count)); });
}

IXMixedValue<double> IXMindMapInspector::printMapScale() const
{
    return read<double>([](const IXStyleNode& s) { return double(s.printMapScale()); });
}

void IXMindMapInspector::setPrintMapScale(double scale)
{
    write([=](IXStyleNode& s) { s.setPrintMapScale(float(scale)); });
}

IXMixedValue<bool> IXMindMapInspector::printShowDocumentInfo() const
{
    return read<bool>([](const IXStyleNode& s) { return s.printShowDocInfo(); });
}

void IXMindMapInspector::setPrintShowDocumentInfo(bool show)
{
    write([=](IXStyleNode& s) { s.setPrintShowDocInfo(show); });
}

IXMixedValue<int> IXMindMapInspector::branchNumbering() const
{
    return read<int>([](const IXStyleNode& s) { return s.outlineBranchNumbering(); });
}

void IXMindMapInspector::setBranchNumbering(int numbering)
{
    write([=](IXStyleNode& s) { s.setOutlineBranchNumbering(numbering); });
}

IXMixedValue<int> IXMindMapInspector::documentTimeScale() const
{
    const std::shared_ptr<IXDocumentNode> node = document();
    if (!node) return IXMixedValue<int>::noSelection();
    return IXMixedValue<int>(node->timeScaleType());
}

void IXMindMapInspector::setDocumentTimeScale(int type)
{
    const std::shared_ptr<IXDocumentNode> node = document();
    if (!node || node->timeScaleType() == type) return;
    UTDateTimePicker::dismissAllPickers();
    IXTimeScaleChange::confirmAndApply(*node, type, undoManager());
    // A refused choice snaps back in the pop-up.
    postUpdateControls();
}

void IXMindMapInspector::printActualSizeAction()
{
    write([](IXStyleNode& s) { s.setPrintMapScale(1.0F); });
}

void IXMindMapInspector::printScaleToFitPagesAction()
{
    if (IXPrintingViewing* printing = controller() ? controller()->printingView() : nullptr)
        m_bindings.write([&] { printing->scaleToFitPages(); });
}
