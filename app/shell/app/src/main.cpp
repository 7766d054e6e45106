// Vistel: the program's entry point.
#include <QApplication>
#include <string>
#include <vector>

#include "shell/belv_app.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  std::vector<std::string> arguments;
  for (const QString& a : QCoreApplication::arguments()) arguments.push_back(a.toStdString());
  CBelvAppApp app;
  if (!app.InitInstance(arguments)) {
    app.ExitInstance();
    return 1;
  }
  const int result = QApplication::exec();
  app.ExitInstance();
  return result;
}
