// Vistel: the program's entry point.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <string>
#include <vector>

#include "shell/belv_app.h"
#include "shell/main_frame.h"

namespace {

// A termination request (logout, shutdown, kill) closes the main window as
// the user would, so the working file is finished and the settings written.
int terminationPipe[2] = {-1, -1};

void OnTerminate(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(terminationPipe[1], &c, 1);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  std::vector<std::string> arguments;
  for (const QString& a : QCoreApplication::arguments()) arguments.push_back(a.toStdString());
  CBelvAppApp app;
  if (!app.InitInstance(arguments)) {
    app.ExitInstance();
    return 1;
  }
  std::unique_ptr<QSocketNotifier> notifier;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) == 0) {
    notifier = std::make_unique<QSocketNotifier>(terminationPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [&app] {
      char c;
      [[maybe_unused]] const ssize_t n = ::read(terminationPipe[0], &c, 1);
      if (app.Frame()) app.Frame()->close();
    });
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
  }
  const int result = QApplication::exec();
  app.ExitInstance();
  return result;
}
