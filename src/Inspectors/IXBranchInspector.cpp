#include "Inspectors/IXBranchInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXDateFields.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QString localized(const char* text)
{
    return IXInspectorForms::localized(text);
}

QWidget* makeSection(const QString& name, QFormLayout** form)
{
    return IXInspectorForms::section(name, form);
}

}  // namespace

IXBranchInspector::IXBranchInspector()
    : m_bindings([this] { return undoManager(); })
{
}

IXBranchInspector::~IXBranchInspector()
{
    stopObserving();
    m_dateFields.reset();
    for (const QPointer<QWidget>& section : m_sections) delete section.data();
    delete m_containerView.data();
}

QString IXBranchInspector::inspectorTitle() const
{
    return m_hasRootBranches && m_branches.size() == 1 ? localized("Root Branch") : localized("Branch");
}

// --- Views ---

void IXBranchInspector::makeViews()
{
    m_containerView = new IXInspectorView;
    m_containerView->resize(100, 100);
    QFormLayout* form = nullptr;

    m_textColorsView = makeSection(QStringLiteral("IXBranchTextColorsSection"), &form);
    m_titleField = new QLineEdit;
    form->addRow(localized("Title:"), m_titleField);
    m_alignmentPopUp = new QComboBox;
    // The values are the paragraph alignments (left 0, right 1, centre 2, justified 3, natural 4).
    const std::pair<const char*, int> alignments[]
        = {{"Left", 0}, {"Center", 2}, {"Right", 1}, {"Justified", 3}, {"Natural", 4}};
    for (const auto& [text, value] : alignments) m_alignmentPopUp->addItem(localized(text), value);
    form->addRow(localized("Alignment:"), m_alignmentPopUp);
    m_textColorWell = new IXColorWell;
    m_textBgColorWell = new IXColorWell;
    form->addRow(localized("Text colors:"),
                 IXInspectorForms::wellsRow({{m_textColorWell, localized("Text color")},
                                             {m_textBgColorWell, localized("Text background color")}}));
    m_fontButton = new QPushButton(localized("Font..."));
    m_fontButton->setObjectName(QStringLiteral("IXBranchFontButton"));
    m_fontButton->setAutoDefault(false);
    form->addRow(localized("Font:"), m_fontButton);
    QObject::connect(m_fontButton, &QPushButton::clicked, this, [this] {
        if (IXInspectedController* inspected = controller(); inspected && inspected->canShowFontPanel())
            inspected->showFontPanel();
    });

    m_outlineView = makeSection(QStringLiteral("IXBranchOutlineSection"), &form);
    m_outlineExportBox = new QCheckBox(localized("Include in export"));
    form->addRow(QString(), m_outlineExportBox);

    m_branchLineView = makeSection(QStringLiteral("IXBranchLineSection"), &form);
    m_frameColorWell = new IXColorWell;
    m_frameFill1Well = new IXColorWell;
    m_frameFill2Well = new IXColorWell;
    form->addRow(localized("Frame:"),
                 IXInspectorForms::wellsRow({{m_frameColorWell, localized("Frame color")},
                                             {m_frameFill1Well, localized("Fill color")},
                                             {m_frameFill2Well, localized("Second fill color")}}));
    m_lineColorWell = new IXColorWell;
    m_lineWidthBox = IXInspectorForms::spinBox(0, 20, 0.5);
    auto* lineRow = IXInspectorForms::wellsRow({{m_lineColorWell, localized("Line color")}});
    static_cast<QHBoxLayout*>(lineRow->layout())->insertWidget(1, m_lineWidthBox);
    form->addRow(localized("Line:"), lineRow);

    m_optionsView = makeSection(QStringLiteral("IXBranchOptionsSection"), &form);
    m_exportBox = new QCheckBox(localized("Include in export"));
    form->addRow(QString(), m_exportBox);
    m_boundaryShowBox = new QCheckBox(localized("Show boundary"));
    form->addRow(QString(), m_boundaryShowBox);

    m_boundaryView = makeSection(QStringLiteral("IXBranchBoundarySection"), &form);
    m_boundaryLineColorWell = new IXColorWell;
    m_boundaryFillColorWell = new IXColorWell;
    form->addRow(localized("Boundary:"),
                 IXInspectorForms::wellsRow({{m_boundaryLineColorWell, localized("Boundary line color")},
                                             {m_boundaryFillColorWell, localized("Boundary fill color")}}));
    m_boundaryStylePopUp = new QComboBox;
    const std::pair<const char*, int> dashes[]
        = {{"Solid", 0}, {"Dotted", 1}, {"Dashed", 2}, {"Dash-dot", 3}, {"Dash-dot-dot", 4}};
    for (const auto& [text, value] : dashes) m_boundaryStylePopUp->addItem(localized(text), value);
    form->addRow(localized("Style:"), m_boundaryStylePopUp);
    m_boundaryWidthBox = IXInspectorForms::spinBox(1, 5, 0.5);
    form->addRow(localized("Width:"), m_boundaryWidthBox);
    m_boundaryRoundnessBox = IXInspectorForms::spinBox(0, 100, 1);
    form->addRow(localized("Roundness:"), m_boundaryRoundnessBox);

    m_timeinfoView = makeSection(QStringLiteral("IXBranchDatesSection"), &form);
    m_dateFields = std::make_unique<IXDateFields>(
        [this] {
            const QList<std::shared_ptr<IXBranchNode>> branches = selection().allBranches();
            return IXDateFields::Branches(branches.begin(), branches.end());
        },
        [this](const std::function<void()>& change) { m_bindings.write(change); },
        [this] {
            const std::shared_ptr<IXDocumentNode> document = controller() ? controller()->documentNode() : nullptr;
            return document ? document->timeScaleType() : 0;
        });
    form->addRow(localized("Begin:"), m_dateFields->beginField());
    form->addRow(localized("End:"), m_dateFields->endField());

    m_sections = {m_textColorsView, m_outlineView, m_branchLineView, m_optionsView, m_boundaryView, m_timeinfoView};
    for (const QPointer<QWidget>& section : m_sections) section->adjustSize();
    bindControls();
}

