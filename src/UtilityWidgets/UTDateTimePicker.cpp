#include "UtilityWidgets/UTDateTimePicker.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Utilities/UTDateTimeFormatter.h"
#include "Utilities/UTDateTimeInvalid.h"
#include "UtilityWidgets/UTDateTimeCell.h"
#include "UtilityWidgets/UTDateTimePickerDelegate.h"
#include "UtilityWidgets/UTDateTimePickerWindow.h"
#include "UtilityWidgets/UTFlexibleSlider.h"
#include "UtilityWidgets/UTViewAdditions.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString tr(const char* key)
{
    return PLLocalizedStrings::string(QString::fromUtf8(key));
}

// Steps a year, week or day count by one unit up or down.
class Stepper : public QWidget {
public:
    Stepper(const QString& name, QWidget* parent, std::function<void(int)> step) : QWidget(parent)
    {
        setObjectName(name);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (int direction : {1, -1}) {
            auto* button = new QToolButton(this);
            button->setObjectName(name + (direction > 0 ? QStringLiteral("Up") : QStringLiteral("Down")));
            button->setArrowType(direction > 0 ? Qt::UpArrow : Qt::DownArrow);
            button->setAutoRepeat(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->setFixedSize(18, 11);
            PLExceptionBoundary::connect(button, &QToolButton::clicked, this, [step, direction] { step(direction); });
            layout->addWidget(button);
        }
    }
};

// A view of the picker: a grid whose first row is the preview field.
struct ViewBuilder {
    QWidget* view;
    QGridLayout* grid;
    int row = 1;

    ViewBuilder(const QString& name, QLineEdit** preview, const char* placeholder)
    {
        view = new QWidget;
        view->setObjectName(name);
        grid = new QGridLayout(view);
        grid->setContentsMargins(10, 10, 10, 8);
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(4);
        *preview = new QLineEdit(view);
        (*preview)->setObjectName(name.left(2) + QStringLiteral("PreviewField"));
        (*preview)->setReadOnly(true);
        (*preview)->setFocusPolicy(Qt::NoFocus);
        (*preview)->setPlaceholderText(tr(placeholder));
        (*preview)->setMinimumWidth(260);
        grid->addWidget(*preview, 0, 0, 1, 3);
    }

