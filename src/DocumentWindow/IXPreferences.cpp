#include "DocumentWindow/IXPreferences.h"

#include "DocumentWindow/IXDocumentController.h"
#include "IXBundleVersion.h"
#include "Platform/Core/PLLog.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/System/PLResources.h"

#include <QFile>
#include <QFont>
#include <QSettings>

#include <cmath>

const QString IXPreferences::ApplicationLayoutModeKey = QStringLiteral("IXApplicationLayoutMode");
const QString IXPreferences::CheckForUpdateOnStartKey = QStringLiteral("IXCheckForUpdateOnStart");
const QString IXPreferences::BuildNumberKey = QStringLiteral("IXBuildNumber");
const QString IXPreferences::DocumentAutosavingDelayKey = QStringLiteral("IXDocumentAutosavingDelayMinutes");
const QString IXPreferences::TextNoteEditorFontAttributesKey = QStringLiteral("IXTextNoteEditorFontAttributes");
const QString IXPreferences::TextNoteEditorFontColorKey = QStringLiteral("IXTextNoteEditorFontColor");
const QString IXPreferences::TextNoteEditorVisibleKey = QStringLiteral("IXTextNoteEditorVisible");
const QString IXPreferences::DontShowTemplateChooserKey = QStringLiteral("IXDontShowTemplateChooser");
const QString IXPreferences::LastDocumentFolderKey = QStringLiteral("IXLastDocumentFolder");
const QString IXPreferences::RecentDocumentsKey = QStringLiteral("IXRecentDocuments");

namespace {

QVariantMap defaultsFile(const QString& name)
{
    QFile file(PLResources::pathFor(name + QStringLiteral(".plist")));
    if (!file.open(QIODevice::ReadOnly)) {
        PLLog::write(QStringLiteral("Defaults file '%1' is missing.").arg(name));
        return {};
    }
    PLError error;
    const QVariant list = PLPropertyList::read(file.readAll(), &error);
    if (list.metaType() != QMetaType::fromType<QVariantMap>()) {
        PLLog::write(QStringLiteral("Defaults file '%1' is not a dictionary.").arg(name));
        return {};
    }
    return list.toMap();
}

void writeAll(const QVariantMap& values)
{
    const auto store = IXPreferences::settings();
    for (auto entry = values.begin(); entry != values.end(); ++entry) store->setValue(entry.key(), entry.value());
}

} // namespace

std::unique_ptr<QSettings> IXPreferences::settings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ideaflux"),
                                       QStringLiteral("Ideaflux"));
}

QVariant IXPreferences::value(const QString& key)
{
    return settings()->value(key);
}

void IXPreferences::setValue(const QString& key, const QVariant& value)
{
    if (value.isValid()) {
        settings()->setValue(key, value);
    } else {
        settings()->remove(key);
    }
}

QVariantMap IXPreferences::interfaceDefaults()
{
    return defaultsFile(QStringLiteral("InterfaceDefaults"));
}

QVariantMap IXPreferences::userDefaults()
{
    return defaultsFile(QStringLiteral("UserDefaults"));
}

void IXPreferences::setupDefaultInterface()
{
    writeAll(interfaceDefaults());
}

void IXPreferences::setupDefaultSettings()
{
    setupDefaultInterface();
    writeAll(userDefaults());
}

int IXPreferences::applicationLayoutMode()
{
    return value(ApplicationLayoutModeKey).toInt();
}

int IXPreferences::checkForUpdateOnStart()
{
    return value(CheckForUpdateOnStartKey).toInt();
}

int IXPreferences::preferencesBuildNumber()
{
    return value(BuildNumberKey).toInt();
}

void IXPreferences::setPreferencesBuildNumber(int buildNumber)
{
    setValue(BuildNumberKey, buildNumber);
}

int IXPreferences::bundleBuildNumber()
{
    return QStringLiteral(IX_BUNDLE_VERSION).toInt();
}

void IXPreferences::cleanup()
{
    const auto store = settings();
    store->clear();
    store->sync();
}

bool IXPreferences::resetWhenBuildChanged(int bundleBuild)
{
    const int stored = preferencesBuildNumber();
    if (stored == bundleBuild || stored >= FirstKeptBuild) return false;
    cleanup();
    setPreferencesBuildNumber(bundleBuild);
    setupDefaultSettings();
    settings()->sync();
    return true;
}

int IXPreferences::autosavingDelaySeconds(int currentSeconds, int minutes)
{
    const int currentMinutes = static_cast<int>(std::ceil(currentSeconds / 60.0));
    return currentMinutes == minutes ? currentSeconds : minutes * 60;
}

void IXPreferences::applyAutosavingDelay()
{
    IXDocumentController& controller = IXDocumentController::shared();
    const int minutes = std::max(0, value(DocumentAutosavingDelayKey).toInt());
    controller.setAutosavingDelay(autosavingDelaySeconds(controller.autosavingDelay(), minutes));
}

void IXPreferences::updateSettings()
{
    applyAutosavingDelay();
    if (value(TextNoteEditorFontAttributesKey).isValid()) return;
    const QVariantMap defaults = interfaceDefaults();
    if (defaults.contains(TextNoteEditorFontAttributesKey))
        setValue(TextNoteEditorFontAttributesKey, defaults.value(TextNoteEditorFontAttributesKey));
}

QFont IXPreferences::fontFromAttributes(const QVariantMap& attributes)
{
    QFont font(attributes.value(QStringLiteral("NSFontNameAttribute")).toString());
    const int size = attributes.value(QStringLiteral("NSFontSizeAttribute")).toInt();
    if (size > 0) font.setPointSize(size);
    return font;
}

QVariantMap IXPreferences::attributesFromFont(const QFont& font)
{
    return {{QStringLiteral("NSFontNameAttribute"), font.family()},
            {QStringLiteral("NSFontSizeAttribute"), qRound(font.pointSizeF())}};
}
