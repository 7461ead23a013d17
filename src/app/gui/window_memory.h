// WindowMemory: what the chat window remembers between runs that is no
// setting of the chat itself: its size and place, and the folder each kind of
// file dialog was last used in. config.dat keeps the chat's own settings.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QSettings;

namespace vesko::gui {

class WindowMemory {
 public:
  // Kinds of file, each with a folder of its own.
  static constexpr const char* kMinds = "minds";
  static constexpr const char* kTranscripts = "transcripts";
  static constexpr const char* kTexts = "texts";

  // Keeps its values in `file`; an empty name uses the user's settings of
  // the program (~/.config/Vesko/Vesko.conf).
  explicit WindowMemory(const QString& file);
  ~WindowMemory();

  // The folder last used for `kind` while it can still be listed, else
  // `fallback` (the working folder).
  QString folder(const char* kind, const QString& fallback) const;
  // Remembers the folder of `path` (a file, or a folder itself) for `kind`.
  void rememberFolderOf(const char* kind, const QString& path, bool isFolder = false);

  // Customize > Show Why: off until the user turns it on.
  bool showWhy() const;
  void setShowWhy(bool on);

  QByteArray geometry() const;
  void setGeometry(const QByteArray& geometry);

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace vesko::gui
