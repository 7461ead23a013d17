// Runs every QtTest class of the window on one QApplication, offscreen
// unless the caller chose a platform.
#include <QApplication>

namespace vesko::gui {
int runChatWindowTests(int argc, char** argv);
int runDialogTests(int argc, char** argv);
int runDesktopTests(int argc, char** argv);
}  // namespace vesko::gui

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int dialogFailures = vesko::gui::runDialogTests(argc, argv);
  const int desktopFailures = vesko::gui::runDesktopTests(argc, argv);
  return dialogFailures + desktopFailures + vesko::gui::runChatWindowTests(argc, argv) == 0 ? 0 : 1;
}
