#include "app/gui/chat_window_main.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "app/folder_lock.h"
#include "app/gui/chat_window.h"
#include "app/gui/prompter.h"
#include "app/gui/qt_text.h"
#include "app/gui/single_instance.h"
#include "app/stop_signal.h"
#include "app/version.h"
#include "app/working_folder.h"

#ifndef VESKO_HOME_PAGE
#define VESKO_HOME_PAGE ""
#endif

namespace vesko::gui {

namespace {

bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Qt ends the process when it cannot open its platform, so the window is not
// tried at all where no platform can be found.
// A local X display (":0", ":1.0") must also have its socket, or Qt would end
// the process on a stale DISPLAY left over from an earlier login.
bool platformAvailable() {
  if (isSet("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY")) return true;
  if (!isSet("DISPLAY")) return false;
  const std::string display = std::getenv("DISPLAY");
  if (display.empty() || display[0] != ':') return true;  // a remote display: let Qt try it
  const std::string number = display.substr(1, display.find('.') - 1);
  return std::filesystem::exists("/tmp/.X11-unix/X" + number);
}

// Qt aborts the process when its platform cannot be opened: a remote display
// that is gone, WAYLAND_DISPLAY without the Wayland plugin. A child process
// tries first; only when it could open the platform does this one.
bool platformOpens(int argc, char** argv) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && (std::string(platform) == "offscreen" || std::string(platform) == "minimal")) return true;
  const pid_t child = ::fork();
  if (child < 0) return true;  // cannot tell: let Qt try
  if (child == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) {
      ::dup2(quiet, STDOUT_FILENO);
      ::dup2(quiet, STDERR_FILENO);
    }
    int childArgc = argc;
    QGuiApplication probe(childArgc, argv);
    ::_exit(0);
  }
  // An unreachable remote display may hang: give it ten seconds.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The installed icon (packaging/vesko.svg: a smiling speech bubble with a
// sprout) drawn shape for shape, for a desktop whose icon theme lacks it.
QIcon drawnIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 128.0, size / 128.0);  // the drawing's own 128 x 128 units
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(8, 18, 112, 76), 16, 16);
    QPainterPath tail;
    tail.addPolygon(QPolygonF({QPointF(56, 93), QPointF(34, 114), QPointF(34, 93)}));
    bubble = bubble.united(tail);
    QLinearGradient fill(0, 18, 0, 114);
    fill.setColorAt(0, QColor(0x4f, 0x8f, 0xd8));
    fill.setColorAt(1, QColor(0x2c, 0x5f, 0xa3));
    painter.setPen(QPen(QColor(0x1e, 0x44, 0x78), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(bubble);
    painter.setPen(Qt::NoPen);
    for (const auto& [eye, pupil] : {std::pair{QPointF(42, 52), QPointF(44, 53)}, {QPointF(86, 52), QPointF(88, 53)}}) {
      painter.setBrush(Qt::white);
      painter.drawEllipse(eye, 8, 8);
      painter.setBrush(QColor(0x1e, 0x2a, 0x3a));
      painter.drawEllipse(pupil, 3.5, 3.5);
    }
    QPainterPath smile(QPointF(46, 72));
    smile.quadTo(64, 84, 82, 72);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(smile);
    painter.setPen(QPen(QColor(0x3d, 0x8b, 0x3d), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(64, 18), QPointF(64, 8));
    QPainterPath leaves(QPointF(64, 10));
    leaves.quadTo(52, 2, 46, 12);
    leaves.quadTo(56, 18, 64, 10);
    leaves.quadTo(76, 0, 84, 9);
    leaves.quadTo(74, 17, 64, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5c, 0xb8, 0x5c));
    painter.drawPath(leaves);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon applicationIcon() { return QIcon::fromTheme(QStringLiteral("vesko"), drawnIcon()); }

// Tells the user on standard error and, since a desktop start has no
// terminal, in a message box.
void reportStartFailure(const QString& text) {
  std::cerr << "vesko: " << text.toStdString() << std::endl;
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

int runChatWindow(int argc, char** argv, const app::GlobalOptions& options) {
  if (!platformAvailable() || !platformOpens(argc, argv)) return -1;
  int qtArgc = argc;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Vesko"));
  QApplication::setOrganizationName(QStringLiteral("Vesko"));
  // Wayland and the task bars find the icon and name through the desktop file.
  QGuiApplication::setDesktopFileName(QStringLiteral("vesko"));
  QApplication::setWindowIcon(applicationIcon());

  const app::FolderChoice choice = app::chooseWorkingFolder(options.home, app::FolderUse::kInteractive,
                                                            app::currentDirectory(), app::processEnvironment);
  if (!choice.ok()) {
    reportStartFailure(toQString(choice.error));
    return 1;
  }
  const QString folder = toQString(choice.folder);
  if (raiseRunningWindow(folder)) {
    std::cerr << "vesko: the chat window on " << choice.folder << " is already open; it was brought to the front"
              << std::endl;
    return 0;
  }
  std::ostringstream problems;
  const auto workspace = app::Workspace::open(options, problems, app::MindUse::kChooses);
  if (!workspace) {
    QString text = toQString(problems.str()).trimmed();
    if (text.startsWith(QStringLiteral("vesko: "))) text.remove(0, 7);
    const QString holder = whoHoldsFolder(folder + QString::fromLatin1(app::kLockFileName));
    if (!holder.isEmpty())
      text = QStringLiteral("Another Vesko, %1, is using the folder %2.\n\nEnd it first, then start Vesko again.")
                 .arg(holder, folder);
    reportStartFailure(text);
    return 1;
  }
  // Warnings of a damaged config.dat still go to a terminal, if there is one.
  std::cerr << problems.str() << std::flush;
  const std::string workingFolder = workspace->folder();
  const std::optional<std::uint32_t> seed = options.seed;

  ScreenPrompter prompter;
  ChatWindowSetup setup;
  setup.workingFolder = workingFolder;
  setup.prompter = &prompter;
  setup.homePage = VESKO_HOME_PAGE;
  if (seed) {
    setup.environment = [seed] {
      BrainEnvironment environment;
      environment.random = std::make_unique<SeededRandom>(*seed);
      return environment;
    };
  }
  CChatDlg window(std::move(setup));
  InstanceBeacon beacon(folder, [&window] {
    window.showNormal();
    window.raise();
    window.activateWindow();
  });
  // SIGTERM (a logout, a kill) and Ctrl-C in the starting terminal close the
  // window the way every close goes, with the mind saved.
  app::installStopHandlers();
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, &window, [&window] {
    if (app::stopRequested()) window.closeWithoutQuestions();
  });
  stopWatch.start(200);
  window.show();
  window.initialise();
  if (!window.isClosed()) window.exec();
  return 0;
}

}  // namespace vesko::gui
