#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXInspectorController.h"

#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class IXBranchNode;
class IXColorWell;
class IXDateFields;
class IXDocumentNode;
class IXInspectorView;
class IXStyleNode;
class IXStyleSheetNode;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

// Shows and changes the selected branches: title, text alignment and colours, frame, branch
// line, export flag, boundary, begin and end dates. Style attributes are read and written on
// each branch's style in the style sheet of the layout the window shows; title, export flag
// and dates belong to the branches. Common values show as such, differing ones as
// "Multiple Values"; each change of a control is one undo step over every selected branch.
//
// The sections shown depend on the layout: the outline gets text, outline and dates; a root
// branch alone (or with others, in other layouts) gets text and dates; other branches get
// text, frame and line, dates, options, and the boundary section while the layout styles
// agree that a boundary is shown, which follows style changes (undo, other inspectors)
// without a new selection. The print view has no branch inspector.
//
// The inspector observes the document once and filters the notices by the selected branches
// and their styles, so selecting 100,000 branches registers nothing per branch.
class IXBranchInspector : public IXInspectorController,
                          public IXBranchNodeObserver,
                          public IXStyleNodeObserver,
                          public IXNodeObserver {
    Q_OBJECT
public:
    static constexpr int PrintLayout = 9;
    static constexpr int OutlineLayout = 3;

    IXBranchInspector();
    ~IXBranchInspector() override;

    bool isApplicable() const override { return !m_branches.empty(); }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;

    const std::vector<std::shared_ptr<IXBranchNode>>& branches() const { return m_branches; }
    bool hasRootBranches() const { return m_hasRootBranches; }
    bool hasBoundary() const { return m_hasBoundary; }

    // --- Mixed reads over the selected branches or their layout styles ---
    IXMixedValue<QString> branchTitle() const;
    IXMixedValue<int> branchTextAlignment() const;
    IXMixedValue<PLColor> branchTextFgColor() const;
    IXMixedValue<PLColor> branchTextBgColor() const;
    // Whether a frame is drawn: differing frame types count as a frame.
    bool branchHasFrame() const;
    IXMixedValue<PLColor> branchFrameColor() const;
    IXMixedValue<PLColor> branchFrameFillColor1() const;
    IXMixedValue<PLColor> branchFrameFillColor2() const;
    IXMixedValue<PLColor> branchLineColor() const;
    IXMixedValue<double> branchLineWidth() const;
    IXMixedValue<bool> branchIncludeInExport() const;
    IXMixedValue<bool> branchBoundaryShow() const;
    IXMixedValue<PLColor> boundaryLineColor() const;
    IXMixedValue<PLColor> boundaryFillColor() const;
    IXMixedValue<int> boundaryLineStyle() const;
    IXMixedValue<double> boundaryLineWidth() const;
    IXMixedValue<double> boundaryLineRoundness() const;

    // --- Writes to every selected branch, one undo step each ---
    void setBranchTitle(const QString& title);
    void setBranchTextAlignment(int alignment);
    void setBranchTextFgColor(const PLColor& color);
    void setBranchTextBgColor(const PLColor& color);
    void setBranchFrameColor(const PLColor& color);
    void setBranchFrameFillColor1(const PLColor& color);
    void setBranchFrameFillColor2(const PLColor& color);
    void setBranchLineColor(const PLColor& color);
    void setBranchLineWidth(double width);
    void setBranchIncludeInExport(bool include);
    void setBranchBoundaryShow(bool show);
    void setBoundaryLineColor(const PLColor& color);
    void setBoundaryFillColor(const PLColor& color);
    void setBoundaryLineStyle(int dash);
    void setBoundaryLineWidth(double width);
    void setBoundaryLineRoundness(double roundness);

    // --- Dates ---
    // The begin field's date for every branch.
    void beginDateAction();
    // The end field's date for every branch (with the end-time option of the picker that
    // edited it); refused with an alert when it lies before a begin date.
    void endDateAction();
    // The date display of both fields from the document's time scale.
    void setupTimescale();

    // --- Controls, for the tests and the panels ---
    IXInspectorView* containerView() const;
    // The sections shown, in their order.
    QList<QWidget*> shownSections() const;
    QWidget* textColorsView() const { return m_textColorsView; }
    QWidget* outlineView() const { return m_outlineView; }
    QWidget* branchLineView() const { return m_branchLineView; }
    QWidget* optionsView() const { return m_optionsView; }
    QWidget* boundaryView() const { return m_boundaryView; }
    QWidget* timeinfoView() const { return m_timeinfoView; }
    QLineEdit* titleField() const { return m_titleField; }
    QComboBox* alignmentPopUp() const { return m_alignmentPopUp; }
    IXColorWell* textColorWell() const { return m_textColorWell; }
    QPushButton* fontButton() const { return m_fontButton; }
    IXColorWell* textBackgroundColorWell() const { return m_textBgColorWell; }
    IXColorWell* frameColorWell() const { return m_frameColorWell; }
    IXColorWell* frameFillColorWell1() const { return m_frameFill1Well; }
    IXColorWell* frameFillColorWell2() const { return m_frameFill2Well; }
    IXColorWell* lineColorWell() const { return m_lineColorWell; }
    QDoubleSpinBox* lineWidthBox() const { return m_lineWidthBox; }
    QCheckBox* exportBox() const { return m_exportBox; }
    QCheckBox* outlineExportBox() const { return m_outlineExportBox; }
    QCheckBox* boundaryShowBox() const { return m_boundaryShowBox; }
    IXColorWell* boundaryLineColorWell() const { return m_boundaryLineColorWell; }
    IXColorWell* boundaryFillColorWell() const { return m_boundaryFillColorWell; }
    QComboBox* boundaryStylePopUp() const { return m_boundaryStylePopUp; }
    QDoubleSpinBox* boundaryWidthBox() const { return m_boundaryWidthBox; }
    QDoubleSpinBox* boundaryRoundnessBox() const { return m_boundaryRoundnessBox; }
    QLineEdit* beginDateField() const;
    QLineEdit* endDateField() const;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;

private:
    void makeViews();
    void bindControls();
    IXStyleSheetNode* layoutStyleSheet() const;
    // The layout styles of the branches, in their order (read without making styles).
    const std::vector<std::shared_ptr<const IXStyleNode>>& layoutStyles() const;
    template <typename T, typename Getter> IXMixedValue<T> readStyles(Getter getter) const;
    template <typename Setter> void writeStyles(Setter setter);
    bool computeHasBoundary() const;
    void stopObserving();
    // A branch of the inspected selection (asked of the selection's own member set).
    bool isSelectedBranch(const IXNode* node) const;
    bool isSelectedStyle(const IXStyleNode* style);

    QPointer<IXInspectorView> m_containerView;
    std::vector<QPointer<QWidget>> m_sections;
    QWidget* m_textColorsView = nullptr;
    QWidget* m_outlineView = nullptr;
    QWidget* m_branchLineView = nullptr;
    QWidget* m_optionsView = nullptr;
    QWidget* m_boundaryView = nullptr;
    QWidget* m_timeinfoView = nullptr;

    QLineEdit* m_titleField = nullptr;
    QComboBox* m_alignmentPopUp = nullptr;
    IXColorWell* m_textColorWell = nullptr;
    QPushButton* m_fontButton = nullptr;
    IXColorWell* m_textBgColorWell = nullptr;
    IXColorWell* m_frameColorWell = nullptr;
    IXColorWell* m_frameFill1Well = nullptr;
    IXColorWell* m_frameFill2Well = nullptr;
    IXColorWell* m_lineColorWell = nullptr;
    QDoubleSpinBox* m_lineWidthBox = nullptr;
    QCheckBox* m_exportBox = nullptr;
    QCheckBox* m_outlineExportBox = nullptr;
    QCheckBox* m_boundaryShowBox = nullptr;
    IXColorWell* m_boundaryLineColorWell = nullptr;
    IXColorWell* m_boundaryFillColorWell = nullptr;
    QComboBox* m_boundaryStylePopUp = nullptr;
    QDoubleSpinBox* m_boundaryWidthBox = nullptr;
    QDoubleSpinBox* m_boundaryRoundnessBox = nullptr;
    std::unique_ptr<IXDateFields> m_dateFields;

    IXBindings m_bindings;

    std::vector<std::shared_ptr<IXBranchNode>> m_branches;
    // The ids of the branches, made when the first style notice asks.
    QSet<QString> m_branchIds;
    bool m_branchIdsMade = false;
    std::shared_ptr<IXStyleSheetNode> m_layoutSheet;
    mutable std::vector<std::shared_ptr<const IXStyleNode>> m_layoutStyles;
    mutable bool m_layoutStylesValid = false;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
    bool m_hasRootBranches = false;
    bool m_hasBoundary = false;
    // A style notice came: the boundary flag is recomputed at the next refresh.
    bool m_boundaryMayHaveChanged = false;
    // A selected branch changed its level: whether a root is selected is recomputed then.
    bool m_levelsMayHaveChanged = false;
};
