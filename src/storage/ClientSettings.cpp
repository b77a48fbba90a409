#include "storage/ClientSettings.h"

#include "storage/AtomicFile.h"

#include <QDebug>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {
const QString kLanguage = QStringLiteral("Language");
const QString kAutoStart = QStringLiteral("AutoStart");
const QString kMiniTray = QStringLiteral("MiniTray");
const QString kZoomGroup = QStringLiteral("Zoom");

using KeyValues = QMap<QString, QVariant>;

KeyValues allValues(const QSettings& ini)
{
    KeyValues values;
    for (const QString& key : ini.allKeys())
        values.insert(key, ini.value(key));
    return values;
}

// The settings held by INI bytes, read the way the client reads its file.
KeyValues valuesOf(const QString& scratchPath, const QByteArray& bytes)
{
    if (!AtomicFile::write(scratchPath, bytes))
        return {};
    const QSettings ini(scratchPath, QSettings::IniFormat);
    return ini.status() == QSettings::NoError ? allValues(ini) : KeyValues();
}
} // namespace

ClientSettings ClientSettings::read(const QString& path)
{
    const ClientSettings defaults;
    const QSettings ini(path, QSettings::IniFormat);
    ClientSettings settings;
    settings.language = ini.value(kLanguage, defaults.language).toInt();
    settings.autoStart = ini.value(kAutoStart, defaults.autoStart).toBool();
    settings.miniTray = ini.value(kMiniTray, defaults.miniTray).toBool();
    const QStringList keys = ini.allKeys();
    for (const QString& key : keys) {
        if (!key.startsWith(kZoomGroup + QLatin1Char('/')))
            continue;
        bool isNumber = false;
        const double factor = ini.value(key).toDouble(&isNumber);
        if (isNumber && factor >= kMinZoom && factor <= kMaxZoom)
            settings.zoomFactors.insert(key.mid(kZoomGroup.size() + 1), factor);
    }
    return settings;
}

// QSettings would rewrite the file in place and, on a full disk, leave it cut or empty
// while reporting no error. So QSettings edits a scratch copy in a private temporary
// folder, and the result replaces the file through AtomicFile only once it reads back
// with every key it should hold.
bool ClientSettings::write(const QString& path) const
{
    QByteArray old;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qDebug() << "Cannot save" << path << ": the current file cannot be read:" << file.errorString();
            return false;
        }
        old = file.readAll();
        file.close();
    }

    const QTemporaryDir scratch;
    const QString copyPath = scratch.filePath(QStringLiteral("settings.ini"));
    if (!scratch.isValid() || (!old.isEmpty() && !AtomicFile::write(copyPath, old))) {
        qDebug() << "Cannot save" << path << ": no scratch copy could be made";
        return false;
    }

    KeyValues expected;
    {
        QSettings ini(copyPath, QSettings::IniFormat);
        expected = allValues(ini);
        ini.setValue(kLanguage, language);
        ini.setValue(kAutoStart, autoStart);
        ini.setValue(kMiniTray, miniTray);
        ini.remove(kZoomGroup);
        for (auto it = zoomFactors.constBegin(); it != zoomFactors.constEnd(); ++it)
            ini.setValue(kZoomGroup + QLatin1Char('/') + it.key(), it.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) {
            qDebug() << "Cannot save" << path << ": the scratch copy could not be written";
            return false;
        }
    }
    // Read back from the INI text, the values come as text.
    expected.insert(kLanguage, QString::number(language));
    expected.insert(kAutoStart, autoStart ? QStringLiteral("true") : QStringLiteral("false"));
    expected.insert(kMiniTray, miniTray ? QStringLiteral("true") : QStringLiteral("false"));
    for (auto it = expected.begin(); it != expected.end();)
        it = it.key().startsWith(kZoomGroup + QLatin1Char('/')) ? expected.erase(it) : std::next(it);
    for (auto it = zoomFactors.constBegin(); it != zoomFactors.constEnd(); ++it)
        expected.insert(kZoomGroup + QLatin1Char('/') + it.key(), QString::number(it.value()));

    QFile copy(copyPath);
    if (!copy.open(QIODevice::ReadOnly)) {
        qDebug() << "Cannot save" << path << ": the scratch copy cannot be read";
        return false;
    }
    const QByteArray bytes = copy.readAll();
    const QString verifyPath = scratch.filePath(QStringLiteral("verify.ini"));
    return AtomicFile::write(
        path, bytes, [&](const QByteArray& content) { return valuesOf(verifyPath, content) == expected; });
}
