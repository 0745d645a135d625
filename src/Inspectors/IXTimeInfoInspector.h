#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "Inspectors/IXInspectorController.h"

#include <QPointer>

#include <memory>
#include <unordered_set>
#include <vector>

class IXBranchNode;
class IXDateFields;
class IXDocumentNode;
class QComboBox;
class QLabel;
class QLineEdit;

// A small inspector, "Timeline Info", for the document's time scale and the begin and end
// dates of the selected branches. A new time scale is asked for first and clears the begin
// dates of every branch; a refused one snaps back. The dates behave as in the branch
// inspector, including the refusal of an end before the begin; editing an empty end date
// starts the picker at the begin date.
class IXTimeInfoInspector : public IXInspectorController,
                            public IXBranchNodeObserver,
                            public IXDocumentNodeObserver,
                            public IXNodeObserver {
    Q_OBJECT
public:
    IXTimeInfoInspector();
    ~IXTimeInfoInspector() override;

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;

    // Asks first; on OK sets the type and clears every branch's begin date, in one step.
    void changeTimeScaleType(int type);
    // The localized description of a time scale type; empty for an unknown one.
    static QString descriptionOfTimeScale(int type);

    QComboBox* scaleModePopUp() const { return m_scaleMode; }
    QLabel* modeDescription() const { return m_modeDescription; }
    QLineEdit* beginDateField() const;
    QLineEdit* endDateField() const;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfDocumentNode(IXDocumentNode* document, const QString& property) override;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;

private:
    void makeView();
    void stopObserving();
    std::shared_ptr<IXDocumentNode> document() const;

    QPointer<QWidget> m_inspectorView;
    QComboBox* m_scaleMode = nullptr;
    QLabel* m_modeDescription = nullptr;
    std::unique_ptr<IXDateFields> m_dateFields;
    std::vector<std::shared_ptr<IXBranchNode>> m_branches;
    std::unordered_set<const IXNode*> m_branchSet;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
};
