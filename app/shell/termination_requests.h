// SIGTERM and SIGINT (the desktop session ends, `kill`, Ctrl+C in a terminal) as a Qt signal from the
// event loop. The signal handler only writes the signal's number into a socket pair; a QSocketNotifier
// reads it, so everything else happens outside the handler.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace veltrix {

class TerminationRequests : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one object at a time.
  explicit TerminationRequests(QObject* parent = nullptr);
  // Restores the default handling.
  ~TerminationRequests() override;

  // Ends the process at once, as the signal would have without a handler.
  static void endAtOnce(int signal);

 signals:
  void requested(int signal);

 private:
  void readRequest();

  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace veltrix