void IXBranchInspector::bindControls()
{
    IXBindings& b = m_bindings;
    b.bind(
        m_titleField, [this] { return branchTitle(); }, [this](const QString& v) { setBranchTitle(v); });
    b.bind(
        m_alignmentPopUp, [this] { return branchTextAlignment(); }, [this](int v) { setBranchTextAlignment(v); });
    b.bind(
        m_textColorWell, [this] { return branchTextFgColor(); }, [this](const PLColor& v) { setBranchTextFgColor(v); });
    b.bind(
        m_textBgColorWell, [this] { return branchTextBgColor(); },
        [this](const PLColor& v) { setBranchTextBgColor(v); });
    b.bind(
        m_frameColorWell, [this] { return branchFrameColor(); }, [this](const PLColor& v) { setBranchFrameColor(v); });
    b.bind(
        m_frameFill1Well, [this] { return branchFrameFillColor1(); },
        [this](const PLColor& v) { setBranchFrameFillColor1(v); });
    b.bind(
        m_frameFill2Well, [this] { return branchFrameFillColor2(); },
        [this](const PLColor& v) { setBranchFrameFillColor2(v); });
    b.bind(
        m_lineColorWell, [this] { return branchLineColor(); }, [this](const PLColor& v) { setBranchLineColor(v); });
    b.bind(
        m_lineWidthBox, [this] { return branchLineWidth(); }, [this](double v) { setBranchLineWidth(v); });
    for (QCheckBox* box : {m_exportBox, m_outlineExportBox})
        b.bind(
            box, [this] { return branchIncludeInExport(); }, [this](bool v) { setBranchIncludeInExport(v); });
    b.bind(
        m_boundaryShowBox, [this] { return branchBoundaryShow(); }, [this](bool v) { setBranchBoundaryShow(v); });
    b.bind(
        m_boundaryLineColorWell, [this] { return boundaryLineColor(); },
        [this](const PLColor& v) { setBoundaryLineColor(v); });
    b.bind(
        m_boundaryFillColorWell, [this] { return boundaryFillColor(); },
        [this](const PLColor& v) { setBoundaryFillColor(v); });
    b.bind(
        m_boundaryStylePopUp, [this] { return boundaryLineStyle(); }, [this](int v) { setBoundaryLineStyle(v); });
    b.bind(
        m_boundaryWidthBox, [this] { return boundaryLineWidth(); }, [this](double v) { setBoundaryLineWidth(v); });
    b.bind(
        m_boundaryRoundnessBox, [this] { return boundaryLineRoundness(); },
        [this](double v) { setBoundaryLineRoundness(v); });
}

