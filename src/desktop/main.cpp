// Starts the program with its main window over the user's data folder.
#include <QApplication>

#include "desktop/desktop.h"
#include "store/tables.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName("zuvo");
  QGuiApplication::setDesktopFileName("zuvo");
  zuvo::desktop::Desktop desktop(zuvo::defaultDataDir());
  desktop.start();
  if (desktop.app().ended()) return 0;
  return qt.exec();
}
