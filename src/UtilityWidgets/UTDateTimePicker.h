#pragma once

#include "Utilities/UTDateTime.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QLineEdit;
class QSlider;
class QTimeEdit;
class QWidget;
class UTDateTimeCell;
class UTDateTimePickerDelegate;
class UTDateTimePickerWindow;
class UTFlexibleSlider;

// The pop-up that helps to type a date: for the edited cell's style it shows a preview of
// the parsed text (or the parse error) and sliders, steppers and check boxes that build the
// value field by field. Every control rewrites the text in the edited field, so the text
// stays the single source of the value. For end dates it can show an end-time option that
// makes an end date include its whole last year, month, week or day.
//
// One shared instance serves one edit at a time; it owns its window and views. The edited
// cell, field and view are not owned. Main thread only.
class UTDateTimePicker : public QObject {
    Q_OBJECT

public:
    // The window's margin from the field and from the screen's edges.
    static constexpr int Gap = 4;

    static UTDateTimePicker* sharedPicker();
    // Ends the shared picker's edit, if any (a document's time scale changed).
    static void dismissAllPickers();

    // Attaches to the edit of cell in editor, a field at frame in view's coordinates, and
    // shows the window; selectCell shows it only once the text changes. An edit must not be
    // attached already.
    void editCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate);
    void selectCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate);
    // Parses the field's text into the cell (text that does not parse leaves the cell's
    // value), tells the delegate, hides the window and lets go of the edit. Nothing when idle.
    void endEditing();
    // Ends the text edit itself, which ends the picker's edit.
    void closeAction();

    bool isEditing() const { return m_currentEditor != nullptr; }
    UTDateTimeCell* currentCell() const { return m_currentCell; }
    QLineEdit* currentEditor() const { return m_currentEditor; }
    UTDateTimePickerWindow* pickerWindow() const { return m_pickerWindow.get(); }

    // The end-time option for the next edit; the delegate sets it before the edit begins.
    bool showsEndTimeOption() const { return m_usingEndTime; }
    void setShowsEndTimeOption(bool shows) { m_usingEndTime = shows; }
    // The value moved to the start of the next unit when the end-time check box is on.
    UTDateTime applyEndTimeOptionToDate(const UTDateTime& value) const;

    // The value of the field's text, else a default of the style (year 2007 for the common
    // era and historic styles, year 0, week 0 or day 0 for the others).
    UTDateTime currentDate() const;
    // Writes value's editing text into the field, selects it and updates the controls.
    void updateEditorWithDate(const UTDateTime& value);
    // Parses the field's text and shows it (or the parse error) in the controls.
    void updateControls();
    // Shows value; a geological value without a chosen year scale chooses one.
    void updateControlsWithDate(const std::optional<UTDateTime>& value);

    // The common-era slider view or the calendar view; the choice stays for later edits.
    void ceSetupView();
    void nsSetupView();

    // The window's frame on a screen whose usable area is visible, for a field at cellFrame
    // (both in global coordinates): centred 4 points below the field, above it when there is
    // no room below, and kept 4 points inside the screen's left and right edges.
    static QRect pickerWindowFrame(const QRect& cellFrame, const QSize& windowSize, const QRect& visible);

