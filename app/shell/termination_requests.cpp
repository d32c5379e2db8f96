#include "app/shell/termination_requests.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace veltrix {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};
int g_sockets[2] = {-1, -1};  // [0] written by the handler, [1] read by the notifier

extern "C" void onTerminationSignal(int signal) {
  const int saved = errno;
  const char number = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(g_sockets[0], &number, 1);
  errno = saved;
}

}  // namespace

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_sockets) != 0) return;
  m_notifier = new QSocketNotifier(g_sockets[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::readRequest);
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

TerminationRequests::~TerminationRequests() {
  for (const int signal : kSignals) std::signal(signal, SIG_DFL);
  delete m_notifier;
  for (int& socket : g_sockets) {
    if (socket >= 0) ::close(socket);
    socket = -1;
  }
}

void TerminationRequests::endAtOnce(int signal) {
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void TerminationRequests::readRequest() {
  char number = 0;
  if (::read(g_sockets[1], &number, 1) == 1) emit requested(number);
}

}  // namespace veltrix