    QSlider* slider(const QString& name, QWidget* label, int minimum, int maximum)
    {
        auto* slider = new QSlider(Qt::Horizontal, view);
        slider->setObjectName(name);
        slider->setRange(minimum, maximum);
        slider->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(label, row, 0);
        grid->addWidget(slider, row++, 1, 1, 2);
        return slider;
    }
    QSlider* slider(const QString& name, const char* label, int minimum, int maximum)
    {
        return slider(name, new QLabel(tr(label), view), minimum, maximum);
    }
    QCheckBox* checkBox(const QString& name, const char* title)
    {
        auto* box = new QCheckBox(tr(title), view);
        box->setObjectName(name);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    UTFlexibleSlider* countSlider(const QString& name, const char* label, double minimum, double maximum, std::function<void(int)> step)
    {
        auto* slider = new UTFlexibleSlider(view);
        slider->setObjectName(name);
        slider->setMinValue(minimum);
        slider->setMaxValue(maximum);
        slider->setFlexible(true);
        grid->addWidget(new QLabel(tr(label), view), row, 0);
        grid->addWidget(slider, row, 1);
        grid->addWidget(new Stepper(name.left(2) + QString::fromUtf8(label) + QStringLiteral("Stepper"), view, std::move(step)), row++, 2);
        return slider;
    }
    // The last row: an optional button that switches views, and the close button.
    QPushButton* buttons(const char* switchTitle, std::function<void()> close)
    {
        auto* row = new QHBoxLayout;
        QPushButton* switchButton = nullptr;
        if (switchTitle) {
            switchButton = new QPushButton(tr(switchTitle), view);
            switchButton->setObjectName(view->objectName().left(2) + QStringLiteral("SwitchButton"));
            switchButton->setFocusPolicy(Qt::NoFocus);
            row->addWidget(switchButton);
        }
        row->addStretch();
        auto* done = new QPushButton(tr("Done"), view);
        done->setObjectName(view->objectName().left(2) + QStringLiteral("CloseButton"));
        done->setFocusPolicy(Qt::NoFocus);
        PLExceptionBoundary::connect(done, &QPushButton::clicked, view, std::move(close));
        row->addWidget(done);
        grid->addLayout(row, this->row++, 0, 1, 3);
        return switchButton;
    }
};

qint64 powerOfTen(int exponent)
{
    qint64 result = 1;
    for (int i = 0; i < exponent; ++i) result *= 10;
    return result;
}

void clearTime(UTDateTime& value)
{
    value.setHour(0);
    value.setMinute(0);
    value.setSecond(0);
}

bool hasTime(const UTDateTime& value)
{
    return value.hour() != 0 || value.minute() != 0 || value.second() != 0;
}

// The scale of values a style edits.
UTDateTime::Scale scaleOfStyle(int style)
{
    switch (style) {
    case UTDateTimeFormatter::Weekly: return UTDateTime::Weeks;
    case UTDateTimeFormatter::Daily: return UTDateTime::Days;
    default: return UTDateTime::Years;
    }
}

} // namespace

UTDateTimePicker* UTDateTimePicker::sharedPicker()
{
    static UTDateTimePicker* picker = new UTDateTimePicker;
    return picker;
}

void UTDateTimePicker::dismissAllPickers()
{
    sharedPicker()->closeAction();
}

UTDateTimePicker::UTDateTimePicker()
{
    m_pickerWindow = std::make_unique<UTDateTimePickerWindow>();
    m_pickerWindow->setObjectName(QStringLiteral("DateTimePicker"));
    buildViews();
}

UTDateTimePicker::~UTDateTimePicker()
{
    endEditing();
}

void UTDateTimePicker::buildViews()
{
    const auto close = [this] { closeAction(); };
    const auto step = [this](int direction) { stepAction(direction); };
    const auto time = [this](ViewBuilder& b, const QString& prefix, TimeControls* controls) {
        controls->checkBox = b.checkBox(prefix + QStringLiteral("TimeCheckBox"), "Time");
        b.grid->addWidget(controls->checkBox, b.row++, 0, 1, 3);
        controls->hour = b.slider(prefix + QStringLiteral("HourSlider"), "Hour", 0, 23);
        controls->minute = b.slider(prefix + QStringLiteral("MinuteSlider"), "Minute", 0, 59);
        controls->second = b.slider(prefix + QStringLiteral("SecondSlider"), "Second", 0, 59);
        PLExceptionBoundary::connect(controls->checkBox, &QCheckBox::clicked, this, [this] { timeCheckBoxAction(); });
        for (QSlider* slider : {controls->hour, controls->minute, controls->second})
            PLExceptionBoundary::connect(slider, &QSlider::valueChanged, this, [this] { timeSliderAction(); });
    };
    const auto yearMonthDay = [this, step](ViewBuilder& b, const QString& prefix, double minYear, double maxYear, UTFlexibleSlider** year,
                                          QCheckBox** monthBox, QSlider** month, QCheckBox** dayBox, QSlider** day, bool clearsTime) {
        *year = b.countSlider(prefix + QStringLiteral("YearSlider"), "Year", minYear, maxYear, step);
        *monthBox = b.checkBox(prefix + QStringLiteral("MonthCheckBox"), "Month");
        *month = b.slider(prefix + QStringLiteral("MonthSlider"), *monthBox, 1, 12);
        (*month)->setTickPosition(QSlider::TicksBelow);
        (*month)->setTickInterval(1);
        *dayBox = b.checkBox(prefix + QStringLiteral("DayCheckBox"), "Day");
        *day = b.slider(prefix + QStringLiteral("DaySlider"), *dayBox, 1, 31);
        (*day)->setTickPosition(QSlider::TicksBelow);
        (*day)->setTickInterval(1);
        UTFlexibleSlider* yearSlider = *year;
        QCheckBox* monthCheck = *monthBox;
        QSlider* monthSlider = *month;
        QCheckBox* dayCheck = *dayBox;
        QSlider* daySlider = *day;
        PLExceptionBoundary::connect(yearSlider, &UTFlexibleSlider::actionTriggered, this, [this, yearSlider] { yearSliderAction(yearSlider); });
        PLExceptionBoundary::connect(monthCheck, &QCheckBox::clicked, this, [=, this] { monthCheckBoxAction(monthCheck, monthSlider, clearsTime); });
        PLExceptionBoundary::connect(monthSlider, &QSlider::valueChanged, this, [=, this] { monthSliderAction(monthSlider); });
        PLExceptionBoundary::connect(dayCheck, &QCheckBox::clicked, this, [=, this] { dayCheckBoxAction(dayCheck, monthCheck, daySlider, clearsTime); });
        PLExceptionBoundary::connect(daySlider, &QSlider::valueChanged, this, [=, this] { daySliderAction(monthCheck, daySlider); });
    };

    {
        ViewBuilder b(QStringLiteral("cePickerView"), &m_cePreviewField, "Enter date/time or use sliders below");
        yearMonthDay(b, QStringLiteral("ce"), 1, 3000, &m_ceYearSlider, &m_ceMonthCheckBox, &m_ceMonthSlider, &m_ceDayCheckBox, &m_ceDaySlider, true);
        time(b, QStringLiteral("ce"), &m_ceTime);
        PLExceptionBoundary::connect(b.buttons("Calendar", close), &QPushButton::clicked, this, [this] { nsSetupView(); });
        m_cePickerView = b.view;
    }
    {
        ViewBuilder b(QStringLiteral("nsPickerView"), &m_nsPreviewField, "Enter date/time or use calendar below");
        m_nsDatePicker = new QCalendarWidget(b.view);
        m_nsDatePicker->setObjectName(QStringLiteral("nsDatePicker"));
        m_nsDatePicker->setFocusPolicy(Qt::NoFocus);
        m_nsDatePicker->setGridVisible(false);
        m_nsDatePicker->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_nsDatePicker->setMinimumDate(QDate(1, 1, 1));
        m_nsDatePicker->setMaximumDate(QDate(3000, 12, 31));
        // The calendar's own children would otherwise take the keyboard from the field.
        for (QWidget* child : m_nsDatePicker->findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
        b.grid->addWidget(m_nsDatePicker, b.row++, 0, 1, 3);
        m_nsTimeEdit = new QTimeEdit(b.view);
        m_nsTimeEdit->setObjectName(QStringLiteral("nsTimeEdit"));
        m_nsTimeEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        m_nsTimeEdit->setFocusPolicy(Qt::NoFocus);
        b.grid->addWidget(new QLabel(tr("Time"), b.view), b.row, 0);
        b.grid->addWidget(m_nsTimeEdit, b.row++, 1, 1, 2);
        PLExceptionBoundary::connect(m_nsDatePicker, &QCalendarWidget::clicked, this, [this] { nsDatePickerAction(); });
        PLExceptionBoundary::connect(m_nsTimeEdit, &QTimeEdit::timeChanged, this, [this] { nsDatePickerAction(); });
        PLExceptionBoundary::connect(b.buttons("Sliders", close), &QPushButton::clicked, this, [this] { ceSetupView(); });
        m_nsPickerView = b.view;
    }
    {
        ViewBuilder b(QStringLiteral("hsPickerView"), &m_hsPreviewField, "Enter date or use sliders below");
        yearMonthDay(b, QStringLiteral("hs"), -5'000'000, 3000, &m_hsYearSlider, &m_hsMonthCheckBox, &m_hsMonthSlider, &m_hsDayCheckBox, &m_hsDaySlider, false);
        b.buttons(nullptr, close);
        m_hsPickerView = b.view;
    }
    {
        ViewBuilder b(QStringLiteral("glPickerView"), &m_glPreviewField, "Enter year or use slider below");
        m_glYearSlider = b.countSlider(QStringLiteral("glYearSlider"), "Year", -20'000'000'000.0, 20'000'000'000.0, step);
        PLExceptionBoundary::connect(m_glYearSlider, &UTFlexibleSlider::actionTriggered, this, [this] { glYearSliderAction(); });
        m_glScaleMatrix = new QButtonGroup(b.view);
        auto* scales = new QHBoxLayout;
        int tag = 1;
        for (const char* title : {"Thousands of years", "Millions of years"}) {
            auto* button = new QRadioButton(tr(title), b.view);
            button->setObjectName(QStringLiteral("glScale%1").arg(tag));
            button->setFocusPolicy(Qt::NoFocus);
            m_glScaleMatrix->addButton(button, tag++);
            scales->addWidget(button);
        }
        scales->addStretch();
        b.grid->addLayout(scales, b.row++, 0, 1, 3);
        PLExceptionBoundary::connect(m_glScaleMatrix, &QButtonGroup::idClicked, this, [this](int id) { glScaleMatrixAction(id); });
        b.buttons(nullptr, close);
        m_glPickerView = b.view;
    }
    {
        ViewBuilder b(QStringLiteral("wkPickerView"), &m_wkPreviewField, "Enter week/day/time or use sliders below");
        m_wkWeekSlider = b.countSlider(QStringLiteral("wkWeekSlider"), "Week", -100'000, 100'000, step);
        PLExceptionBoundary::connect(m_wkWeekSlider, &UTFlexibleSlider::actionTriggered, this, [this] { countSliderAction(m_wkWeekSlider); });
        m_wkDayCheckBox = b.checkBox(QStringLiteral("wkDayCheckBox"), "Day");
        m_wkDaySlider = b.slider(QStringLiteral("wkDaySlider"), m_wkDayCheckBox, 1, 7);
        m_wkDaySlider->setTickPosition(QSlider::TicksBelow);
        m_wkDaySlider->setTickInterval(1);
        PLExceptionBoundary::connect(m_wkDayCheckBox, &QCheckBox::clicked, this, [this] { wkDayCheckBoxAction(); });
        PLExceptionBoundary::connect(m_wkDaySlider, &QSlider::valueChanged, this, [this] { wkDaySliderAction(); });
        time(b, QStringLiteral("wk"), &m_wkTime);
        b.buttons(nullptr, close);
        m_wkPickerView = b.view;
    }
    {
        ViewBuilder b(QStringLiteral("dlPickerView"), &m_dlPreviewField, "Enter day/time or use sliders below");
        m_dlDaySlider = b.countSlider(QStringLiteral("dlDaySlider"), "Day", -1'000'000, 1'000'000, step);
        PLExceptionBoundary::connect(m_dlDaySlider, &UTFlexibleSlider::actionTriggered, this, [this] { countSliderAction(m_dlDaySlider); });
        time(b, QStringLiteral("dl"), &m_dlTime);
        b.buttons(nullptr, close);
        m_dlPickerView = b.view;
    }
    {
        m_etPickerView = new QWidget;
        m_etPickerView->setObjectName(QStringLiteral("etPickerView"));
        auto* layout = new QHBoxLayout(m_etPickerView);
        layout->setContentsMargins(10, 0, 10, 10);
        m_etCheckBox = new QCheckBox(m_etPickerView);
        m_etCheckBox->setObjectName(QStringLiteral("etCheckBox"));
        m_etCheckBox->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(m_etCheckBox);
        PLExceptionBoundary::connect(m_etCheckBox, &QCheckBox::clicked, this, [this] { etCheckBoxAction(); });
    }
    for (QWidget* view : {m_cePickerView, m_nsPickerView, m_hsPickerView, m_glPickerView, m_wkPickerView, m_dlPickerView, m_etPickerView})
        m_views.emplace_back(view);
}

// Editing

void UTDateTimePicker::editCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate)
{
    attachCell(cell, frame, view, editor, delegate);
    showPickerPanel();
}

void UTDateTimePicker::selectCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate)
{
    attachCell(cell, frame, view, editor, delegate);
}

