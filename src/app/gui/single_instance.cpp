#include "app/gui/single_instance.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

namespace vesko::gui {

namespace {

constexpr int kPatienceMs = 2000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kRaised = QByteArrayLiteral("raised\n");

}  // namespace

QString instanceName(const QString& folder) {
  QString canonical = QFileInfo(folder).canonicalFilePath();
  if (canonical.isEmpty()) canonical = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  const QByteArray digest = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
  return QStringLiteral("vesko-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

bool raiseRunningWindow(const QString& folder) {
  QLocalSocket socket;
  socket.connectToServer(instanceName(folder));
  if (!socket.waitForConnected(kPatienceMs)) return false;
  socket.write(kRaise);
  if (!socket.waitForBytesWritten(kPatienceMs)) return false;
  while (socket.bytesAvailable() < kRaised.size())
    if (!socket.waitForReadyRead(kPatienceMs)) return false;
  return socket.readAll().startsWith(kRaised);
}

InstanceBeacon::InstanceBeacon(const QString& folder, std::function<void()> onRaise)
    : server_(std::make_unique<QLocalServer>()), onRaise_(std::move(onRaise)) {
  const QString name = instanceName(folder);
  // A socket left by a window that crashed: the folder lock proves no live
  // window listens on it any more.
  QLocalServer::removeServer(name);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  server_->listen(name);
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->readAll().startsWith(kRaise.trimmed())) return;
        client->write(kRaised);
        client->flush();
        if (onRaise_) onRaise_();
      });
    }
  });
}

InstanceBeacon::~InstanceBeacon() = default;

bool InstanceBeacon::listening() const { return server_->isListening(); }

QString whoHoldsFolder(const QString& lockFile) {
  struct stat info {};
  if (::stat(QFile::encodeName(lockFile).constData(), &info) != 0) return QString();
  // /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF".
  const QString file = QStringLiteral("%1:%2:%3")
                           .arg(major(info.st_dev), 2, 16, QLatin1Char('0'))
                           .arg(minor(info.st_dev), 2, 16, QLatin1Char('0'))
                           .arg(static_cast<qulonglong>(info.st_ino));
  QFile locks(QStringLiteral("/proc/locks"));
  if (!locks.open(QIODevice::ReadOnly)) return QString();
  QTextStream in(&locks);
  for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
    const QStringList fields = line.simplified().split(QLatin1Char(' '));
    if (fields.size() < 6 || fields[5] != file) continue;
    const QString pid = fields[4];
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
    QString command;
    if (commandLine.open(QIODevice::ReadOnly)) {
      QByteArray raw = commandLine.readAll();
      raw.replace('\0', ' ');
      command = QString::fromLocal8Bit(raw).trimmed();
    }
    return command.isEmpty() ? QStringLiteral("process %1").arg(pid)
                             : QStringLiteral("process %1 (%2)").arg(pid, command);
  }
  return QString();
}

}  // namespace vesko::gui
