#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class QFont;
class QSettings;

// The application's settings (user defaults): a QSettings store under the application's name,
// "Ideaflux". The defaults come from two property lists in the resources, "InterfaceDefaults"
// (window and panel layout) and "UserDefaults" (everything else); the reset of an old build's
// settings and the autosave delay are applied here. The preferences window is
// IXPreferencesWindow.
class IXPreferences {
public:
    static const QString ApplicationLayoutModeKey;        // "IXApplicationLayoutMode"
    static const QString CheckForUpdateOnStartKey;        // "IXCheckForUpdateOnStart"
    static const QString BuildNumberKey;                  // "IXBuildNumber"
    static const QString DocumentAutosavingDelayKey;      // "IXDocumentAutosavingDelayMinutes"
    static const QString TextNoteEditorFontAttributesKey; // "IXTextNoteEditorFontAttributes"
    static const QString TextNoteEditorFontColorKey;      // "IXTextNoteEditorFontColor"
    static const QString TextNoteEditorVisibleKey;  // "IXTextNoteEditorVisible"
    static const QString DontShowTemplateChooserKey;      // "IXDontShowTemplateChooser"
    static const QString LastDocumentFolderKey;           // "IXLastDocumentFolder"
    static const QString RecentDocumentsKey;              // "IXRecentDocuments"
    // Stored builds below this one had settings this build cannot read.
    static constexpr int FirstKeptBuild = 27;

    // A store over the application's settings (cheap: stores share one cache).
    static std::unique_ptr<QSettings> settings();
    static QVariant value(const QString& key);
    static void setValue(const QString& key, const QVariant& value);

    // The dictionaries of the two default files; empty when a file is missing or unreadable.
    static QVariantMap interfaceDefaults();
    static QVariantMap userDefaults();
    // Writes every key of "InterfaceDefaults", overwriting.
    static void setupDefaultInterface();
    // setupDefaultInterface, then every key of "UserDefaults", overwriting.
    static void setupDefaultSettings();

    static int applicationLayoutMode();
    static int checkForUpdateOnStart();
    static int preferencesBuildNumber();
    static void setPreferencesBuildNumber(int buildNumber);
    // The build number of this program ("CFBundleVersion"), made by the build.
    static int bundleBuildNumber();
    // Removes every setting of the application.
    static void cleanup();
    // At start-up: when the stored build differs from bundleBuild and is below FirstKeptBuild,
    // clears the settings, stores bundleBuild and installs the defaults. True when it did.
    // This is the only writer of the build number.
    static bool resetWhenBuildChanged(int bundleBuild);
    // Applies the autosave delay, then fills in a missing note editor font from
    // "InterfaceDefaults".
    static void updateSettings();
    // The autosave delay in minutes against the document controller's current delay in
    // seconds: the new delay in seconds, or the current one when the minutes already match
    // (the current delay rounded up to whole minutes).
    static int autosavingDelaySeconds(int currentSeconds, int minutes);
    // Applies "IXDocumentAutosavingDelayMinutes" to the document controller.
    static void applyAutosavingDelay();

    // The note editor's font setting, a dictionary of "NSFontNameAttribute" (family) and
    // "NSFontSizeAttribute" (points, whole), as a font and back.
    static QFont fontFromAttributes(const QVariantMap& attributes);
    static QVariantMap attributesFromFont(const QFont& font);

    // Which panels the layouts offer.
    static bool showFloatingNoteEditor() { return false; }
    static bool showDocumentNoteEditor() { return false; }
    static bool showInspectorNoteEditor() { return false; }
    static bool showFloatingObjectList() { return false; }
    static bool showDocumentObjectList() { return false; }
    static bool showDocumentInspector() { return false; }
    static bool showInspectorObjectList() { return true; }
    static bool showFloatingInspector() { return true; }
};