void UTDateTimePicker::attachCell(UTDateTimeCell* cell, const QRect& frame, QWidget* view, QLineEdit* editor, UTDateTimePickerDelegate* delegate)
{
    PL_ASSERT(!m_currentEditor);
    PL_ASSERT(m_pickerWindow);
    PL_ASSERT_PARAM(cell && view && editor, "cell && view && editor");
    m_currentCell = cell;
    m_currentView = view;
    m_currentEditor = editor;
    m_currentDelegate = delegate;
    m_cellWindow = view->window();
    m_cellWindowRect = QRect(view->mapTo(m_cellWindow, frame.topLeft()), frame.size());

    if (m_currentDelegate) m_currentDelegate->dateTimePickerWillBeginEditingForCell(this, cell);

    QWidget* pickerView = nullptr;
    switch (formatType()) {
    case UTDateTimeFormatter::CommonEra: pickerView = m_usingStandardView ? m_nsPickerView : m_cePickerView; break;
    case UTDateTimeFormatter::Historic: pickerView = m_hsPickerView; break;
    case UTDateTimeFormatter::Geological: pickerView = m_glPickerView; break;
    case UTDateTimeFormatter::Weekly: pickerView = m_wkPickerView; break;
    case UTDateTimeFormatter::Daily: pickerView = m_dlPickerView; break;
    }
    if (!pickerView) {
        m_currentEditor = nullptr;
        m_currentCell = nullptr;
        m_currentView = nullptr;
        m_currentDelegate = nullptr;
        m_cellWindow = nullptr;
        PLAssertionFailed("invalid date format");
    }
    installPickerView(pickerView);
    cell->dateFormatter().setPicker(this);
    m_editorConnections.push_back(PLExceptionBoundary::connect(editor, &QLineEdit::textEdited, this, &UTDateTimePicker::textDidChange));
    m_editorConnections.push_back(PLExceptionBoundary::connect(editor, &QObject::destroyed, this, [this] {
        // The field went away without ending: forget it without reading it.
        m_currentEditor = nullptr;
        endEditing();
    }));
    updateControlsWithDate(cell->objectValue());
}

