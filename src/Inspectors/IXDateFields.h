#pragma once

#include "Utilities/UTDateTime.h"
#include "UtilityWidgets/UTDateTimePickerDelegate.h"

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class IXBranchNode;
class UTDateTimeCell;
class UTDateTimePicker;

// The begin and end date fields of the inspectors that show branches' dates: the fields show
// the common date of the branches or "Multiple Values", bring up the date picker while edited
// (the end field with the picker's end-time option), and give every branch the date typed or
// picked, in one undo step. An end date before a begin date (the field's, or under differing
// begin dates each branch's own) is refused with an alert and the end field is cleared, so
// no inspector leaves a branch ending before it begins.
class IXDateFields : public QObject, public UTDateTimePickerDelegate {
    Q_OBJECT
public:
    using Branches = std::vector<std::shared_ptr<IXBranchNode>>;
    // The branches a date is given to.
    using BranchesLookup = std::function<Branches()>;
    // Runs a change as one undo step.
    using Writer = std::function<void(const std::function<void()>&)>;

    // The document's time scale, which sets the date display.
    using TimeScaleLookup = std::function<int()>;

    IXDateFields(BranchesLookup branches, Writer write, TimeScaleLookup timeScale);
    ~IXDateFields() override;

    QLineEdit* beginField() const { return m_beginField; }
    QLineEdit* endField() const { return m_endField; }
    // Editing an empty end date starts the picker at the begin date.
    void setEndStartsAtBegin(bool starts) { m_endStartsAtBegin = starts; }
    // The date display of both fields, by the document's time scale.
    void setupTimescale();
    // Shows the branches' dates: the common ones, or "Multiple Values"; no branch shows
    // "No Selection". The end field is enabled under differing ends or when the first branch
    // has a begin date.
    void show(const Branches& branches);

    // The begin field's date for every branch.
    void beginDateAction();
    // The end field's date (with the picker's end-time option) for every branch, or the alert.
    void endDateAction();

    void dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override;
    void dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<UTDateTime> dateOfField(QLineEdit* field, bool* parsed) const;
    static void alertInvalidDate();

    BranchesLookup m_branches;
    Writer m_write;
    TimeScaleLookup m_timeScale;
    QPointer<QLineEdit> m_beginField;
    QPointer<QLineEdit> m_endField;
    std::unique_ptr<UTDateTimeCell> m_beginCell;
    std::unique_ptr<UTDateTimeCell> m_endCell;
    // The picker whose end-time option applies to the next end date.
    QPointer<UTDateTimePicker> m_pickerEndTimeDefs;
    // The texts the fields were given, to tell the user's edits.
    QString m_beginShownText;
    QString m_endShownText;
    bool m_usesPicker = false;
    bool m_endStartsAtBegin = false;
};
