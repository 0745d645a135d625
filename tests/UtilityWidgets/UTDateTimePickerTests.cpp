#include "UtilityWidgets/UTDateTimePicker.h"

#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"
#include "UTWidgetTestSupport.h"
#include "Utilities/UTDateLocale.h"
#include "UtilityWidgets/UTDateTimeCell.h"
#include "UtilityWidgets/UTDateTimePickerDelegate.h"
#include "UtilityWidgets/UTDateTimePickerWindow.h"
#include "UtilityWidgets/UTFlexibleSlider.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using Style = UTDateTimeFormatter::FormatType;

UTDateTime stored(const char* text)
{
    return UTDateTime::fromString(QString::fromLatin1(text)).value();
}

// A table whose second column holds end dates: it asks for the end-time option there and
// records what the picker told it.
class DatesView : public QTableView, public UTDateTimePickerDelegate {
public:
    void dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override
    {
        ++begun;
        picker->setShowsEndTimeOption(cell->editedIndex().column() == 1);
    }
    void dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override
    {
        ++ended;
        endValue = cell->objectValue();
        if (picker->showsEndTimeOption() && endValue) endValue = picker->applyEndTimeOptionToDate(*endValue);
    }

    int begun = 0;
    int ended = 0;
    std::optional<UTDateTime> endValue;
};

class UTDateTimePickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UTDateLocale::install(UTDateLocale({}, {}, QStringLiteral("dd/MM/yyyy")));
        model.setRowCount(3);
        model.setColumnCount(2);
        cell = new UTDateTimeCell(&view);
        view.setModel(&model);
        view.setItemDelegate(cell);
        view.setColumnWidth(0, 180);
        view.setColumnWidth(1, 180);
        view.resize(420, 160);
        view.move(200, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        // The shared picker's sliders keep their places between edits; start from the left.
        for (QWidget* widget : QApplication::allWidgets())
            if (auto* slider = qobject_cast<QSlider*>(widget); slider && slider->objectName().endsWith(QStringLiteral("Slider")))
                slider->setValue(slider->minimum());
    }

    void TearDown() override
    {
        picker()->endEditing();
        UTDateLocale::install(std::nullopt);
    }

    static UTDateTimePicker* picker() { return UTDateTimePicker::sharedPicker(); }

    template <typename T>
    static T* control(const char* name)
    {
        T* found = picker()->pickerWindow()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }

    static void click(QWidget* widget)
    {
        ASSERT_TRUE(widget);
        ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString();
        // Check boxes and radio buttons take a click on their indicator, at the left.
        const bool indicator = qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {}, indicator ? QPoint(8, widget->height() / 2) : widget->rect().center());
    }

    // Starts editing the item at row, column in style; the field has the keyboard.
    QLineEdit* beginEditing(int style, std::optional<UTDateTime> value, int column = 0, int row = 0)
    {
        cell->dateFormatter().setFormatType(style);
        const QModelIndex index = model.index(row, column);
        model.setData(index, UTDateTimeCell::variantFromDate(value), Qt::EditRole);
        view.setCurrentIndex(index);
        view.edit(index);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        EXPECT_TRUE(editor);
        EXPECT_TRUE(picker()->isEditing());
        return editor;
    }

    void type(QLineEdit* editor, const char* text)
    {
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, QString::fromLatin1(text));
    }

    // The view ends an edit on its next turn.
    void commit(QLineEdit* editor)
    {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    std::optional<UTDateTime> modelValue(int column = 0, int row = 0) const
    {
        return UTDateTimeCell::dateFromVariant(model.data(model.index(row, column), Qt::EditRole));
    }

    static QString stringOf(const std::optional<UTDateTime>& value) { return value ? value->stringRepresentation() : QString(); }

    QStandardItemModel model;
    DatesView view;
    UTDateTimeCell* cell = nullptr;
};

} // namespace