QWidget* IXBranchInspector::inspectorView()
{
    if (!m_containerView) makeViews();
    for (QWidget* child : m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
    }
    QList<QWidget*> sections;
    const int layout = controller() ? controller()->documentLayout() : 0;
    if (layout == OutlineLayout)
        sections = {m_textColorsView, m_outlineView, m_timeinfoView};
    else if (m_hasRootBranches)
        sections = {m_textColorsView, m_timeinfoView};
    else {
        sections = {m_textColorsView, m_branchLineView, m_timeinfoView, m_optionsView};
        if (m_hasBoundary) sections.append(m_boundaryView);
    }
    for (QWidget* section : sections) {
        section->setParent(m_containerView);
        section->show();
    }
    m_containerView->tile();
    return m_containerView;
}

IXInspectorView* IXBranchInspector::containerView() const
{
    return m_containerView;
}

QList<QWidget*> IXBranchInspector::shownSections() const
{
    if (!m_containerView) return {};
    return m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

// --- Selection and notices ---

void IXBranchInspector::selectionWillChange()
{
    stopObserving();
    m_branches.clear();
    m_branchIds.clear();
    m_branchIdsMade = false;
    m_layoutSheet.reset();
    m_layoutStyles.clear();
    m_layoutStylesValid = false;
    m_hasRootBranches = false;
    m_hasBoundary = false;
    m_boundaryMayHaveChanged = false;
    m_levelsMayHaveChanged = false;
}

void IXBranchInspector::selectionDidChange()
{
    PL_ASSERT(m_branches.empty());
    postUpdateControls();
    IXInspectedController* bound = controller();
    if (!bound || bound->documentLayout() == PrintLayout) return;
    const std::shared_ptr<IXLayoutNode> layout = bound->layoutNode();
    if (!layout) return;
    // Straight from the selection's list: a large selection is copied once, and membership is
    // asked of the selection's own set.
    const IXSelection::NodeList& nodes = selection().nodes();
    m_branches.reserve(std::size_t(nodes.size()));
    for (const auto& node : nodes) {
        if (!node->isBranch()) continue;
        m_branches.push_back(std::static_pointer_cast<IXBranchNode>(node));
        if (node->level() == 0) m_hasRootBranches = true;
    }
    if (m_branches.empty()) return;
    m_layoutSheet = layout->styleSheet();
    m_hasBoundary = computeHasBoundary();
    if (const std::shared_ptr<IXDocumentNode> document = bound->documentNode()) {
        if (UTBroadcaster* broadcaster = document->observers()) {
            broadcaster->addObserver(this);
            m_observedDocument = document;
        }
    }
}

void IXBranchInspector::stopObserving()
{
    if (const std::shared_ptr<IXDocumentNode> document = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = document->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

bool IXBranchInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXBranchNodeDidChangeProperty, IXStyleNodeDidChangeProperty});
}

void IXBranchInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (isSelectedBranch(node)) setSelection(IXSelection());
}

void IXBranchInspector::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (!isSelectedBranch(branch)) return;
    // A branch moved to or from the top: title and sections follow at the refresh, once
    // however many branches moved.
    if (property == IXProperties::Level) m_levelsMayHaveChanged = true;
    postUpdateControls();
}

bool IXBranchInspector::isSelectedBranch(const IXNode* node) const
{
    return !m_branches.empty() && selection().containsNode(node) && node->isBranch();
}

bool IXBranchInspector::isSelectedStyle(const IXStyleNode* style)
{
    // Master and shared styles stand for every branch that inherits from them.
    if (style->refId().isEmpty()) return true;
    if (!m_branchIdsMade) {
        m_branchIdsMade = true;
        m_branchIds.reserve(qsizetype(m_branches.size()));
        for (const auto& branch : m_branches)
            if (!branch->existingUniqueId().isEmpty()) m_branchIds.insert(branch->existingUniqueId());
    }
    return m_branchIds.contains(style->refId());
}

void IXBranchInspector::notifiedOfStyleNode(IXStyleNode* style, const QString&)
{
    if (!style || !isSelectedStyle(style)) return;
    // The boundary flag is recomputed once at the refresh, not per notice: a change of many
    // styles sends one notice each.
    m_layoutStylesValid = false;
    m_boundaryMayHaveChanged = true;
    postUpdateControls();
}

