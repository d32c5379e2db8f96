#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <QtTest>
#include <cstring>

#include "app/shell/single_instance.h"

using namespace veltrix;

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_name = QStringLiteral("veltrix-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++m_run);
  }

  void secondStartHandsItsFocusRequestToTheFirst() {
    QVERIFY(SingleInstance::serverNameFor(QStringLiteral("Veltrix_5.x"))
                .startsWith(QStringLiteral("Veltrix_5.x-%1").arg(::getuid())));
    int requests = 0;
    SingleInstance first(m_name);
    first.setFocusRequestHandler([&requests] { ++requests; });
    QCOMPARE(first.start(), SingleInstance::Role::First);
    QVERIFY(first.isListening());

    SingleInstance second(m_name);
    QCOMPARE(second.start(), SingleInstance::Role::Second);
    QVERIFY(!second.isListening());
    QTRY_COMPARE(requests, 1);

    SingleInstance third(m_name);
    QCOMPARE(third.start(), SingleInstance::Role::Second);
    QTRY_COMPARE(requests, 2);
  }

  void socketLeftByACrashedProgramIsReplaced() {
    // A socket file nobody listens on, as a killed program leaves it.
    const QByteArray path = QFile::encodeName(QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + m_name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(static_cast<std::size_t>(path.size()) < sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(QFile::decodeName(path)));

    int requests = 0;
    SingleInstance first(m_name);
    first.setFocusRequestHandler([&requests] { ++requests; });
    QCOMPARE(first.start(), SingleInstance::Role::First);
    SingleInstance second(m_name);
    QCOMPARE(second.start(), SingleInstance::Role::Second);
    QTRY_COMPARE(requests, 1);
  }

  void focusRequestRestoresAMinimisedWindow() {
    QWidget window;
    window.showMinimized();
    QVERIFY(window.isMinimized());
    SingleInstance::bringToFront(&window);
    QVERIFY(!window.isMinimized());
    QVERIFY(window.isVisible());
  }

 private:
  QString m_name;
  int m_run = 0;
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