TEST_F(UTDateTimePickerTest, TypedTextInEveryStyle)
{
    const struct {
        int style;
        const char* before; // the value the edit starts from
        const char* typed;
        const char* preview; // the parsed text as shown, or the error
        const char* after;   // the stored value when the edit ends
    } table[] = {
        {Style::CommonEra, "Y2000", "15/3/2008 14:30", "15 Mar 2008, 14:30", "Y2008/3/15 14:30:0"},
        {Style::CommonEra, "Y2000", "30 Feb 2008", "invalid day value", "Y2000"},
        {Style::CommonEra, "Y2000", "abc", "invalid year value", "Y2000"},
        {Style::Historic, "Y2000", "44 BC", "44 BC", "Y-44"},
        {Style::Historic, "Y2000", "31 Apr 1200", "invalid day value", "Y2000"},
        {Style::Geological, "Y1000000", "65", "65 my", "Y65000000"},
        {Style::Geological, "Y5000", "1.5", "1.5 ty", "Y1500"},
        {Style::Geological, "Y1000000", "99999999999999999999", "invalid year value", "Y1000000"},
        {Style::Weekly, "W1", "12 tue 14:30", "week 12 Tue, 14:30", "W12/3 14:30:0"},
        {Style::Weekly, "W1", "12 8", "invalid day value", "W1"},
        {Style::Weekly, "W1", "100001", "invalid week value", "W1"},
        {Style::Daily, "D1", "40 6:30", "day 40, 06:30", "D40 6:30:0"},
        {Style::Daily, "D1", "40 24", "invalid time value", "D1"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.typed) + " in style " + std::to_string(row.style));
        QLineEdit* editor = beginEditing(row.style, stored(row.before));
        ASSERT_TRUE(editor);
        ASSERT_TRUE(picker()->pickerWindow()->isVisible());
        type(editor, row.typed);
        const char* previews[] = {"cePreviewField", "cePreviewField", "hsPreviewField", "glPreviewField", "wkPreviewField", "dlPreviewField"};
        EXPECT_EQ(control<QLineEdit>(previews[row.style + (row.style > 0 ? 1 : 0)])->text(), QString::fromLatin1(row.preview));
        commit(editor);
        EXPECT_FALSE(picker()->isEditing());
        EXPECT_FALSE(picker()->pickerWindow()->isVisible());
        EXPECT_EQ(stringOf(modelValue()), QString::fromLatin1(row.after));
        EXPECT_EQ(cell->formatter().yearScale(), 0);
    }
    EXPECT_EQ(view.begun, view.ended);
}

TEST_F(UTDateTimePickerTest, ControlsBuildTheValueWhileTheFieldKeepsTheKeyboard)
{
    QLineEdit* editor = beginEditing(Style::CommonEra, std::nullopt);
    ASSERT_TRUE(editor);
    click(control<QCheckBox>("ceMonthCheckBox"));
    EXPECT_EQ(editor->text(), QStringLiteral("Jan 2007"));
    control<QSlider>("ceMonthSlider")->setValue(3);
    control<QSlider>("ceDaySlider")->setValue(31);
    EXPECT_EQ(editor->text(), QStringLiteral("31 Mar 2007"));
    EXPECT_TRUE(control<QCheckBox>("ceDayCheckBox")->isChecked());
    // The day follows the shorter month.
    control<QSlider>("ceMonthSlider")->setValue(2);
    EXPECT_EQ(editor->text(), QStringLiteral("28 Feb 2007"));
    EXPECT_EQ(control<QSlider>("ceDaySlider")->maximum(), 28);
    control<QSlider>("ceHourSlider")->setValue(14);
    EXPECT_EQ(editor->text(), QStringLiteral("28 Feb 2007, 14:00"));
    EXPECT_TRUE(control<QCheckBox>("ceTimeCheckBox")->isChecked());
    click(control<QToolButton>("ceYearStepperUp"));
    EXPECT_EQ(editor->text(), QStringLiteral("28 Feb 2008, 14:00"));
    EXPECT_EQ(control<QLineEdit>("cePreviewField")->text(), QStringLiteral("28 Feb 2008, 14:00"));
    // Clearing the month clears what lies below it.
    click(control<QCheckBox>("ceMonthCheckBox"));
    EXPECT_EQ(editor->text(), QStringLiteral("2008"));

    // Dragging the year slider to its right end moves the year on.
    UTFlexibleSlider* years = control<UTFlexibleSlider>("ceYearSlider");
    const int y = years->height() / 2;
    QTest::mousePress(years, Qt::LeftButton, {}, QPoint(years->width() / 2, y));
    QTest::mouseMove(years, QPoint(years->width() - 1, y));
    QTest::mouseRelease(years, Qt::LeftButton, {}, QPoint(years->width() - 1, y));
    const int year = editor->text().toInt();
    EXPECT_GT(year, 2008);
    EXPECT_EQ(double(year), years->doubleValue());

    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_TRUE(picker()->isEditing());
    commit(editor);
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("Y%1").arg(year));
}