private:
    UTDateTimePicker();
    ~UTDateTimePicker() override;

    void buildViews();
    void attachCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate);
    void installPickerView(QWidget* view);
    void showPickerPanel();
    void textDidChange();
    void updateControlsWithDate(const std::optional<UTDateTime>& value, bool choosesYearScale);
    void updateEndTimeDefsWithDate(const std::optional<UTDateTime>& value);
    int formatType() const;
    void setPreview(QLineEdit* preview, const std::optional<UTDateTime>& value, const QString& error);

    // Runs change on the current date and writes the result into the field; a change the
    // value refuses leaves the text as it is.
    template <typename Change>
    void changeDate(Change change);

    // Control actions.
    void yearSliderAction(UTFlexibleSlider* slider);
    void glYearSliderAction();
    void stepAction(int direction);
    void monthCheckBoxAction(QCheckBox* monthCheckBox, QSlider* monthSlider, bool clearsTime);
    void monthSliderAction(QSlider* monthSlider);
    void dayCheckBoxAction(QCheckBox* dayCheckBox, QCheckBox* monthCheckBox, QSlider* daySlider, bool clearsTime);
    void daySliderAction(QCheckBox* monthCheckBox, QSlider* daySlider);
    void timeCheckBoxAction();
    void timeSliderAction();
    void wkDayCheckBoxAction();
    void wkDaySliderAction();
    void countSliderAction(UTFlexibleSlider* slider);
    void nsDatePickerAction();
    void glScaleMatrixAction(int tag);
    void etCheckBoxAction();

    // The controls of the shown view's time of day, or nulls.
    struct TimeControls {
        QCheckBox* checkBox = nullptr;
        QSlider* hour = nullptr;
        QSlider* minute = nullptr;
        QSlider* second = nullptr;
    };
    TimeControls currentTimeControls() const;
    void updateTimeControls(const TimeControls& controls, const std::optional<UTDateTime>& value);

    std::unique_ptr<UTDateTimePickerWindow> m_pickerWindow;
    QPointer<UTDateTimeCell> m_currentCell;
    QPointer<QWidget> m_currentView;
    QLineEdit* m_currentEditor = nullptr;
    UTDateTimePickerDelegate* m_currentDelegate = nullptr;
    QPointer<QWidget> m_cellWindow;
    QRect m_cellWindowRect;
    std::vector<QMetaObject::Connection> m_editorConnections;

    bool m_usingStandardView = false;
    bool m_usingEndTime = false;
    bool m_endTimeYear = false;
    bool m_endTimeMonth = true;
    bool m_endTimeWeek = true;
    bool m_endTimeDay = true;
    bool* m_endTimeOption = nullptr;
    // Set while the controls are being set from a value, so that they do not act.
    bool m_updating = false;

    // The views are kept here while another is shown.
    std::vector<std::unique_ptr<QWidget>> m_views;
    QWidget* m_installedView = nullptr;

    QWidget* m_cePickerView = nullptr;
    QLineEdit* m_cePreviewField = nullptr;
    UTFlexibleSlider* m_ceYearSlider = nullptr;
    QCheckBox* m_ceMonthCheckBox = nullptr;
    QSlider* m_ceMonthSlider = nullptr;
    QCheckBox* m_ceDayCheckBox = nullptr;
    QSlider* m_ceDaySlider = nullptr;
    TimeControls m_ceTime;

    QWidget* m_nsPickerView = nullptr;
    QLineEdit* m_nsPreviewField = nullptr;
    QCalendarWidget* m_nsDatePicker = nullptr;
    QTimeEdit* m_nsTimeEdit = nullptr;

    QWidget* m_hsPickerView = nullptr;
    QLineEdit* m_hsPreviewField = nullptr;
    UTFlexibleSlider* m_hsYearSlider = nullptr;
    QCheckBox* m_hsMonthCheckBox = nullptr;
    QSlider* m_hsMonthSlider = nullptr;
    QCheckBox* m_hsDayCheckBox = nullptr;
    QSlider* m_hsDaySlider = nullptr;

    QWidget* m_glPickerView = nullptr;
    QLineEdit* m_glPreviewField = nullptr;
    UTFlexibleSlider* m_glYearSlider = nullptr;
    QButtonGroup* m_glScaleMatrix = nullptr;

    QWidget* m_wkPickerView = nullptr;
    QLineEdit* m_wkPreviewField = nullptr;
    UTFlexibleSlider* m_wkWeekSlider = nullptr;
    QCheckBox* m_wkDayCheckBox = nullptr;
    QSlider* m_wkDaySlider = nullptr;
    TimeControls m_wkTime;

    QWidget* m_dlPickerView = nullptr;
    QLineEdit* m_dlPreviewField = nullptr;
    UTFlexibleSlider* m_dlDaySlider = nullptr;
    TimeControls m_dlTime;

    QWidget* m_etPickerView = nullptr;
    QCheckBox* m_etCheckBox = nullptr;
};
