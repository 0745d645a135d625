#pragma once

class UTDateTimeCell;
class UTDateTimePicker;

// What an editor of dates (the outline view, the time and branch inspectors) hears from the
// date picker. The picker asks the item view being edited first and the cell's own delegate
// (UTDateTimeCell::setPickerDelegate) otherwise. Both calls do nothing by default.
class UTDateTimePickerDelegate {
public:
    virtual ~UTDateTimePickerDelegate() = default;

    // Before the picker chooses its view: the receiver may call setShowsEndTimeOption and
    // prefill the cell's value.
    virtual void dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) {}
    // After the parsed value was stored in the cell: the receiver may read
    // showsEndTimeOption and call applyEndTimeOptionToDate.
    virtual void dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) {}
};
