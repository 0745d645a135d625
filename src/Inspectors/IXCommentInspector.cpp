#include "Inspectors/IXCommentInspector.h"

#include "DocumentModel/IXStyleNode.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString localized(const char* text)
{
    return IXInspectorForms::localized(text);
}

}  // namespace

IXCommentInspector::~IXCommentInspector() = default;

QString IXCommentInspector::inspectorTitle() const
{
    return localized("Comment");
}

QList<std::shared_ptr<IXNode>> IXCommentInspector::nodesOfSelection() const
{
    return selection().allFloatingComments();
}

void IXCommentInspector::makeSections()
{
    QFormLayout* form = nullptr;
    m_commentView = IXInspectorForms::section(QStringLiteral("IXCommentSection"), &form);
    m_nameField = new QLineEdit;
    form->addRow(localized("Name:"), m_nameField);
    m_exportBox = new QCheckBox(localized("Include in export"));
    form->addRow(QString(), m_exportBox);
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
    m_fontButton->setAutoDefault(false);
    form->addRow(localized("Font:"), m_fontButton);
    PLExceptionBoundary::connect(m_fontButton, &QPushButton::clicked, this, [this] {
        if (IXInspectedController* inspected = controller(); inspected && inspected->canShowFontPanel())
            inspected->showFontPanel();
    });
    m_frameColorWell = new IXColorWell;
    m_frameFillWell = new IXColorWell;
    m_frameWidthBox = IXInspectorForms::spinBox(0, 20, 0.5);
    auto* frameRow = IXInspectorForms::wellsRow(
        {{m_frameColorWell, localized("Frame color")}, {m_frameFillWell, localized("Fill color")}});
    static_cast<QHBoxLayout*>(frameRow->layout())->insertWidget(2, m_frameWidthBox);
    form->addRow(localized("Frame:"), frameRow);
    addSection(m_commentView);

    m_connLineView = IXInspectorForms::section(QStringLiteral("IXCommentLineSection"), &form);
    m_lineColorWell = new IXColorWell;
    m_lineWidthBox = IXInspectorForms::spinBox(0, 20, 0.5);
    auto* lineRow = IXInspectorForms::wellsRow({{m_lineColorWell, localized("Line color")}});
    static_cast<QHBoxLayout*>(lineRow->layout())->insertWidget(1, m_lineWidthBox);
    form->addRow(localized("Line:"), lineRow);
    addSection(m_connLineView);

    IXBindings& b = m_bindings;
    b.bind(
        m_nameField, [this] { return name(); }, [this](const QString& v) { setName(v); });
    b.bind(
        m_exportBox, [this] { return includeInExport(); }, [this](bool v) { setIncludeInExport(v); });
    b.bind(
        m_alignmentPopUp, [this] { return commentTextAlignment(); }, [this](int v) { setCommentTextAlignment(v); });
    b.bind(
        m_textColorWell, [this] { return commentTextFgColor(); },
        [this](const PLColor& v) { setCommentTextFgColor(v); });
    b.bind(
        m_textBgColorWell, [this] { return commentTextBgColor(); },
        [this](const PLColor& v) { setCommentTextBgColor(v); });
    b.bind(
        m_frameColorWell, [this] { return commentFrameLineColor(); },
        [this](const PLColor& v) { setCommentFrameLineColor(v); });
    b.bind(
        m_frameFillWell, [this] { return commentFrameFillColor(); },
        [this](const PLColor& v) { setCommentFrameFillColor(v); });
    b.bind(
        m_frameWidthBox, [this] { return commentFrameLineWidth(); }, [this](double v) { setCommentFrameLineWidth(v); });
    b.bind(
        m_lineColorWell, [this] { return floatingLineColor(); }, [this](const PLColor& v) { setFloatingLineColor(v); });
    b.bind(
        m_lineWidthBox, [this] { return floatingLineWidth(); }, [this](double v) { setFloatingLineWidth(v); });
}

QList<QWidget*> IXCommentInspector::sectionsToShow() const
{
    QList<QWidget*> sections = {m_commentView};
    if (hasConnectionTargets()) sections.append(m_connLineView);
    return sections;
}

void IXCommentInspector::refreshControls()
{
    m_fontButton->setEnabled(!nodes().empty() && controller() && controller()->canShowFontPanel());
}

IXMixedValue<int> IXCommentInspector::commentTextAlignment() const
{
    return readStyles<int>([](const IXStyleNode& s) { return s.floatingTextAlignment(); });
}

void IXCommentInspector::setCommentTextAlignment(int alignment)
{
    writeStyles([=](IXStyleNode& s) { s.setFloatingTextAlignment(alignment); });
}

IXMixedValue<PLColor> IXCommentInspector::commentTextFgColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.floatingTextColor(); });
}

void IXCommentInspector::setCommentTextFgColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingTextColor(color); });
}

IXMixedValue<PLColor> IXCommentInspector::commentTextBgColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.floatingTextBackgroundColor(); });
}

void IXCommentInspector::setCommentTextBgColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingTextBackgroundColor(color); });
}

IXMixedValue<double> IXCommentInspector::commentFrameLineWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.floatingFrameWidth(); }));
}

void IXCommentInspector::setCommentFrameLineWidth(double width)
{
    writeStyles([=](IXStyleNode& s) { s.setFloatingFrameWidth(float(width)); });
}

IXMixedValue<PLColor> IXCommentInspector::commentFrameLineColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.floatingFrameColor(); });
}

void IXCommentInspector::setCommentFrameLineColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingFrameColor(color); });
}

IXMixedValue<PLColor> IXCommentInspector::commentFrameFillColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.floatingFrameBackgroundColor(); });
}

void IXCommentInspector::setCommentFrameFillColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingFrameBackgroundColor(color); });
}