void UTDateTimePicker::endEditing()
{
    if (!m_currentCell && !m_currentEditor) return;
    UTDateTimeCell* cell = m_currentCell;
    if (cell) {
        UTDateTimeFormatter& formatter = cell->dateFormatter();
        if (m_currentEditor) {
            std::optional<UTDateTime> value;
            const bool parsed = formatter.getObjectValue(&value, m_currentEditor->text());
            formatter.setYearScale(0, QString());
            formatter.setPicker(nullptr);
            if (parsed) cell->setObjectValue(value);
        } else {
            formatter.setYearScale(0, QString());
            formatter.setPicker(nullptr);
        }
        if (m_currentDelegate) m_currentDelegate->dateTimePickerDidEndEditingForCell(this, cell);
    }
    for (const auto& connection : m_editorConnections) disconnect(connection);
    m_editorConnections.clear();
    m_currentEditor = nullptr;
    m_pickerWindow->hide();
    m_currentCell = nullptr;
    m_currentView = nullptr;
    m_currentDelegate = nullptr;
    m_cellWindow = nullptr;
}

void UTDateTimePicker::closeAction()
{
    if (m_currentCell && m_currentEditor) {
        m_currentCell->endEditing(m_currentEditor);
        // A field outside an item view has nobody to end the edit for it.
        if (m_currentEditor) endEditing();
    } else {
        endEditing();
    }
}

void UTDateTimePicker::textDidChange()
{
    if (!m_pickerWindow->isVisible() && m_cellWindow) showPickerPanel();
    updateControls();
}

int UTDateTimePicker::formatType() const
{
    return m_currentCell ? m_currentCell->formatter().formatType() : UTDateTimeFormatter::CommonEra;
}

// Placing the window

