#pragma once

#include "Inspectors/IXReferencesInspector.h"

class IXColorWell;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

// Shows and changes the selected floating comments: name, export flag, text alignment and
// colours, frame, and the line to the branch a comment points at. Comments are inspected in
// the print view too.
class IXCommentInspector : public IXReferencesInspector {
    Q_OBJECT
public:
    IXCommentInspector() = default;
    ~IXCommentInspector() override;

    QString inspectorTitle() const override;

    IXMixedValue<int> commentTextAlignment() const;
    void setCommentTextAlignment(int alignment);
    IXMixedValue<PLColor> commentTextFgColor() const;
    void setCommentTextFgColor(const PLColor& color);
    IXMixedValue<PLColor> commentTextBgColor() const;
    void setCommentTextBgColor(const PLColor& color);
    IXMixedValue<double> commentFrameLineWidth() const;
    void setCommentFrameLineWidth(double width);
    IXMixedValue<PLColor> commentFrameLineColor() const;
    void setCommentFrameLineColor(const PLColor& color);
    IXMixedValue<PLColor> commentFrameFillColor() const;
    void setCommentFrameFillColor(const PLColor& color);

    QWidget* commentView() const { return m_commentView; }
    QWidget* connectionLineView() const { return m_connLineView; }
    QLineEdit* nameField() const { return m_nameField; }
    QCheckBox* exportBox() const { return m_exportBox; }
    QComboBox* alignmentPopUp() const { return m_alignmentPopUp; }
    IXColorWell* textColorWell() const { return m_textColorWell; }
    IXColorWell* frameFillColorWell() const { return m_frameFillWell; }
    QDoubleSpinBox* frameWidthBox() const { return m_frameWidthBox; }
    IXColorWell* lineColorWell() const { return m_lineColorWell; }

protected:
    QList<std::shared_ptr<IXNode>> nodesOfSelection() const override;
    bool isTakenInPrintView() const override { return true; }
    void makeSections() override;
    QList<QWidget*> sectionsToShow() const override;
    void refreshControls() override;

private:
    QWidget* m_commentView = nullptr;
    QWidget* m_connLineView = nullptr;
    QLineEdit* m_nameField = nullptr;
    QCheckBox* m_exportBox = nullptr;
    QComboBox* m_alignmentPopUp = nullptr;
    IXColorWell* m_textColorWell = nullptr;
    IXColorWell* m_textBgColorWell = nullptr;
    QPushButton* m_fontButton = nullptr;
    IXColorWell* m_frameColorWell = nullptr;
    IXColorWell* m_frameFillWell = nullptr;
    QDoubleSpinBox* m_frameWidthBox = nullptr;
    IXColorWell* m_lineColorWell = nullptr;
    QDoubleSpinBox* m_lineWidthBox = nullptr;
};
