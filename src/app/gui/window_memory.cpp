#include "app/gui/window_memory.h"

#include <QFileInfo>
#include <QSettings>

namespace vesko::gui {

namespace {

QString folderKey(const char* kind) { return QStringLiteral("folders/") + QLatin1String(kind); }

}  // namespace

WindowMemory::WindowMemory(const QString& file)
    : settings_(file.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("Vesko"), QStringLiteral("Vesko"))
                               : std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

WindowMemory::~WindowMemory() = default;

QString WindowMemory::folder(const char* kind, const QString& fallback) const {
  const QString remembered = settings_->value(folderKey(kind)).toString();
  const QFileInfo info(remembered);
  // A folder removed or made unreadable since is no place to start a dialog.
  if (!remembered.isEmpty() && info.isDir() && info.isReadable() && info.isExecutable()) return remembered;
  return fallback;
}

void WindowMemory::rememberFolderOf(const char* kind, const QString& path, bool isFolder) {
  if (path.isEmpty()) return;
  const QFileInfo info(path);
  settings_->setValue(folderKey(kind), isFolder ? info.absoluteFilePath() : info.absolutePath());
}

bool WindowMemory::showWhy() const { return settings_->value(QStringLiteral("window/showWhy"), false).toBool(); }

void WindowMemory::setShowWhy(bool on) {
  settings_->setValue(QStringLiteral("window/showWhy"), on);
  settings_->sync();
}

QByteArray WindowMemory::geometry() const { return settings_->value(QStringLiteral("window/geometry")).toByteArray(); }

void WindowMemory::setGeometry(const QByteArray& geometry) {
  settings_->setValue(QStringLiteral("window/geometry"), geometry);
  settings_->sync();
}

}  // namespace vesko::gui