QRect UTDateTimePicker::pickerWindowFrame(const QRect& cellFrame, const QSize& windowSize, const QRect& visible)
{
    int x = cellFrame.x() - (windowSize.width() - cellFrame.width()) / 2;
    int y = cellFrame.y() + cellFrame.height() + Gap;
    if (y + windowSize.height() > visible.y() + visible.height()) y = cellFrame.y() - Gap - windowSize.height();
    if (visible.x() + Gap > x)
        x = visible.x() + Gap;
    else if (x + windowSize.width() > visible.x() + visible.width() - Gap)
        x = visible.x() + visible.width() - Gap - windowSize.width();
    return QRect(QPoint(x, y), windowSize);
}

void UTDateTimePicker::installPickerView(QWidget* view)
{
    UTDateTimePickerWindow* window = m_pickerWindow.get();
    window->setUpdatesEnabled(false);
    // The views are kept by the picker, not by the window.
    for (auto& removed : UTViewAdditions::removeAllSubviews(window)) (void)removed.release();
    view->adjustSize();
    const QSize viewSize = view->sizeHint().expandedTo(view->minimumSizeHint());
    int endTimeHeight = 0;
    if (m_usingEndTime) endTimeHeight = m_etPickerView->sizeHint().height();
    const QSize windowSize(viewSize.width(), viewSize.height() + endTimeHeight);

    QScreen* screen = m_cellWindow ? m_cellWindow->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const QRect cell(m_cellWindow ? m_cellWindow->mapToGlobal(m_cellWindowRect.topLeft()) : m_cellWindowRect.topLeft(), m_cellWindowRect.size());
    window->setGeometry(pickerWindowFrame(cell, windowSize, visible));

    view->setParent(window);
    view->setGeometry(0, 0, viewSize.width(), viewSize.height());
    view->show();
    if (m_usingEndTime) {
        m_etPickerView->setParent(window);
        m_etPickerView->setGeometry(0, viewSize.height(), viewSize.width(), endTimeHeight);
        m_etPickerView->show();
    }
    m_installedView = view;
    window->setUpdatesEnabled(true);
}

void UTDateTimePicker::showPickerPanel()
{
    m_pickerWindow->showAbove(m_cellWindow);
}

void UTDateTimePicker::ceSetupView()
{
    m_usingStandardView = false;
    if (m_currentEditor && formatType() == UTDateTimeFormatter::CommonEra) {
        installPickerView(m_cePickerView);
        updateControls();
    }
}

void UTDateTimePicker::nsSetupView()
{
    m_usingStandardView = true;
    if (m_currentEditor && formatType() == UTDateTimeFormatter::CommonEra) {
        installPickerView(m_nsPickerView);
        updateControls();
    }
}

// The value

UTDateTime UTDateTimePicker::currentDate() const
{
    std::optional<UTDateTime> value;
    if (m_currentCell && m_currentEditor && m_currentCell->formatter().getObjectValue(&value, m_currentEditor->text()) && value
        && value->scale() == scaleOfStyle(formatType()))
        return *value;
    switch (formatType()) {
    case UTDateTimeFormatter::CommonEra:
    case UTDateTimeFormatter::Historic: return UTDateTime::fromYears(2007);
    case UTDateTimeFormatter::Weekly: return UTDateTime::fromWeeks(0, 0);
    case UTDateTimeFormatter::Daily: return UTDateTime::fromDays(0);
    default: return UTDateTime::fromYears(0);
    }
}

void UTDateTimePicker::updateEditorWithDate(const UTDateTime& value)
{
    if (!m_currentEditor || !m_currentCell) return;
    m_currentEditor->setText(m_currentCell->formatter().editingStringForObjectValue(value));
    m_currentEditor->selectAll();
    updateControls();
}

template <typename Change>
void UTDateTimePicker::changeDate(Change change)
{
    if (m_updating || !m_currentEditor) return;
    UTDateTime value = currentDate();
    try {
        change(value);
    } catch (const UTDateTimeInvalid&) {
        // The controls stay within the value's ranges; a refusal leaves the text alone.
        QApplication::beep();
        updateControls();
        return;
    }
    updateEditorWithDate(value);
}

void UTDateTimePicker::updateControls()
{
    if (!m_currentCell || !m_currentEditor) return;
    std::optional<UTDateTime> value;
    PLError error;
    if (!m_currentCell->formatter().getObjectValue(&value, m_currentEditor->text(), &error)) {
        QString text = error.failureReason();
        if (text.isEmpty()) text = tr("Invalid date entered");
        updateControlsWithDate(std::nullopt, false);
        for (QLineEdit* preview : {m_cePreviewField, m_nsPreviewField, m_hsPreviewField, m_glPreviewField, m_wkPreviewField, m_dlPreviewField})
            setPreview(preview, std::nullopt, text);
        return;
    }
    updateControlsWithDate(value, false);
}

