#include "app/gui/chat_window_main.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/gui/chat_window.h"
#include "app/gui/prompter.h"
#include "app/stop_signal.h"

#ifndef VESKO_HOME_PAGE
#define VESKO_HOME_PAGE "https://vesko.example.org/"
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

// A speech bubble, drawn rather than shipped as an image file.
QIcon applicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1 * unit, 1 * unit, 14 * unit, 10 * unit), 3 * unit, 3 * unit);
    QPolygonF tail;
    tail << QPointF(4 * unit, 10 * unit) << QPointF(3 * unit, 15 * unit) << QPointF(8 * unit, 10 * unit);
    bubble.addPolygon(tail);
    painter.fillPath(bubble.simplified(), QColor(0, 0, 160));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(8 * unit));
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(1 * unit, 1 * unit, 14 * unit, 10 * unit), Qt::AlignCenter, QStringLiteral("V"));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

int runChatWindow(int argc, char** argv, const std::string& workingFolder, std::optional<std::uint32_t> seed) {
  if (!platformAvailable()) return -1;
  int qtArgc = argc;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Vesko"));
  QApplication::setWindowIcon(applicationIcon());

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
