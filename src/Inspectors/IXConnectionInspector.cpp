#include "Inspectors/IXConnectionInspector.h"

#include "DocumentModel/IXStyleNode.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectorForms.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>

IXConnectionInspector::~IXConnectionInspector() = default;

QString IXConnectionInspector::inspectorTitle() const
{
    return IXInspectorForms::localized("Connection");
}

QList<std::shared_ptr<IXNode>> IXConnectionInspector::nodesOfSelection() const
{
    return selection().allBranchConnections();
}

void IXConnectionInspector::makeSections()
{
    QFormLayout* form = nullptr;
    m_connectionView = IXInspectorForms::section(QStringLiteral("IXConnectionSection"), &form);
    m_nameField = new QLineEdit;
    form->addRow(IXInspectorForms::localized("Name:"), m_nameField);
    m_exportBox = new QCheckBox(IXInspectorForms::localized("Include in export"));
    form->addRow(QString(), m_exportBox);
    m_lineColorWell = new IXColorWell;
    m_hoverColorWell = new IXColorWell;
    form->addRow(IXInspectorForms::localized("Colors:"),
                 IXInspectorForms::wellsRow({{m_lineColorWell, IXInspectorForms::localized("Line color")},
                                             {m_hoverColorWell, IXInspectorForms::localized("Hover color")}}));
    m_lineWidthBox = IXInspectorForms::spinBox(0, 20, 0.5);
    form->addRow(IXInspectorForms::localized("Width:"), m_lineWidthBox);
    m_bindings.bind(
        m_nameField, [this] { return name(); }, [this](const QString& v) { setName(v); });
    m_bindings.bind(
        m_exportBox, [this] { return includeInExport(); }, [this](bool v) { setIncludeInExport(v); });
    m_bindings.bind(
        m_lineColorWell, [this] { return connectionLineColor(); },
        [this](const PLColor& v) { setConnectionLineColor(v); });
    m_bindings.bind(
        m_hoverColorWell, [this] { return connectionHoverColor(); },
        [this](const PLColor& v) { setConnectionHoverColor(v); });
    m_bindings.bind(
        m_lineWidthBox, [this] { return connectionLineWidth(); }, [this](double v) { setConnectionLineWidth(v); });
    addSection(m_connectionView);
}

IXMixedValue<double> IXConnectionInspector::connectionLineWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.connectionLineWidth(); }));
}

void IXConnectionInspector::setConnectionLineWidth(double width)
{
    writeStyles([=](IXStyleNode& s) { s.setConnectionLineWidth(float(width)); });
}

IXMixedValue<PLColor> IXConnectionInspector::connectionLineColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.connectionColor(); });
}

void IXConnectionInspector::setConnectionLineColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setConnectionColor(color); });
}

IXMixedValue<PLColor> IXConnectionInspector::connectionHoverColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.connectionHoverColor(); });
}

void IXConnectionInspector::setConnectionHoverColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setConnectionHoverColor(color); });
}