void UTDateTimePicker::setPreview(QLineEdit* preview, const std::optional<UTDateTime>& value, const QString& error)
{
    if (!error.isEmpty())
        preview->setText(error);
    else if (value && m_currentCell)
        preview->setText(m_currentCell->formatter().stringForObjectValue(value));
    else
        preview->clear();
}

void UTDateTimePicker::updateTimeControls(const TimeControls& controls, const std::optional<UTDateTime>& value)
{
    const bool timeSet = value && hasTime(*value);
    controls.checkBox->setChecked(timeSet);
    if (!timeSet) return;
    controls.hour->setValue(static_cast<int>(value->hour()));
    controls.minute->setValue(value->minute());
    controls.second->setValue(value->second());
}

void UTDateTimePicker::updateControlsWithDate(const std::optional<UTDateTime>& value)
{
    updateControlsWithDate(value, true);
}

void UTDateTimePicker::updateControlsWithDate(const std::optional<UTDateTime>& given, bool choosesYearScale)
{
    const int style = formatType();
    // A value of another scale than the style edits shows as no value.
    const std::optional<UTDateTime> value = given && given->scale() == scaleOfStyle(style) ? given : std::nullopt;
    m_updating = true;
    const auto yearControls = [&](QLineEdit* preview, UTFlexibleSlider* year, QCheckBox* monthBox, QSlider* month, QCheckBox* dayBox, QSlider* day) {
        setPreview(preview, value, QString());
        if (value) year->setDoubleValue(double(value->year()));
        const bool hasMonth = value && value->month() > 0;
        monthBox->setChecked(hasMonth);
        if (hasMonth) month->setValue(static_cast<int>(value->month()));
        const bool hasDay = value && value->day() > 0;
        dayBox->setChecked(hasDay);
        if (hasDay) {
            day->setMaximum(value->daysInMonth());
            day->setTickInterval(1);
            day->setValue(static_cast<int>(value->day()));
        }
    };
    switch (style) {
    case UTDateTimeFormatter::CommonEra:
        if (m_usingStandardView) {
            setPreview(m_nsPreviewField, value, QString());
            if (value) {
                const QDate date(static_cast<int>(value->year()), value->month() > 0 ? static_cast<int>(value->month()) : 1,
                                 value->day() > 0 ? static_cast<int>(value->day()) : 1);
                if (date.isValid()) m_nsDatePicker->setSelectedDate(date);
                m_nsTimeEdit->setTime(QTime(static_cast<int>(value->hour()), value->minute(), value->second()));
            }
        } else {
            yearControls(m_cePreviewField, m_ceYearSlider, m_ceMonthCheckBox, m_ceMonthSlider, m_ceDayCheckBox, m_ceDaySlider);
            updateTimeControls(m_ceTime, value);
        }
        break;
    case UTDateTimeFormatter::Historic:
        yearControls(m_hsPreviewField, m_hsYearSlider, m_hsMonthCheckBox, m_hsMonthSlider, m_hsDayCheckBox, m_hsDaySlider);
        break;
    case UTDateTimeFormatter::Geological: {
        setPreview(m_glPreviewField, value, QString());
        UTDateTimeFormatter& formatter = m_currentCell->dateFormatter();
        // Only a value the field did not type chooses the scale: typed digits keep the
        // meaning they had when they were typed.
        if (choosesYearScale && formatter.yearScale() == 0 && value) {
            const qint64 year = value->year();
            if (year < 0 || year < 1'000'000 || year % 1000 != 0)
                formatter.setYearScale(3, QStringLiteral(" ty"));
            else
                formatter.setYearScale(6, QStringLiteral(" my"));
            setPreview(m_glPreviewField, value, QString());
        }
        const int scale = formatter.yearScale();
        if (QAbstractButton* button = m_glScaleMatrix->button(scale == 6 ? 2 : 1); button && scale != 0) button->setChecked(true);
        const double unit = double(powerOfTen(scale));
        const double minimum = -20'000'000'000.0 / unit;
        const double maximum = 20'000'000'000.0 / unit;
        if (m_glYearSlider->minValue() != minimum) m_glYearSlider->setMinValue(minimum);
        if (m_glYearSlider->maxValue() != maximum) m_glYearSlider->setMaxValue(maximum);
        if (value) m_glYearSlider->setDoubleValue(double(value->year()) / unit);
        break;
    }
    case UTDateTimeFormatter::Weekly:
        setPreview(m_wkPreviewField, value, QString());
        if (value) m_wkWeekSlider->setDoubleValue(double(value->week()));
        m_wkDayCheckBox->setChecked(value && value->day() > 0);
        if (value && value->day() > 0) m_wkDaySlider->setValue(static_cast<int>(value->day()));
        updateTimeControls(m_wkTime, value);
        break;
    case UTDateTimeFormatter::Daily:
        setPreview(m_dlPreviewField, value, QString());
        if (value) m_dlDaySlider->setDoubleValue(double(value->day()));
        updateTimeControls(m_dlTime, value);
        break;
    }
    m_updating = false;
    updateEndTimeDefsWithDate(value);
}

// Control actions