void IXBranchInspector::updateControls()
{
    if (m_levelsMayHaveChanged) {
        m_levelsMayHaveChanged = false;
        const bool hasRootBranches = std::any_of(m_branches.begin(), m_branches.end(),
                                                 [](const auto& branch) { return branch->level() == 0; });
        if (hasRootBranches != m_hasRootBranches) {
            m_hasRootBranches = hasRootBranches;
            notifyInspectorViewUpdate();
        }
    }
    if (m_boundaryMayHaveChanged) {
        m_boundaryMayHaveChanged = false;
        const bool hasBoundary = computeHasBoundary();
        if (hasBoundary != m_hasBoundary) {
            m_hasBoundary = hasBoundary;
            notifyInspectorViewUpdate();
        }
    }
    if (!m_containerView) return;
    setupTimescale();
    m_bindings.refresh();
    m_fontButton->setEnabled(!m_branches.empty() && controller() && controller()->canShowFontPanel());

    m_dateFields->show(m_branches);
}

// --- Reads and writes ---

IXStyleSheetNode* IXBranchInspector::layoutStyleSheet() const
{
    return m_layoutSheet.get();
}

const std::vector<std::shared_ptr<const IXStyleNode>>& IXBranchInspector::layoutStyles() const
{
    if (!m_layoutStylesValid) {
        m_layoutStylesValid = true;
        m_layoutStyles.clear();
        if (m_layoutSheet) {
            m_layoutStyles.reserve(m_branches.size());
            for (const auto& branch : m_branches)
                m_layoutStyles.push_back(m_layoutSheet->styleForReading(branch.get()));
        }
    }
    return m_layoutStyles;
}

template <typename T, typename Getter> IXMixedValue<T> IXBranchInspector::readStyles(Getter getter) const
{
    if (m_branches.empty()) return IXMixedValue<T>::noSelection();
    if (!m_layoutSheet) return IXMixedValue<T>::notApplicable();
    return IXMixedAttribute(layoutStyles(), getter);
}

template <typename Setter> void IXBranchInspector::writeStyles(Setter setter)
{
    if (!m_layoutSheet) return;
    IXStyleSheetNode* sheet = m_layoutSheet.get();
    m_bindings.write([&] {
        for (const auto& branch : m_branches)
            if (const std::shared_ptr<IXStyleNode> style = sheet->styleForNode(branch.get())) setter(*style);
    });
    // The branches may now have styles of their own.
    m_layoutStylesValid = false;
}

bool IXBranchInspector::computeHasBoundary() const
{
    const IXMixedValue<bool> show = readStyles<bool>([](const IXStyleNode& s) { return s.boundaryShow(); });
    return show.hasValue() && show.value();
}

IXMixedValue<QString> IXBranchInspector::branchTitle() const
{
    return IXMixedAttribute(m_branches, [](IXBranchNode& b) { return b.title(); });
}

IXMixedValue<int> IXBranchInspector::branchTextAlignment() const
{
    return readStyles<int>([](const IXStyleNode& s) { return s.branchTextAlignment(); });
}

IXMixedValue<PLColor> IXBranchInspector::branchTextFgColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchTextColor(); });
}

IXMixedValue<PLColor> IXBranchInspector::branchTextBgColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchTextBackgroundColor(); });
}

bool IXBranchInspector::branchHasFrame() const
{
    const IXMixedValue<int> type = readStyles<int>([](const IXStyleNode& s) { return s.branchFrameType(); });
    if (type.isMultipleValues()) return true;
    return type.hasValue() && type.value() != 0;
}

IXMixedValue<PLColor> IXBranchInspector::branchFrameColor() const
{
    if (!m_branches.empty() && !branchHasFrame()) return IXMixedValue<PLColor>::notApplicable();
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchFrameLineColor(); });
}

IXMixedValue<PLColor> IXBranchInspector::branchFrameFillColor1() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchFrameFillColor(); });
}

IXMixedValue<PLColor> IXBranchInspector::branchFrameFillColor2() const
{
    if (!m_branches.empty() && !branchHasFrame()) return IXMixedValue<PLColor>::notApplicable();
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchFrameFillAltColor(); });
}

