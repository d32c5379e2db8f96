// Modal dialogs in Qt tests. A dialog opened with exec() blocks the test until someone answers it, so a
// test queues the answers first: "the next message box: click Nein", "the next file dialog: type a
// name and press OK". The guard watches for each dialog and runs its answer inside the dialog's own
// event loop. It fails the running test for a modal dialog nobody expected (and closes it, so the run
// goes on), for one left open at the end of a test function, and for an expected one that never came.
//
//   test::ModalGuard m_guard;                          // member of the test class
//   void cleanup() { m_guard.verifyClean(); }          // after each test function
//   m_guard.answerNextMessageBox("Nein", &text);       // before the call that shows the box
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

namespace veltrix::test {

class ModalGuard {
 public:
  // How long a modal dialog may stay open without a queued answer for it before the guard closes it as
  // unexpected (this only ends a test that would otherwise hang; it measures nothing).
  static constexpr int kUnexpectedAfterMs = 5000;
  static constexpr int kPollMs = 10;

  ModalGuard() : m_alive(std::make_shared<bool>(true)) { schedulePoll(); }
  ~ModalGuard() { *m_alive = false; }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

  // The next modal dialog of type T gets the action (T = QWidget: any modal dialog). A dialog that is
  // already open when this is called is skipped, so an answer for a message box inside a file dialog
  // waits for the message box.
  template <class T = QWidget>
  void onNext(std::function<void(T*)> action) {
    Pending pending;
    pending.skip = QApplication::activeModalWidget();
    pending.accepts = [](QWidget* modal) { return qobject_cast<T*>(modal) != nullptr; };
    pending.action = [action = std::move(action)](QWidget* modal) { action(qobject_cast<T*>(modal)); };
    m_pending.push_back(std::move(pending));
  }

  // Clicks the button with this text in the next message box; its text (line breaks as "\n") goes to
  // *text when given.
  void answerNextMessageBox(const QString& buttonText, QString* text = nullptr) {
    onNext<QMessageBox>([buttonText, text](QMessageBox* box) {
      if (text) *text = box->text();
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == buttonText) {
          button->click();
          return;
        }
      }
      QTest::qFail(
          qPrintable(QStringLiteral("message box \"%1\" has no button \"%2\"").arg(box->text(), buttonText)),
          __FILE__, __LINE__);
      closeModal(box);
    });
  }

  bool allAnswered() const { return m_pending.empty(); }

  // Call from cleanup(): fails for a modal dialog still open and for queued answers never used, and
  // clears both.
  void verifyClean() {
    for (int guardCount = 0; guardCount < 20; ++guardCount) {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) break;
      QTest::qFail(qPrintable(QStringLiteral("modal dialog left open: %1").arg(describe(modal))), __FILE__,
                   __LINE__);
      closeModal(modal);
    }
    if (!m_pending.empty()) {
      QTest::qFail(
          qPrintable(QStringLiteral("%1 expected modal dialog(s) never appeared").arg(m_pending.size())),
          __FILE__, __LINE__);
      m_pending.clear();
    }
  }

  static QString describe(QWidget* modal) {
    QString text = QString::fromLatin1(modal->metaObject()->className()) + QStringLiteral(" \"") +
                   modal->windowTitle() + QLatin1Char('"');
    if (auto* box = qobject_cast<QMessageBox*>(modal)) text += QStringLiteral(": ") + box->text();
    return text;
  }

  static void closeModal(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (QAbstractButton* escape = box->escapeButton()) {
        escape->click();
        return;
      }
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->done(QDialog::Rejected);
      return;
    }
    modal->close();
  }

 private:
  struct Pending {
    QPointer<QWidget> skip;
    std::function<bool(QWidget*)> accepts;
    std::function<void(QWidget*)> action;
  };

  // One chain of single shots, each scheduling the next before it answers a dialog: the answer may
  // open a nested dialog, whose event loop then runs the next poll.
  void schedulePoll() {
    std::weak_ptr<bool> alive = m_alive;
    QTimer::singleShot(kPollMs, [this, alive] {
      if (alive.expired() || !*alive.lock()) return;
      poll();
    });
  }

  void poll() {
    schedulePoll();
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
      m_waiting = nullptr;
      return;
    }
    if (!m_pending.empty() && modal != m_pending.front().skip && m_pending.front().accepts(modal)) {
      Pending next = std::move(m_pending.front());
      m_pending.pop_front();
      m_waiting = nullptr;
      next.action(modal);
      return;
    }
    if (modal != m_waiting) {
      m_waiting = modal;
      m_waitingSince.start();
    } else if (m_waitingSince.elapsed() > kUnexpectedAfterMs) {
      m_waiting = nullptr;
      QTest::qFail(qPrintable(QStringLiteral("unexpected modal dialog: %1").arg(describe(modal))), __FILE__,
                   __LINE__);
      closeModal(modal);
    }
  }

  std::shared_ptr<bool> m_alive;
  std::deque<Pending> m_pending;
  QPointer<QWidget> m_waiting;
  QElapsedTimer m_waitingSince;
};

}  // namespace veltrix::test