void UTDateTimePicker::yearSliderAction(UTFlexibleSlider* slider)
{
    changeDate([&](UTDateTime& value) { value.setYear(std::llround(slider->doubleValue())); });
}

void UTDateTimePicker::glYearSliderAction()
{
    const qint64 unit = powerOfTen(m_currentCell ? m_currentCell->formatter().yearScale() : 0);
    changeDate([&](UTDateTime& value) { value.setYear(std::llround(m_glYearSlider->doubleValue()) * unit); });
}

void UTDateTimePicker::stepAction(int direction)
{
    changeDate([&](UTDateTime& value) {
        switch (formatType()) {
        case UTDateTimeFormatter::Geological:
            value.setYear(value.year() + direction * powerOfTen(m_currentCell->formatter().yearScale()));
            break;
        case UTDateTimeFormatter::Weekly: value.setWeek(value.week() + direction); break;
        case UTDateTimeFormatter::Daily: value.setDay(value.day() + direction); break;
        default: value.setYear(value.year() + direction); break;
        }
    });
}

void UTDateTimePicker::monthCheckBoxAction(QCheckBox* monthCheckBox, QSlider* monthSlider, bool clearsTime)
{
    changeDate([&](UTDateTime& value) {
        if (monthCheckBox->isChecked()) {
            value.setMonth(monthSlider->value());
            return;
        }
        if (clearsTime) clearTime(value);
        value.setDay(0);
        value.setMonth(0);
    });
}

void UTDateTimePicker::monthSliderAction(QSlider* monthSlider)
{
    changeDate([&](UTDateTime& value) {
        const int day = static_cast<int>(value.day());
        if (day > 0) value.setDay(0);
        value.setMonth(monthSlider->value());
        if (day > 0) value.setDay(std::min(day, value.daysInMonth()));
    });
}

void UTDateTimePicker::dayCheckBoxAction(QCheckBox* dayCheckBox, QCheckBox* monthCheckBox, QSlider* daySlider, bool clearsTime)
{
    if (m_updating) return;
    // Taken first: the month's click rewrites the field and with it every check box.
    const bool on = dayCheckBox->isChecked();
    if (on && !monthCheckBox->isChecked()) monthCheckBox->click();
    changeDate([&](UTDateTime& value) {
        if (on) {
            value.setDay(std::min(daySlider->value(), value.daysInMonth()));
            return;
        }
        if (clearsTime) clearTime(value);
        value.setDay(0);
    });
}

void UTDateTimePicker::daySliderAction(QCheckBox* monthCheckBox, QSlider* daySlider)
{
    if (m_updating) return;
    if (!monthCheckBox->isChecked()) monthCheckBox->click();
    changeDate([&](UTDateTime& value) { value.setDay(std::min(daySlider->value(), value.daysInMonth())); });
}

UTDateTimePicker::TimeControls UTDateTimePicker::currentTimeControls() const
{
    switch (formatType()) {
    case UTDateTimeFormatter::CommonEra: return m_ceTime;
    case UTDateTimeFormatter::Weekly: return m_wkTime;
    case UTDateTimeFormatter::Daily: return m_dlTime;
    default: return {};
    }
}

void UTDateTimePicker::timeCheckBoxAction()
{
    if (m_updating) return;
    const TimeControls controls = currentTimeControls();
    if (!controls.checkBox) return;
    // Taken first: the clicks below rewrite the field and with it every check box.
    const bool on = controls.checkBox->isChecked();
    if (on) {
        if (formatType() == UTDateTimeFormatter::CommonEra) {
            if (!m_ceMonthCheckBox->isChecked()) m_ceMonthCheckBox->click();
            if (!m_ceDayCheckBox->isChecked()) m_ceDayCheckBox->click();
        } else if (formatType() == UTDateTimeFormatter::Weekly && !m_wkDayCheckBox->isChecked()) {
            m_wkDayCheckBox->click();
        }
    }
    changeDate([&](UTDateTime& value) {
        value.setHour(on ? controls.hour->value() : 0);
        value.setMinute(on ? controls.minute->value() : 0);
        value.setSecond(on ? controls.second->value() : 0);
    });
}

void UTDateTimePicker::timeSliderAction()
{
    if (m_updating) return;
    const TimeControls controls = currentTimeControls();
    if (!controls.checkBox) return;
    // Checking the box writes all three sliders into the time.
    if (!controls.checkBox->isChecked()) {
        controls.checkBox->click();
        return;
    }
    changeDate([&](UTDateTime& value) {
        value.setHour(controls.hour->value());
        value.setMinute(controls.minute->value());
        value.setSecond(controls.second->value());
    });
}

void UTDateTimePicker::wkDayCheckBoxAction()
{
    changeDate([&](UTDateTime& value) {
        if (m_wkDayCheckBox->isChecked()) {
            value.setDay(m_wkDaySlider->value());
            return;
        }
        clearTime(value);
        value.setDay(0);
    });
}

void UTDateTimePicker::wkDaySliderAction()
{
    changeDate([&](UTDateTime& value) { value.setDay(m_wkDaySlider->value()); });
}

