#include "Inspectors/IXDateFields.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Utilities/UTDateTimeFormatter.h"
#include "UtilityWidgets/UTDateTimeCell.h"
#include "UtilityWidgets/UTDateTimePicker.h"

#include <QEvent>
#include <QLineEdit>
#include <QSignalBlocker>

IXDateFields::IXDateFields(BranchesLookup branches, Writer write, TimeScaleLookup timeScale)
    : m_branches(std::move(branches))
    , m_write(std::move(write))
    , m_timeScale(std::move(timeScale))
    , m_beginField(new QLineEdit)
    , m_endField(new QLineEdit)
    , m_beginCell(std::make_unique<UTDateTimeCell>())
    , m_endCell(std::make_unique<UTDateTimeCell>())
{
    for (auto* cell : {m_beginCell.get(), m_endCell.get()}) cell->setPickerDelegate(this);
    for (QLineEdit* field : {m_beginField.data(), m_endField.data()}) {
        field->setAlignment(Qt::AlignRight);
        field->installEventFilter(this);
        // The picker rewrites the text without marking it modified: a date is taken when the
        // text differs from the one shown.
        PLExceptionBoundary::connect(field, &QLineEdit::editingFinished, this, [this, field] {
            if (m_usesPicker && UTDateTimePicker::sharedPicker()->currentEditor() == field)
                UTDateTimePicker::sharedPicker()->endEditing();
            const QString& shown = field == m_beginField ? m_beginShownText : m_endShownText;
            if (field->text() == shown) return;
            if (field == m_beginField)
                beginDateAction();
            else
                endDateAction();
        });
    }
}

IXDateFields::~IXDateFields()
{
    UTDateTimePicker* picker = m_usesPicker ? UTDateTimePicker::sharedPicker() : nullptr;
    if (picker && picker->currentEditor()
        && (picker->currentEditor() == m_beginField || picker->currentEditor() == m_endField))
        picker->endEditing();
}

void IXDateFields::setupTimescale()
{
    const int format = UTDateTimeFormatter::formatTypeForTimeScale(m_timeScale ? m_timeScale() : 0);
    for (auto* cell : {m_beginCell.get(), m_endCell.get()}) cell->dateFormatter().setFormatType(format);
}

void IXDateFields::show(const Branches& branches)
{
    if (!m_beginField || !m_endField) return;
    // Compared with the first branch's until both differ.
    bool beginsDiffer = false;
    bool endsDiffer = false;
    const IXBranchNode* first = branches.empty() ? nullptr : branches.front().get();
    if (first) {
        for (const auto& branch : branches) {
            if (!beginsDiffer && branch->beginDate() != first->beginDate()) beginsDiffer = true;
            if (!endsDiffer && branch->endDate() != first->endDate()) endsDiffer = true;
            if (beginsDiffer && endsDiffer) break;
        }
    }
    const QString multiple = IXBindings::placeholder(IXMixedState::MultipleValues);
    {
        const QSignalBlocker blocker(m_beginField);
        m_beginField->setEnabled(first != nullptr);
        m_beginField->setText(
            beginsDiffer || !first ? QString() : m_beginCell->formatter().stringForObjectValue(first->beginDate()));
        m_beginField->setPlaceholderText(
            beginsDiffer ? multiple : (first ? QString() : IXBindings::placeholder(IXMixedState::NoSelection)));
        m_beginShownText = m_beginField->text();
    }
    {
        const QSignalBlocker blocker(m_endField);
        m_endField->setEnabled(endsDiffer || (first && first->beginDate()));
        m_endField->setText(endsDiffer || !first ? QString()
                                                 : m_endCell->formatter().stringForObjectValue(first->endDate()));
        m_endField->setPlaceholderText(endsDiffer ? multiple : QString());
        m_endShownText = m_endField->text();
    }
}

