// One running program per user: the first start listens on a local socket named after the application
// title; a later start hands it a focus request and ends, and the first brings its main window to the
// front.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace veltrix {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Role {
    First,   // this start runs the program and now listens for focus requests
    Second,  // a running program took the focus request: this start ends
    Alone,   // no program runs and listening failed: run without the single-instance rule
  };

  // serverName: the socket name, for the program serverNameFor(its title).
  explicit SingleInstance(QString serverName, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The socket name for a title, one per user ("Veltrix_5.x-1000").
  static QString serverNameFor(const QString& title);

  // Called in the first instance when a later start asks for the focus.
  void setFocusRequestHandler(std::function<void()> handler) { m_onFocusRequest = std::move(handler); }

  // Hands a focus request to a running instance, or becomes the first instance. A socket file left by
  // a program that crashed is removed first.
  Role start();

  const QString& serverName() const { return m_serverName; }
  bool isListening() const;

  // Shows the window restored, on top and active (what the first instance does on a focus request).
  static void bringToFront(QWidget* window);

 private:
  bool sendFocusRequest();
  void acceptConnections();
  void readRequests(QLocalSocket* socket);

  QString m_serverName;
  QLocalServer* m_server = nullptr;
  std::function<void()> m_onFocusRequest;
};

}  // namespace veltrix
