// One chat window per working folder. The window that holds a folder listens
// on a local socket named after the folder; a second start on the same folder
// asks it to come to the front instead of failing. When another kind of Vesko
// (the terminal chat, a pipe) holds the folder, whoHoldsFolder says which.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace vesko::gui {

// The socket name for `folder`, the same for every process of this user.
QString instanceName(const QString& folder);

// Asks the window on `folder` to come to the front; true when one answered.
bool raiseRunningWindow(const QString& folder);

// Listens for raiseRunningWindow on `folder` while it lives and calls
// `onRaise` for each request.
class InstanceBeacon final : public QObject {
  Q_OBJECT

 public:
  // REQUIRES: this process holds the folder lock of `folder`.
  InstanceBeacon(const QString& folder, std::function<void()> onRaise);
  ~InstanceBeacon() override;
  bool listening() const;

 private:
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> onRaise_;
};

// "process 1234 (vesko chat)" for the process that holds the lock file
// `lockFile`, from the system's lock table; empty when it cannot be told.
QString whoHoldsFolder(const QString& lockFile);

}  // namespace vesko::gui
