#include "app/gui/mind_files.h"

#include <QDir>
#include <QFileInfo>

namespace vesko::gui {

FileChoice mindFileChoice(const QString& caption, const QString& startAt) {
  return FileChoice{caption, QStringLiteral("Vesko mind files (*.mnd);;All files (*)"), QStringLiteral("mnd"), true,
                    startAt};
}

QString withMindExtension(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QStringLiteral(".mnd");
}

bool sameFile(const QString& a, const QString& b) {
  const auto normal = [](const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
  };
  return !a.isEmpty() && !b.isEmpty() && normal(a) == normal(b);
}

}  // namespace vesko::gui