TEST_F(UTDateTimePickerTest, CalendarPicksADay)
{
    QLineEdit* editor = beginEditing(Style::CommonEra, stored("Y2008/3"));
    ASSERT_TRUE(editor);
    click(control<QPushButton>("ceSwitchButton"));
    auto* calendar = control<QCalendarWidget>("nsDatePicker");
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2008, 3, 1));
    auto* days = calendar->findChild<QTableView*>();
    ASSERT_TRUE(days);
    QModelIndex fifteenth;
    for (int row = 0; row < days->model()->rowCount() && !fifteenth.isValid(); ++row)
        for (int column = 0; column < days->model()->columnCount(); ++column)
            if (days->model()->index(row, column).data().toString() == QStringLiteral("15")) fifteenth = days->model()->index(row, column);
    ASSERT_TRUE(fifteenth.isValid());
    QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(fifteenth).center());
    EXPECT_EQ(editor->text(), QStringLiteral("15 Mar 2008"));
    EXPECT_EQ(QApplication::focusWidget(), editor);
    // The choice of view stays for the next edit until switched back.
    commit(editor);
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("Y2008/3/15"));
    editor = beginEditing(Style::CommonEra, stored("Y2008/3"), 0, 1);
    EXPECT_TRUE(control<QCalendarWidget>("nsDatePicker")->isVisible());
    click(control<QPushButton>("nsSwitchButton"));
    EXPECT_TRUE(control<QCheckBox>("ceMonthCheckBox")->isVisible());
}

TEST_F(UTDateTimePickerTest, ControlsOfTheOtherStyles)
{
    QLineEdit* editor = beginEditing(Style::Historic, std::nullopt);
    click(control<QCheckBox>("hsDayCheckBox"));
    EXPECT_EQ(editor->text(), QStringLiteral("1 Jan 2007 AD"));
    click(control<QToolButton>("hsYearStepperDown"));
    EXPECT_EQ(editor->text(), QStringLiteral("1 Jan 2006 AD"));
    // Years before the calendar have no months: the click is refused and changes nothing.
    type(editor, "44 BC");
    click(control<QCheckBox>("hsMonthCheckBox"));
    EXPECT_EQ(editor->text(), QStringLiteral("44 BC"));
    EXPECT_FALSE(control<QCheckBox>("hsMonthCheckBox")->isChecked());
    EXPECT_TRUE(picker()->isEditing());
    commit(editor);
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("Y-44"));

    editor = beginEditing(Style::Weekly, stored("W12"));
    click(control<QCheckBox>("wkDayCheckBox"));
    EXPECT_EQ(editor->text(), QStringLiteral("12 Sun"));
    control<QSlider>("wkDaySlider")->setValue(3);
    control<QSlider>("wkMinuteSlider")->setValue(45);
    EXPECT_EQ(editor->text(), QStringLiteral("12 Tue 00:45"));
    click(control<QToolButton>("wkWeekStepperUp"));
    EXPECT_EQ(editor->text(), QStringLiteral("13 Tue 00:45"));
    commit(editor);
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("W13/3 0:45:0"));

    editor = beginEditing(Style::Daily, std::nullopt);
    click(control<QToolButton>("dlDayStepperDown"));
    EXPECT_EQ(editor->text(), QStringLiteral("-1"));
    control<QSlider>("dlHourSlider")->setValue(6);
    EXPECT_EQ(editor->text(), QStringLiteral("-1 06:00"));
    commit(editor);

    // Geological years switch between thousands and millions of years.
    editor = beginEditing(Style::Geological, std::nullopt);
    type(editor, "65 m");
    click(control<QRadioButton>("glScale2"));
    EXPECT_EQ(editor->text(), QStringLiteral("65"));
    EXPECT_EQ(control<QLineEdit>("glPreviewField")->text(), QStringLiteral("65 my"));
    EXPECT_DOUBLE_EQ(control<UTFlexibleSlider>("glYearSlider")->doubleValue(), 65);
    click(control<QRadioButton>("glScale1"));
    EXPECT_EQ(editor->text(), QStringLiteral("65,000"));
    commit(editor);
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("Y65000000"));
}