std::optional<UTDateTime> IXDateFields::dateOfField(QLineEdit* field, bool* parsed) const
{
    const UTDateTimeCell* cell = field == m_beginField ? m_beginCell.get() : m_endCell.get();
    std::optional<UTDateTime> date;
    *parsed = field->text().trimmed().isEmpty() || cell->formatter().getObjectValue(&date, field->text());
    return *parsed ? date : std::nullopt;
}

void IXDateFields::alertInvalidDate()
{
    if (IXApplicationServices* services = IXApplicationServices::shared())
        services->runAlert(IXInspectorForms::localized("The value can not be applied"),
                           IXInspectorForms::localized("The date is invalid or out of range."),
                           IXInspectorForms::localized("OK"));
}

void IXDateFields::beginDateAction()
{
    if (!m_beginField) return;
    bool parsed = false;
    const std::optional<UTDateTime> begin = dateOfField(m_beginField, &parsed);
    if (!parsed) {
        // Text that is no date changes nothing, rather than clearing every begin date; the
        // field shows the dates again.
        alertInvalidDate();
        const QSignalBlocker blocker(m_beginField);
        m_beginField->setText(m_beginShownText);
        return;
    }
    m_beginShownText = m_beginField->text();
    const Branches branches = m_branches();
    m_write([&] {
        for (const auto& branch : branches) branch->setBeginDate(begin);
    });
    if (QWidget* focus = m_beginField->window()->focusWidget()) focus->clearFocus();
}

void IXDateFields::endDateAction()
{
    if (!m_endField || !m_beginField) return;
    m_endShownText = m_endField->text();
    bool parsed = false;
    const std::optional<UTDateTime> end = dateOfField(m_endField, &parsed);
    bool beginParsed = false;
    const std::optional<UTDateTime> begin = dateOfField(m_beginField, &beginParsed);
    const Branches branches = m_branches();
    bool beforeBegin = !parsed;
    if (end) {
        if (begin && begin->compare(end) > 0) beforeBegin = true;
        // Under "Multiple Values" the begin field shows none: each branch's own begin counts.
        for (size_t i = 0; !beforeBegin && i < branches.size(); ++i)
            if (const auto& own = branches[i]->beginDate(); own && own->compare(end) > 0) beforeBegin = true;
    }
    if (beforeBegin) {
        alertInvalidDate();
        const QSignalBlocker blocker(m_endField);
        m_endField->clear();
        m_endShownText.clear();
        return;
    }
    std::optional<UTDateTime> end2;
    if (m_pickerEndTimeDefs && end) end2 = m_pickerEndTimeDefs->applyEndTimeOptionToDate(*end);
    m_pickerEndTimeDefs = nullptr;
    m_write([&] {
        for (const auto& branch : branches) {
            branch->setEndDate(end);
            // A second end date of an earlier end would outlive it.
            branch->setEndDate2(end2);
        }
    });
    if (QWidget* focus = m_endField->window()->focusWidget()) focus->clearFocus();
}

void IXDateFields::dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell)
{
    setupTimescale();
    picker->setShowsEndTimeOption(cell == m_endCell.get());
    if (m_endStartsAtBegin && cell == m_endCell.get() && m_endField && m_endField->text().isEmpty()) {
        bool parsed = false;
        if (const std::optional<UTDateTime> begin = dateOfField(m_beginField, &parsed)) cell->setObjectValue(begin);
    }
}

void IXDateFields::dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell*)
{
    if (picker->showsEndTimeOption()) m_pickerEndTimeDefs = picker;
}

bool IXDateFields::eventFilter(QObject* watched, QEvent* event)
try {
    // The date fields bring up the date picker while they are edited.
    if (event->type() == QEvent::FocusIn && (watched == m_beginField || watched == m_endField)) {
        auto* field = static_cast<QLineEdit*>(watched);
        UTDateTimeCell* cell = field == m_beginField ? m_beginCell.get() : m_endCell.get();
        UTDateTimePicker* picker = UTDateTimePicker::sharedPicker();
        m_usesPicker = true;
        if (!picker->isEditing()) picker->selectCell(cell, field->rect(), field, field, this);
    }
    return QObject::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
