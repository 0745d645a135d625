// Settings: the default lists, the reset of an old build's settings, the autosave delay and
// the preferences window's bindings.
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXPreferencesWindow.h"
#include "IXShellTestSupport.h"
#include "UtilityWidgets/UTFontTextField.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QPushButton>
#include <QSpinBox>

namespace {

using IXPreferencesTest = ShellTest;

// Settings come back from the store as text; compare through the stored form.
void expectStored(const QVariantMap& expected)
{
    for (auto entry = expected.begin(); entry != expected.end(); ++entry) {
        SCOPED_TRACE(entry.key().toStdString());
        const QVariant stored = IXPreferences::value(entry.key());
        ASSERT_TRUE(stored.isValid());
        if (entry.value().metaType() == QMetaType::fromType<QVariantMap>()) {
            EXPECT_EQ(stored.toMap(), entry.value().toMap());
        } else {
            EXPECT_EQ(stored.toString(), entry.value().toString());
        }
    }
}

TEST_F(IXPreferencesTest, DefaultListsHoldTheKeysTheProgramReads)
{
    const QVariantMap interface = IXPreferences::interfaceDefaults();
    const QVariantMap user = IXPreferences::userDefaults();
    for (const char* key : {"IXApplicationLayoutMode", "IXTextNoteEditorFontAttributes", "IXTextNoteEditorFontColor",
                            "IXTextNoteEditorVisible", "IXTemplateChooserThumbSize", "IXInspectorPanelCount"})
        EXPECT_TRUE(interface.contains(QString::fromUtf8(key))) << key;
    for (const char* key : {"IXCheckForUpdateOnStart", "IXDocumentAutosavingDelayMinutes", "IXDontShowTemplateChooser",
                            "IXSearchOptions", "IXDocumentContinuousSpellChecking"})
        EXPECT_TRUE(user.contains(QString::fromUtf8(key))) << key;
    for (const QString& key : interface.keys()) EXPECT_FALSE(user.contains(key)) << key.toStdString() << " is in both lists";
    EXPECT_FALSE(user.contains(IXPreferences::BuildNumberKey)) << "only the reset writes the build number";
    const QFont font = IXPreferences::fontFromAttributes(interface.value(IXPreferences::TextNoteEditorFontAttributesKey).toMap());
    EXPECT_GT(font.pointSize(), 8);
    EXPECT_FALSE(font.family().isEmpty());

    IXPreferences::setValue(IXPreferences::DocumentAutosavingDelayKey, 99);
    IXPreferences::setupDefaultSettings();
    expectStored(interface);
    expectStored(user);
}

TEST_F(IXPreferencesTest, OldBuildsSettingsAreResetOnce)
{
    const int bundle = IXPreferences::bundleBuildNumber();
    EXPECT_GE(bundle, IXPreferences::FirstKeptBuild) << "settings written by this build must survive the next";
    struct Case {
        int stored; // 0: none stored (first start)
        int bundle;
        bool resets;
    };
    const Case cases[] = {
        {0, 40, true}, {26, 26, false}, {26, 40, true}, {5, 27, true}, {27, 40, false}, {40, 27, false}, {30, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " -> " << c.bundle);
        IXPreferences::cleanup();
        if (c.stored) IXPreferences::setPreferencesBuildNumber(c.stored);
        IXPreferences::setValue(QStringLiteral("IXLeftOver"), 1);
        EXPECT_EQ(IXPreferences::resetWhenBuildChanged(c.bundle), c.resets);
        EXPECT_EQ(IXPreferences::preferencesBuildNumber(), c.resets ? c.bundle : c.stored);
        EXPECT_EQ(IXPreferences::value(QStringLiteral("IXLeftOver")).isValid(), !c.resets);
        EXPECT_EQ(IXPreferences::value(IXPreferences::DocumentAutosavingDelayKey).isValid(), c.resets);
    }
}

TEST_F(IXPreferencesTest, AutosaveDelayCountsWholeMinutes)
{
    struct Case {
        int currentSeconds;
        int minutes;
        int result;
    };
    const Case cases[] = {{90, 2, 90}, {90, 1, 60}, {0, 5, 300}, {300, 0, 0}, {60, 1, 60}, {61, 1, 60}};
    for (const Case& c : cases) {
        EXPECT_EQ(IXPreferences::autosavingDelaySeconds(c.currentSeconds, c.minutes), c.result)
            << c.currentSeconds << " s, " << c.minutes << " min";
    }
    IXDocumentController& controller = IXDocumentController::shared();
    controller.setAutosavingDelay(90);
    IXPreferences::setValue(IXPreferences::DocumentAutosavingDelayKey, 3);
    IXPreferences::updateSettings();
    EXPECT_EQ(controller.autosavingDelay(), 180);
    controller.setAutosavingDelay(0);
}

TEST_F(IXPreferencesTest, UpdateSettingsFillsOnlyAMissingNoteFont)
{
    const QVariantMap mine = {{QStringLiteral("NSFontNameAttribute"), QStringLiteral("Courier")},
                              {QStringLiteral("NSFontSizeAttribute"), 20}};
    IXPreferences::setValue(IXPreferences::TextNoteEditorFontAttributesKey, mine);
    IXPreferences::updateSettings();
    EXPECT_EQ(IXPreferences::value(IXPreferences::TextNoteEditorFontAttributesKey).toMap(), mine);
    IXPreferences::setValue(IXPreferences::TextNoteEditorFontAttributesKey, QVariant());
    IXPreferences::updateSettings();
    EXPECT_EQ(IXPreferences::value(IXPreferences::TextNoteEditorFontAttributesKey).toMap(),
              IXPreferences::interfaceDefaults().value(IXPreferences::TextNoteEditorFontAttributesKey).toMap());
    IXDocumentController::shared().setAutosavingDelay(0);
}

TEST_F(IXPreferencesTest, WindowControlsAreBoundToTheSettings)
{
    IXPreferences::setupDefaultSettings();
    IXPreferencesWindow window;
    window.adjustSize();
    if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS")) {
        QDir().mkpath(QStringLiteral("renders"));
        window.grab().save(QStringLiteral("renders/preferences-window.png"));
    }
    EXPECT_TRUE(window.layoutModeGroup()->button(0)->isChecked());
    EXPECT_TRUE(window.templateChooserBox()->isChecked());
    EXPECT_EQ(window.autosaveField()->value(), IXPreferences::userDefaults().value(IXPreferences::DocumentAutosavingDelayKey).toInt());