IXMixedValue<PLColor> IXBranchInspector::branchLineColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.branchLineColor(); });
}

IXMixedValue<double> IXBranchInspector::branchLineWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.branchLineWidth(); }));
}

IXMixedValue<bool> IXBranchInspector::branchIncludeInExport() const
{
    return IXMixedAttribute(m_branches, [](IXBranchNode& b) { return b.includeInExport(); });
}

IXMixedValue<bool> IXBranchInspector::branchBoundaryShow() const
{
    return readStyles<bool>([](const IXStyleNode& s) { return s.boundaryShow(); });
}

IXMixedValue<PLColor> IXBranchInspector::boundaryLineColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.boundaryLineColor(); });
}

IXMixedValue<PLColor> IXBranchInspector::boundaryFillColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.boundaryFillColor(); });
}

IXMixedValue<int> IXBranchInspector::boundaryLineStyle() const
{
    return readStyles<int>([](const IXStyleNode& s) { return s.boundaryLineDash(); });
}

IXMixedValue<double> IXBranchInspector::boundaryLineWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.boundaryLineWidth(); }));
}

IXMixedValue<double> IXBranchInspector::boundaryLineRoundness() const
{
    return IXInspectorForms::toDouble(
        readStyles<float>([](const IXStyleNode& s) { return s.boundaryLineRoundness(); }));
}

void IXBranchInspector::setBranchTitle(const QString& title)
{
    m_bindings.write([&] {
        IXSetAttribute(
            m_branches, [](IXBranchNode& b, const QString& v) { b.setTitle(v); }, title);
    });
}

void IXBranchInspector::setBranchTextAlignment(int alignment)
{
    writeStyles([=](IXStyleNode& s) { s.setBranchTextAlignment(alignment); });
}

void IXBranchInspector::setBranchTextFgColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchTextColor(color); });
}

void IXBranchInspector::setBranchTextBgColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchTextBackgroundColor(color); });
}

void IXBranchInspector::setBranchFrameColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchFrameLineColor(color); });
}

void IXBranchInspector::setBranchFrameFillColor1(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchFrameFillColor(color); });
}

void IXBranchInspector::setBranchFrameFillColor2(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchFrameFillAltColor(color); });
}

void IXBranchInspector::setBranchLineColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBranchLineColor(color); });
}

void IXBranchInspector::setBranchLineWidth(double width)
{
    writeStyles([=](IXStyleNode& s) { s.setBranchLineWidth(float(width)); });
}

void IXBranchInspector::setBranchIncludeInExport(bool include)
{
    m_bindings.write([&] {
        IXSetAttribute(
            m_branches, [](IXBranchNode& b, bool v) { b.setIncludeInExport(v); }, include);
    });
}

void IXBranchInspector::setBranchBoundaryShow(bool show)
{
    writeStyles([=](IXStyleNode& s) { s.setBoundaryShow(show); });
}

void IXBranchInspector::setBoundaryLineColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBoundaryLineColor(color); });
}

void IXBranchInspector::setBoundaryFillColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setBoundaryFillColor(color); });
}

void IXBranchInspector::setBoundaryLineStyle(int dash)
{
    writeStyles([=](IXStyleNode& s) { s.setBoundaryLineDash(dash); });
}

void IXBranchInspector::setBoundaryLineWidth(double width)
{
    writeStyles([=](IXStyleNode& s) { s.setBoundaryLineWidth(float(width)); });
}

void IXBranchInspector::setBoundaryLineRoundness(double roundness)
{
    writeStyles([=](IXStyleNode& s) { s.setBoundaryLineRoundness(float(roundness)); });
}

// --- Dates ---

QLineEdit* IXBranchInspector::beginDateField() const
{
    return m_dateFields ? m_dateFields->beginField() : nullptr;
}

QLineEdit* IXBranchInspector::endDateField() const
{
    return m_dateFields ? m_dateFields->endField() : nullptr;
}

void IXBranchInspector::setupTimescale()
{
    if (m_dateFields) m_dateFields->setupTimescale();
}

void IXBranchInspector::beginDateAction()
{
    if (m_dateFields) m_dateFields->beginDateAction();
}

void IXBranchInspector::endDateAction()
{
    if (m_dateFields) m_dateFields->endDateAction();
}
