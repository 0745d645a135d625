#pragma once

#include "Inspectors/IXReferencesInspector.h"

class IXColorWell;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;

// Shows and changes the selected connections between branches: name, export flag, line width
// and colour and the colour the line takes under the mouse. Not inspected in the print view.
class IXConnectionInspector : public IXReferencesInspector {
    Q_OBJECT
public:
    IXConnectionInspector() = default;
    ~IXConnectionInspector() override;

    QString inspectorTitle() const override;

    IXMixedValue<double> connectionLineWidth() const;
    void setConnectionLineWidth(double width);
    IXMixedValue<PLColor> connectionLineColor() const;
    void setConnectionLineColor(const PLColor& color);
    IXMixedValue<PLColor> connectionHoverColor() const;
    void setConnectionHoverColor(const PLColor& color);

    QWidget* connectionView() const { return m_connectionView; }
    QLineEdit* nameField() const { return m_nameField; }
    QCheckBox* exportBox() const { return m_exportBox; }
    IXColorWell* lineColorWell() const { return m_lineColorWell; }
    IXColorWell* hoverColorWell() const { return m_hoverColorWell; }
    QDoubleSpinBox* lineWidthBox() const { return m_lineWidthBox; }

protected:
    QList<std::shared_ptr<IXNode>> nodesOfSelection() const override;
    bool exportFlagNeedsTarget() const override { return false; }
    bool rebuildsViewForNodeProperty(const QString&) const override { return false; }
    void makeSections() override;
    QList<QWidget*> sectionsToShow() const override { return {m_connectionView}; }

private:
    QWidget* m_connectionView = nullptr;
    QLineEdit* m_nameField = nullptr;
    QCheckBox* m_exportBox = nullptr;
    IXColorWell* m_lineColorWell = nullptr;
    IXColorWell* m_hoverColorWell = nullptr;
    QDoubleSpinBox* m_lineWidthBox = nullptr;
};
