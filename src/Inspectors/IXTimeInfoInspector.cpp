#include "Inspectors/IXTimeInfoInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXDateFields.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXTimeScaleChange.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

QString localized(const char* text)
{
    return IXInspectorForms::localized(text);
}

struct TimeScale {
    const char* name;
    const char* description;
};

// In type order.
const TimeScale TimeScales[] = {{"Standard", "StandardTimeScale_description"},
                                {"Daily", "DailyTimeScale_description"},
                                {"Weekly", "WeeklyTimeScale_description"},
                                {"Historic", "HistoricTimeScale_description"},
                                {"Geological", "GeologicalTimeScale_description"}};

}  // namespace

IXTimeInfoInspector::IXTimeInfoInspector() = default;

IXTimeInfoInspector::~IXTimeInfoInspector()
{
    stopObserving();
    m_dateFields.reset();
    delete m_inspectorView.data();
}

QString IXTimeInfoInspector::inspectorTitle() const
{
    return localized("Timeline Info");
}

QString IXTimeInfoInspector::descriptionOfTimeScale(int type)
{
    if (type < 0 || type >= int(std::size(TimeScales))) return {};
    return localized(TimeScales[type].description);
}

std::shared_ptr<IXDocumentNode> IXTimeInfoInspector::document() const
{
    return controller() ? controller()->documentNode() : nullptr;
}

void IXTimeInfoInspector::makeView()
{
    m_inspectorView = new QWidget;
    m_inspectorView->setObjectName(QStringLiteral("IXTimeInfoView"));
    auto* form = new QFormLayout(m_inspectorView);
    form->setContentsMargins(8, 6, 8, 6);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_scaleMode = new QComboBox;
    for (const TimeScale& scale : TimeScales) m_scaleMode->addItem(localized(scale.name));
    form->addRow(localized("Time scale:"), m_scaleMode);
    m_modeDescription = new QLabel;
    m_modeDescription->setWordWrap(true);
    form->addRow(m_modeDescription);
    PLExceptionBoundary::connect(m_scaleMode, &QComboBox::activated, this,
                                 [this](int index) { changeTimeScaleType(index); });
    m_dateFields = std::make_unique<IXDateFields>(
        [this] {
            const QList<std::shared_ptr<IXBranchNode>> branches = selection().allBranches();
            return IXDateFields::Branches(branches.begin(), branches.end());
        },
        [this](const std::function<void()>& change) { IXBindings([this] { return undoManager(); }).write(change); },
        [this] {
            const std::shared_ptr<IXDocumentNode> node = document();
            return node ? node->timeScaleType() : 0;
        });
    m_dateFields->setEndStartsAtBegin(true);
    form->addRow(localized("Begin:"), m_dateFields->beginField());
    form->addRow(localized("End:"), m_dateFields->endField());
    m_inspectorView->adjustSize();
}

QWidget* IXTimeInfoInspector::inspectorView()
{
    if (!m_inspectorView) makeView();
    return m_inspectorView;
}

QLineEdit* IXTimeInfoInspector::beginDateField() const
{
    return m_dateFields ? m_dateFields->beginField() : nullptr;
}

QLineEdit* IXTimeInfoInspector::endDateField() const
{
    return m_dateFields ? m_dateFields->endField() : nullptr;
}

// --- Selection and notices ---

void IXTimeInfoInspector::selectionWillChange()
{
    stopObserving();
    m_branches.clear();
    m_branchSet.clear();
    if (m_inspectorView)
        if (QWidget* focus = m_inspectorView->window()->focusWidget()) focus->clearFocus();
}

void IXTimeInfoInspector::selectionDidChange()
{
    const QList<std::shared_ptr<IXBranchNode>> branches = selection().allBranches();
    m_branches.assign(branches.begin(), branches.end());
    for (const auto& branch : m_branches) m_branchSet.insert(branch.get());
    if (const std::shared_ptr<IXDocumentNode> node = document()) {
        if (UTBroadcaster* broadcaster = node->observers()) {
            broadcaster->addObserver(this);
            m_observedDocument = node;
        }
    }
    updateControls();
}

void IXTimeInfoInspector::stopObserving()
{
    if (const std::shared_ptr<IXDocumentNode> node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

bool IXTimeInfoInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXBranchNodeDidChangeProperty, IXDocumentNodeDidChangeProperty});
}

void IXTimeInfoInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (m_branchSet.contains(node)) setSelection(IXSelection());
}

void IXTimeInfoInspector::notifiedOfBranchNode(IXNode* branch, const QString&)
{
    // Coalesced: resetting the dates of a whole map sends one notice per branch.
    if (m_branchSet.contains(branch)) postUpdateControls();
}

void IXTimeInfoInspector::notifiedOfDocumentNode(IXDocumentNode*, const QString&)
{
    postUpdateControls();
}

void IXTimeInfoInspector::updateControls()
{
    if (!m_inspectorView) return;
    const std::shared_ptr<IXDocumentNode> node = document();
    const int type = node ? node->timeScaleType() : 0;
    {
        const QSignalBlocker blocker(m_scaleMode);
        m_scaleMode->setCurrentIndex(type >= 0 && type < m_scaleMode->count() ? type : -1);
        m_scaleMode->setEnabled(node != nullptr);
    }
    m_modeDescription->setText(descriptionOfTimeScale(type));
    m_dateFields->setupTimescale();
    m_dateFields->show(m_branches);
}

void IXTimeInfoInspector::changeTimeScaleType(int type)
{
    const std::shared_ptr<IXDocumentNode> node = document();
    if (!node || type == node->timeScaleType()) return;
    IXTimeScaleChange::confirmAndApply(*node, type, undoManager());
    // A refused choice snaps back in the pop-up.
    updateControls();
}