TEST_F(UTDateTimePickerTest, EndTimeOption)
{
    const struct {
        int style;
        const char* value;
        bool enabled;
        const char* title;
        bool include; // the check box is set to this before the edit ends
        const char* end;
    } table[] = {
        {Style::CommonEra, "Y2008/3", true, "Include March in the period", true, "Y2008/4"},
        {Style::CommonEra, "Y2008/12", true, "Include December in the period", true, "Y2009/1"},
        {Style::CommonEra, "Y2008/12", true, "Include December in the period", false, "Y2008/12"},
        {Style::CommonEra, "Y2008/2/29", true, "Include the day in the period", true, "Y2008/3/1"},
        {Style::CommonEra, "Y2008/12/31", true, "Include the day in the period", true, "Y2009/1/1"},
        {Style::CommonEra, "Y2008", true, "Include 2008 year in the period", true, "Y2009"},
        {Style::CommonEra, "Y2008", true, "Include 2008 year in the period", false, "Y2008"},
        {Style::CommonEra, "Y2008/3/15 14:30:0", false, "(end time definitions is not applicable)", false, "Y2008/3/15 14:30:0"},
        {Style::Historic, "Y1200/3", true, "Include March in the period", true, "Y1200/4"},
        {Style::Weekly, "W12", true, "Include 12 week in the period", true, "W13"},
        {Style::Weekly, "W12/7", true, "Include Saturday in the period", true, "W13/1"},
        {Style::Weekly, "W12/3", true, "Include Tuesday in the period", true, "W12/4"},
        {Style::Daily, "D40", true, "Include 40 day in the period", true, "D41"},
        {Style::Daily, "D40 6:0:0", false, "(end time definitions is not applicable)", false, "D40 6:0:0"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.value);
        QLineEdit* editor = beginEditing(row.style, stored(row.value), 1);
        ASSERT_TRUE(editor);
        EXPECT_TRUE(picker()->showsEndTimeOption());
        auto* option = control<QCheckBox>("etCheckBox");
        ASSERT_TRUE(option->isVisible());
        EXPECT_EQ(option->isEnabled(), row.enabled);
        EXPECT_EQ(option->text(), QString::fromLatin1(row.title));
        if (option->isChecked() != row.include) click(option);
        EXPECT_EQ(option->isChecked(), row.include);
        commit(editor);
        EXPECT_EQ(stringOf(view.endValue), QString::fromLatin1(row.end));
        // The stored value is what was typed; the delegate applies the option.
        EXPECT_EQ(stringOf(modelValue(1)), QString::fromLatin1(row.value));
    }
    // Begin dates show no option.
    QLineEdit* editor = beginEditing(Style::CommonEra, stored("Y2008/3"), 0);
    EXPECT_FALSE(picker()->showsEndTimeOption());
    EXPECT_FALSE(picker()->pickerWindow()->findChild<QWidget*>(QStringLiteral("etPickerView")));
    commit(editor);
}

TEST_F(UTDateTimePickerTest, EscapeKeepsTheValueAndClosesThePicker)
{
    QLineEdit* editor = beginEditing(Style::Daily, stored("D5"));
    type(editor, "77");
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker()->isEditing());
    EXPECT_FALSE(picker()->pickerWindow()->isVisible());
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("D5"));

    // The close button ends the edit and keeps what was typed.
    editor = beginEditing(Style::Daily, stored("D5"));
    type(editor, "77");
    click(control<QPushButton>("dlCloseButton"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker()->isEditing());
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("D77"));

    // So does dismissing every picker (the document's time scale changed).
    editor = beginEditing(Style::Daily, stored("D5"));
    type(editor, "78");
    UTDateTimePicker::dismissAllPickers();
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker()->isEditing());
    EXPECT_FALSE(picker()->pickerWindow()->isVisible());
    EXPECT_EQ(stringOf(modelValue()), QStringLiteral("D78"));
    EXPECT_EQ(view.begun, 3);
    EXPECT_EQ(view.ended, 3);
}

TEST_F(UTDateTimePickerTest, CellDelegateHearsWhenTheViewDoesNot)
{
    QTableView plain;
    plain.setModel(&model);
    plain.setItemDelegate(cell);
    DatesView listener;
    cell->setPickerDelegate(&listener);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    const QModelIndex index = model.index(2, 1);
    model.setData(index, UTDateTimeCell::variantFromDate(stored("W3")), Qt::EditRole);
    plain.edit(index);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    EXPECT_EQ(listener.begun, 1);
    EXPECT_TRUE(picker()->showsEndTimeOption());
    commit(editor);
    EXPECT_EQ(listener.ended, 1);
    EXPECT_EQ(view.begun, 0);
    cell->setPickerDelegate(nullptr);
}

