#pragma once

#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXInspectorController.h"

#include <QPointer>

#include <functional>
#include <memory>

class IXColorWell;
class IXDocumentNode;
class IXInspectorView;
class IXStyleNode;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Shows and changes the settings of the whole map in the layout the window shows: author and
// modification date, gaps and minimum branch length, page and default branch colours,
// orientation, timeline options and scale, outline numbering, the document's time scale and
// the print options. Style settings are read and written on the layout node's own style (in
// the print view, on the print layout's). The sections follow the layout: document info
// always; print options in the print view; time info, timeline options and scale in the
// timeline; time info and outline options in the outline; display, left-right options (that
// layout only), spacing, time info and colours in the maps.
//
// A new time scale is asked for first (its dates are then cleared from every branch), and a
// refused one snaps back. The print view's fit and printing-area controls need the window's
// printing view and stay disabled without one.
class IXMindMapInspector : public IXInspectorController,
                           public IXStyleNodeObserver,
                           public IXDocumentNodeObserver,
                           public IXNodeObserver {
    Q_OBJECT
public:
    static constexpr int OutlineLayout = 3;
    static constexpr int TimelineLayout = 4;
    static constexpr int LeftRightLayout = 2;
    static constexpr int PrintLayout = 9;
    static constexpr double PrintMapScaleMin = 0.1;
    static constexpr double PrintMapScaleMax = 4.0;

    IXMindMapInspector();
    ~IXMindMapInspector() override;

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;
    IXStyleNode* style() const { return m_style.get(); }

    // --- Properties ---
    IXMixedValue<QString> documentAuthor() const;
    void setDocumentAuthor(const QString& author);
    // The modification date in the locale's medium date and short time; empty without one.
    QString documentLastModified() const;
    IXMixedValue<bool> documentShowsBranchConnections() const;
    void setDocumentShowsBranchConnections(bool shows);
    IXMixedValue<bool> documentWordWrap() const;
    void setDocumentWordWrap(bool wrap);
    // Gaps and length show as whole numbers (truncated).
    IXMixedValue<double> documentVerticalBranchGap() const;
    void setDocumentVerticalBranchGap(double gap);
    IXMixedValue<double> documentHorizontalBranchGap() const;
    void setDocumentHorizontalBranchGap(double gap);
    IXMixedValue<double> documentMinimumBranchLength() const;
    void setDocumentMinimumBranchLength(double length);
    IXMixedValue<PLColor> documentPageColor() const;
    void setDocumentPageColor(const PLColor& color);
    IXMixedValue<PLColor> documentTextColor() const;
    void setDocumentTextColor(const PLColor& color);
    IXMixedValue<PLColor> documentBranchFgColor() const;
    void setDocumentBranchFgColor(const PLColor& color);
    IXMixedValue<PLColor> documentBranchBgColor() const;
    // Stored opaque, with no second fill colour: a map's default fill is never translucent.
    void setDocumentBranchBgColor(const PLColor& color);
    IXMixedValue<int> documentOrientation() const;
    void setDocumentOrientation(int orientation);
    IXMixedValue<bool> documentLevelDisplay() const;
    void setDocumentLevelDisplay(bool display);
    IXMixedValue<bool> documentShowsTitle() const;
    void setDocumentShowsTitle(bool shows);
    IXMixedValue<bool> documentShowsDurationBars() const;
    void setDocumentShowsDurationBars(bool shows);
    IXMixedValue<bool> documentShowsTimeBreaks() const;
    void setDocumentShowsTimeBreaks(bool shows);
    double documentTimelineScaleMin() const;
    double documentTimelineScaleMax() const;
    // The timeline's length; no selection before the timeline has been laid out.
    IXMixedValue<double> documentTimelineScale() const;
    void setDocumentTimelineScale(double scale);
    IXMixedValue<bool> printingArea() const;
    void setPrintingArea(bool limited);
    bool printingAreaEnabled() const;
    IXMixedValue<int> printPageOrientation() const;
    void setPrintPageOrientation(int orientation);
    IXMixedValue<double> printPageHorizontalCount() const;
    void setPrintPageHorizontalCount(double count);
    IXMixedValue<double> printPageVerticalCount() const;
    void setPrintPageVerticalCount(double count);
    IXMixedValue<double> printMapScale() const;
    void setPrintMapScale(double scale);
    IXMixedValue<bool> printShowDocumentInfo() const;
    void setPrintShowDocumentInfo(bool show);
    IXMixedValue<int> branchNumbering() const;
    void setBranchNumbering(int numbering);
    IXMixedValue<int> documentTimeScale() const;
    // Asks first; on OK sets the type and clears every branch's begin date, in one step.
    void setDocumentTimeScale(int type);

    // --- Print actions ---
    void printActualSizeAction();
    void printScaleToFitPagesAction();

    // --- Controls, for the tests and the panels ---
    QList<QWidget*> shownSections() const;
    QWidget* documentInfoView() const { return m_documentInfoView; }
    QWidget* displayView() const { return m_displayView; }
    QWidget* displayLRView() const { return m_displayLRView; }
    QWidget* spacingView() const { return m_spacingView; }
    QWidget* colorsView() const { return m_colorsView; }
    QWidget* timeinfoView() const { return m_timeinfoView; }
    QWidget* timelineView() const { return m_timelineView; }
    QWidget* timelineColorsView() const { return m_timelineColorsView; }
    QWidget* outlineView() const { return m_outlineView; }
    QWidget* printOptionsView() const { return m_printOptionsView; }
    QLineEdit* authorField() const { return m_authorField; }
    QLabel* lastModifiedLabel() const { return m_lastModifiedLabel; }
    QDoubleSpinBox* verticalGapBox() const { return m_verticalGapBox; }
    IXColorWell* branchFillColorWell() const { return m_branchBgWell; }
    QComboBox* timeScalePopUp() const { return m_timeScalePopUp; }
    QDoubleSpinBox* timelineScaleBox() const { return m_timelineScaleBox; }
    QPushButton* actualSizeButton() const { return m_actualSizeButton; }
    QPushButton* fitButton() const { return m_fitButton; }
    QCheckBox* printingAreaBox() const { return m_printingAreaBox; }
    QCheckBox* wordWrapBox() const { return m_wordWrapBox; }

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;
    void notifiedOfDocumentNode(IXDocumentNode* document, const QString& property) override;

protected:
    void controllerDidChange() override;
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;

private:
    void makeViews();
    int layout() const;
    std::shared_ptr<IXDocumentNode> document() const;
    template <typename T, typename Getter> IXMixedValue<T> read(Getter getter) const
    {
        if (!m_style) return IXMixedValue<T>::noSelection();
        return IXMixedValue<T>(getter(*m_style));
    }
    void write(const std::function<void(IXStyleNode&)>& setter);
    void stopObserving();

    std::shared_ptr<IXStyleNode> m_style;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
    QPointer<IXInspectorView> m_containerView;
    std::vector<QPointer<QWidget>> m_sections;
    QWidget* m_documentInfoView = nullptr;
    QWidget* m_displayView = nullptr;
    QWidget* m_displayLRView = nullptr;
    QWidget* m_spacingView = nullptr;
    QWidget* m_colorsView = nullptr;
    QWidget* m_timeinfoView = nullptr;
    QWidget* m_timelineView = nullptr;
    QWidget* m_timelineColorsView = nullptr;
    QWidget* m_outlineView = nullptr;
    QWidget* m_printOptionsView = nullptr;

    QLineEdit* m_authorField = nullptr;
    QLabel* m_lastModifiedLabel = nullptr;
    QCheckBox* m_connectionsBox = nullptr;
    QCheckBox* m_wordWrapBox = nullptr;
    QComboBox* m_orientationPopUp = nullptr;
    QDoubleSpinBox* m_verticalGapBox = nullptr;
    QDoubleSpinBox* m_horizontalGapBox = nullptr;
    QDoubleSpinBox* m_minLengthBox = nullptr;
    IXColorWell* m_pageColorWell = nullptr;
    IXColorWell* m_textColorWell = nullptr;
    IXColorWell* m_branchFgWell = nullptr;
    IXColorWell* m_branchBgWell = nullptr;
    IXColorWell* m_timelinePageColorWell = nullptr;
    QComboBox* m_timeScalePopUp = nullptr;
    QCheckBox* m_levelDisplayBox = nullptr;
    QCheckBox* m_showTitleBox = nullptr;
    QCheckBox* m_durationBarsBox = nullptr;
    QCheckBox* m_timeBreaksBox = nullptr;
    QDoubleSpinBox* m_timelineScaleBox = nullptr;
    QComboBox* m_numberingPopUp = nullptr;
    QComboBox* m_printOrientationPopUp = nullptr;
    QDoubleSpinBox* m_hCountBox = nullptr;
    QDoubleSpinBox* m_vCountBox = nullptr;
    QDoubleSpinBox* m_printScaleBox = nullptr;
    QCheckBox* m_docInfoBox = nullptr;
    QCheckBox* m_printingAreaBox = nullptr;
    QPushButton* m_actualSizeButton = nullptr;
    QPushButton* m_fitButton = nullptr;

    IXBindings m_bindings;
};