    window.layoutModeGroup()->button(1)->click();
    EXPECT_EQ(IXPreferences::applicationLayoutMode(), 1);
    window.templateChooserBox()->click();
    EXPECT_TRUE(IXPreferences::value(IXPreferences::DontShowTemplateChooserKey).toBool());
    window.updateCheckBox()->click();
    EXPECT_EQ(IXPreferences::checkForUpdateOnStart(), 1);
    window.autosaveField()->setValue(7);
    EXPECT_EQ(IXPreferences::value(IXPreferences::DocumentAutosavingDelayKey).toInt(), 7);
    EXPECT_EQ(IXDocumentController::shared().autosavingDelay(), 7 * 60);
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(17);
    window.noteFontField()->changeFont(chosen);
    EXPECT_EQ(IXPreferences::value(IXPreferences::TextNoteEditorFontAttributesKey).toMap(), IXPreferences::attributesFromFont(chosen));
    window.setNoteColor(QColor(255, 0, 0));
    EXPECT_EQ(IXPreferences::value(IXPreferences::TextNoteEditorFontColorKey).toString(), "1,0,0");

    window.resetButton()->click();
    EXPECT_TRUE(window.layoutModeGroup()->button(0)->isChecked());
    EXPECT_TRUE(window.templateChooserBox()->isChecked());
    EXPECT_FALSE(window.updateCheckBox()->isChecked());
    EXPECT_EQ(IXPreferences::value(IXPreferences::TextNoteEditorFontColorKey).toString(),
              IXPreferences::interfaceDefaults().value(IXPreferences::TextNoteEditorFontColorKey).toString());
    EXPECT_EQ(window.noteFontField()->selectedFontAttributes().pointSize(),
              IXPreferences::fontFromAttributes(IXPreferences::interfaceDefaults().value(IXPreferences::TextNoteEditorFontAttributesKey).toMap())
                  .pointSize());
    IXDocumentController::shared().setAutosavingDelay(0);
}

} // namespace