void UTDateTimePicker::countSliderAction(UTFlexibleSlider* slider)
{
    changeDate([&](UTDateTime& value) {
        const qint64 count = std::llround(slider->doubleValue());
        if (value.isWeeks())
            value.setWeek(count);
        else
            value.setDay(count);
    });
}

void UTDateTimePicker::nsDatePickerAction()
{
    const QDate date = m_nsDatePicker->selectedDate();
    const QTime time = m_nsTimeEdit->time();
    changeDate([&](UTDateTime& value) {
        value = UTDateTime::fromYears(date.year(), date.month(), date.day());
        value.setHour(time.hour());
        value.setMinute(time.minute());
        value.setSecond(time.second());
    });
}

void UTDateTimePicker::glScaleMatrixAction(int tag)
{
    if (m_updating || !m_currentCell || !m_currentEditor) return;
    // The text is read in the scale it was written in.
    const UTDateTime value = currentDate();
    UTDateTimeFormatter& formatter = m_currentCell->dateFormatter();
    if (tag == 1)
        formatter.setYearScale(3, QStringLiteral(" ty"));
    else if (tag == 2)
        formatter.setYearScale(6, QStringLiteral(" my"));
    else
        formatter.setYearScale(1, QString());
    updateEditorWithDate(value);
}

void UTDateTimePicker::etCheckBoxAction()
{
    if (!m_endTimeOption) return;
    *m_endTimeOption = m_etCheckBox->isChecked();
    updateControls();
}

// The end-time option

void UTDateTimePicker::updateEndTimeDefsWithDate(const std::optional<UTDateTime>& value)
{
    m_endTimeOption = nullptr;
    QString title;
    const QLocale locale;
    if (value && !hasTime(*value)) {
        if (value->isYears() && value->year() != 0) {
            if (value->month() == 0) {
                m_endTimeOption = &m_endTimeYear;
                title = tr("Include %d year in the period").replace(QStringLiteral("%d"), QString::number(value->year()));
            } else if (value->day() == 0) {
                m_endTimeOption = &m_endTimeMonth;
                title = tr("Include %@ in the period").replace(QStringLiteral("%@"), locale.standaloneMonthName(static_cast<int>(value->month())));
            } else {
                m_endTimeOption = &m_endTimeDay;
                title = tr("Include the day in the period");
            }
        } else if (value->isWeeks()) {
            if (value->day() == 0) {
                m_endTimeOption = &m_endTimeWeek;
                title = tr("Include %d week in the period").replace(QStringLiteral("%d"), QString::number(value->week()));
            } else {
                m_endTimeOption = &m_endTimeDay;
                // Week values count days from Sunday; Qt counts from Monday.
                const int weekday = static_cast<int>(value->day()) == 1 ? 7 : static_cast<int>(value->day()) - 1;
                title = tr("Include %@ in the period").replace(QStringLiteral("%@"), locale.dayName(weekday));
            }
        } else if (value->isDays()) {
            m_endTimeOption = &m_endTimeDay;
            title = tr("Include %d day in the period").replace(QStringLiteral("%d"), QString::number(value->day()));
        }
    }
    if (m_endTimeOption) {
        m_etCheckBox->setEnabled(true);
        m_etCheckBox->setChecked(*m_endTimeOption);
        m_etCheckBox->setText(title);
    } else {
        m_etCheckBox->setEnabled(false);
        m_etCheckBox->setChecked(false);
        m_etCheckBox->setText(tr("(end time definitions is not applicable)"));
    }
}

UTDateTime UTDateTimePicker::applyEndTimeOptionToDate(const UTDateTime& given) const
{
    UTDateTime value = given;
    if (!m_endTimeOption || !*m_endTimeOption) return value;
    if (m_endTimeOption == &m_endTimeYear && value.isYears()) {
        value.setYear(value.year() + 1);
    } else if (m_endTimeOption == &m_endTimeMonth && value.isYears()) {
        if (value.month() >= 12) {
            value.setYear(value.year() + 1);
            value.setMonth(1);
        } else {
            value.setMonth(value.month() + 1);
        }
    } else if (m_endTimeOption == &m_endTimeWeek && value.isWeeks()) {
        value.setWeek(value.week() + 1);
    } else if (m_endTimeOption == &m_endTimeDay) {
        if (value.isYears()) {
            if (value.day() < value.daysInMonth()) {
                value.setDay(value.day() + 1);
            } else {
                value.setDay(1);
                if (value.month() >= 12) {
                    value.setYear(value.year() + 1);
                    value.setMonth(1);
                } else {
                    value.setMonth(value.month() + 1);
                }
            }
        } else if (value.isWeeks()) {
            if (value.day() < 7) {
                value.setDay(value.day() + 1);
            } else {
                value.setWeek(value.week() + 1);
                value.setDay(1);
            }
        } else if (value.isDays()) {
            value.setDay(value.day() + 1);
        }
    }
    return value;
}