TEST_F(UTDateTimePickerTest, SelectedFieldShowsThePickerOnceTyped)
{
    // A field outside an item view, selected rather than edited.
    QWidget panel;
    auto* field = new QLineEdit(&panel);
    field->setGeometry(10, 10, 160, 22);
    panel.resize(200, 60);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    field->setFocus();
    UTDateTimeCell fieldCell;
    fieldCell.dateFormatter().setFormatType(Style::Weekly);
    picker()->selectCell(&fieldCell, field->geometry(), &panel, field, nullptr);
    EXPECT_TRUE(picker()->isEditing());
    EXPECT_FALSE(picker()->pickerWindow()->isVisible());
    QTest::keyClicks(field, QStringLiteral("7 fri"));
    EXPECT_TRUE(picker()->pickerWindow()->isVisible());
    EXPECT_EQ(control<QLineEdit>("wkPreviewField")->text(), QStringLiteral("week 7 Fri"));
    picker()->closeAction();
    EXPECT_FALSE(picker()->isEditing());
    EXPECT_EQ(stringOf(fieldCell.objectValue()), QStringLiteral("W7/6"));
    EXPECT_EQ(fieldCell.formatter().picker(), nullptr);

    // A style the picker has no view for is a programming error that leaves it idle.
    fieldCell.dateFormatter().setFormatType(7);
    expectAssertion("invalid date format", [&] { picker()->editCell(&fieldCell, field->geometry(), &panel, field, nullptr); });
    EXPECT_FALSE(picker()->isEditing());
    EXPECT_EQ(picker()->currentCell(), nullptr);
}

TEST(UTDateTimePicker, WindowPlacement)
{
    const QRect screen(0, 0, 1000, 800);
    const QSize size(300, 200);
    const struct {
        QRect cell;
        QPoint origin;
    } table[] = {
        {QRect(400, 100, 100, 20), QPoint(300, 124)},  // centred 4 points below
        {QRect(400, 700, 100, 20), QPoint(300, 496)},  // no room below: above
        {QRect(10, 100, 100, 20), QPoint(4, 124)},     // 4 points from the left edge
        {QRect(900, 100, 100, 20), QPoint(696, 124)},  // 4 points from the right edge
        {QRect(400, 576, 100, 20), QPoint(300, 600)},  // just fits below
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.cell.x() << "," << row.cell.y());
        EXPECT_EQ(UTDateTimePicker::pickerWindowFrame(row.cell, size, screen), QRect(row.origin, size));
    }
}

TEST_F(UTDateTimePickerTest, Screenshots)
{
    const struct {
        const char* name;
        int style;
        const char* value;
        int column;
    } table[] = {
        {"picker-common-era", Style::CommonEra, "Y2008/3/15 14:30:0", 0},
        {"picker-historic", Style::Historic, "Y1200/3/15", 0},
        {"picker-geological", Style::Geological, "Y-65000000", 0},
        {"picker-weekly", Style::Weekly, "W12/3 9:15:0", 0},
        {"picker-daily", Style::Daily, "D40 6:0:0", 0},
        {"picker-end-time", Style::CommonEra, "Y2008/3", 1},
    };
    for (const auto& row : table) {
        QLineEdit* editor = beginEditing(row.style, stored(row.value), row.column);
        ASSERT_TRUE(editor);
        UTDateTimePickerWindow* window = picker()->pickerWindow();
        ASSERT_TRUE(window->windowHandle());
        EXPECT_EQ(window->windowHandle()->transientParent(), view.windowHandle());
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        // Below the field, clear of it.
        const QRect field(editor->mapToGlobal(QPoint(0, 0)), editor->size());
        EXPECT_GE(window->geometry().top(), field.bottom() + UTDateTimePicker::Gap);
        EXPECT_FALSE(saveScreenshot(window, QString::fromLatin1(row.name)).isNull());
        if (row.style == Style::CommonEra && row.column == 0) {
            click(control<QPushButton>("ceSwitchButton"));
            saveScreenshot(window, QStringLiteral("picker-calendar"));
            click(control<QPushButton>("nsSwitchButton"));
        }
        commit(editor);
    }
}
