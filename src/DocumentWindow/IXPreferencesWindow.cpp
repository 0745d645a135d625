#include "DocumentWindow/IXPreferencesWindow.h"

#include "DocumentWindow/IXPreferences.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLValueTransformer.h"
#include "UtilityWidgets/UTColorToStringTransformer.h"
#include "UtilityWidgets/UTFontAttributesToStringTransformer.h"
#include "UtilityWidgets/UTFontTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

std::shared_ptr<PLValueTransformer> colorTransformer()
{
    return PLValueTransformer::valueTransformerForName(UTColorToStringTransformer::Name);
}

// The window's bindings use the transformers under their class names.
void registerTransformers()
{
    if (!PLValueTransformer::valueTransformerForName(UTFontAttributesToStringTransformer::Name) || !colorTransformer())
        UTFontAttributesToStringTransformer::registerTransformers();
}

} // namespace

IXPreferencesWindow::IXPreferencesWindow(QWidget* parent)
    : QDialog(parent)
{
    registerTransformers();
    setWindowTitle(tr("Preferences"));
    auto* layout = new QVBoxLayout(this);

    auto* panels = new QGroupBox(tr("Inspectors and text notes"), this);
    auto* panelsLayout = new QVBoxLayout(panels);
    m_layoutMode = new QButtonGroup(this);
    auto* allInOne = new QRadioButton(tr("Inside each document window"), panels);
    auto* floating = new QRadioButton(tr("In floating panels shared by all windows"), panels);
    m_layoutMode->addButton(allInOne, 0);
    m_layoutMode->addButton(floating, 1);
    panelsLayout->addWidget(allInOne);
    panelsLayout->addWidget(floating);
    auto* restartNote = new QLabel(tr("A new layout takes effect the next time Ideaflux starts."), panels);
    restartNote->setEnabled(false);
    panelsLayout->addWidget(restartNote);
    layout->addWidget(panels);

    auto* general = new QGroupBox(tr("Documents"), this);
    auto* form = new QFormLayout(general);
    m_showTemplateChooser = new QCheckBox(tr("Choose a template for each new document"), general);
    form->addRow(m_showTemplateChooser);
    m_checkForUpdate = new QCheckBox(tr("Check for a newer version at start-up"), general);
    form->addRow(m_checkForUpdate);
    m_autosaveMinutes = new QSpinBox(general);
    m_autosaveMinutes->setRange(0, 120);
    m_autosaveMinutes->setSuffix(tr(" min"));
    m_autosaveMinutes->setSpecialValueText(tr("Never"));
    form->addRow(tr("Keep a recovery copy every:"), m_autosaveMinutes);
    layout->addWidget(general);

    auto* notes = new QGroupBox(tr("New text notes"), this);
    auto* notesForm = new QFormLayout(notes);
    m_noteFont = new UTFontTextField(notes);
    notesForm->addRow(tr("Font:"), m_noteFont);
    m_noteColor = new QPushButton(notes);
    m_noteColor->setIconSize(QSize(36, 14));
    m_noteColor->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    notesForm->addRow(tr("Colour:"), m_noteColor);
    layout->addWidget(notes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_reset = buttons->addButton(tr("Restore Defaults"), QDialogButtonBox::ResetRole);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    PLExceptionBoundary::connect(m_reset, &QPushButton::clicked, this, &IXPreferencesWindow::resetPreferences);
    PLExceptionBoundary::connect(m_layoutMode, &QButtonGroup::idClicked, this, [this](int mode) {
        if (!m_loading) IXPreferences::setValue(IXPreferences::ApplicationLayoutModeKey, mode);
    });
    PLExceptionBoundary::connect(m_showTemplateChooser, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) IXPreferences::setValue(IXPreferences::DontShowTemplateChooserKey, !on);
    });
    PLExceptionBoundary::connect(m_checkForUpdate, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_loading) IXPreferences::setValue(IXPreferences::CheckForUpdateOnStartKey, on ? 1 : 0);
    });
    PLExceptionBoundary::connect(m_autosaveMinutes, &QSpinBox::valueChanged, this, [this] {
        if (!m_loading) autosaveChanged();
    });
    PLExceptionBoundary::connect(m_noteFont, &UTFontTextField::valueChanged, this, [this](const QFont& font) {
        if (!m_loading) IXPreferences::setValue(IXPreferences::TextNoteEditorFontAttributesKey, IXPreferences::attributesFromFont(font));
    });
    PLExceptionBoundary::connect(m_noteColor, &QPushButton::clicked, this, &IXPreferencesWindow::chooseNoteColor);

    reloadControls();
}

IXPreferencesWindow* IXPreferencesWindow::showPreferences()
{
    registerTransformers();
    static QPointer<IXPreferencesWindow> window;
    if (!window) {
        window = new IXPreferencesWindow;
        window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    window->reloadControls();
    window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void IXPreferencesWindow::reloadControls()
{
    m_loading = true;
    if (QAbstractButton* mode = m_layoutMode->button(IXPreferences::applicationLayoutMode() == 1 ? 1 : 0)) mode->setChecked(true);
    m_showTemplateChooser->setChecked(!IXPreferences::value(IXPreferences::DontShowTemplateChooserKey).toBool());
    m_checkForUpdate->setChecked(IXPreferences::checkForUpdateOnStart() != 0);
    m_autosaveMinutes->setValue(IXPreferences::value(IXPreferences::DocumentAutosavingDelayKey).toInt());
    m_noteFont->setSelectedFontAttributes(
        IXPreferences::fontFromAttributes(IXPreferences::value(IXPreferences::TextNoteEditorFontAttributesKey).toMap()));
    showNoteColor();
    m_loading = false;
}

void IXPreferencesWindow::resetPreferences()
{
    IXPreferences::setupDefaultSettings();
    IXPreferences::setupDefaultInterface();
    IXPreferences::applyAutosavingDelay();
    reloadControls();
}

void IXPreferencesWindow::autosaveChanged()
{
    IXPreferences::setValue(IXPreferences::DocumentAutosavingDelayKey, m_autosaveMinutes->value());
    IXPreferences::applyAutosavingDelay();
}

void IXPreferencesWindow::setNoteColor(const QColor& color)
{
    if (!color.isValid()) return;
    const QVariant text = colorTransformer()->reverseTransformedValue(QVariant::fromValue(PLColor::fromQColor(color)));
    IXPreferences::setValue(IXPreferences::TextNoteEditorFontColorKey, text);
    showNoteColor();
}

void IXPreferencesWindow::showNoteColor()
{
    const QVariant stored = IXPreferences::value(IXPreferences::TextNoteEditorFontColorKey);
    PLColor color = colorTransformer()->transformedValue(stored).value<PLColor>();
    if (color.isNull()) color = PLColor::black();
    QPixmap swatch(m_noteColor->iconSize());
    swatch.fill(color.toQColor());
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    m_noteColor->setIcon(swatch);
    m_noteColor->setProperty("noteColor", color.toQColor());
}

void IXPreferencesWindow::chooseNoteColor()
{
    const QColor chosen = QColorDialog::getColor(m_noteColor->property("noteColor").value<QColor>(), this, tr("Text Note Colour"));
    setNoteColor(chosen);
}
