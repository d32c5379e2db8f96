#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "app/shell/file_dialog_frame.h"
#include "app/shell/path_dialog.h"
#include "app/shell/qt_text.h"
#include "app/shell/qt_ui.h"
#include "tests/app/modal_guard.h"

using namespace veltrix;

namespace {

FileRequest fileRequest(const QString& directory, std::string modes, std::string filter,
                        std::string defaultName) {
  FileRequest request;
  request.title = "Datei";
  request.initialDirectory = fromQString(directory);
  request.modes = std::move(modes);
  request.filter = std::move(filter);
  request.defaultName = std::move(defaultName);
  return request;
}

}  // namespace

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ui.setBeepHandler([this] { ++m_beeps; });
    m_beeps = 0;
  }
  void cleanup() {
    m_guard.verifyClean();
    m_dir.reset();
  }

  void statisticsFileDialogRefusesANameOutsideItsFilter() {
    FileRequest request = fileRequest(m_dir->path(), "RC", "Statistikdateien (*.dt*)|*.dt*", ".dt*");
    request.title = "Statistikdatei auswählen oder neu anlegen (neuer Dateiname)";
    request.helpContext = 11000;
    QString boxText;
    bool stayedOpen = false;
    QString filterShown;
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* dialog) {
      filterShown = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
      dialog->setTypedName(QStringLiteral("abc.xyz"));
      dialog->pressOk();
    });
    m_guard.answerNextMessageBox(QStringLiteral("OK"), &boxText);
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* dialog) {
      stayedOpen = dialog->isVisible();
      dialog->setTypedName(QStringLiteral("neu.dt1"));
      dialog->pressOk();
    });
    const std::optional<std::string> chosen = m_ui.selectFile(request);
    QCOMPARE(boxText, QString::fromUtf8("abc.xyz :\n\nUnzulässiger Dateiname!"));
    QVERIFY(stayedOpen);
    QCOMPARE(m_beeps, 1);
    QCOMPARE(filterShown, QStringLiteral("Statistikdateien (*.dt*)"));
    QVERIFY(chosen);
    QCOMPARE(toQString(*chosen), m_dir->filePath("neu.dt1"));
    QVERIFY2(!QFile::exists(m_dir->filePath("neu.dt1")), "an open dialog without A creates nothing");
  }

  void typedNameGetsTheDefaultExtension() {
    const FileRequest request = fileRequest(m_dir->path(), "", "Textdateien (*.txt)|*.txt", ".txt");
    QString acceptText;
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* dialog) {
      acceptText = dialog->acceptButton()->text();
      dialog->setTypedName(QStringLiteral("Neu"));
      dialog->pressOk();
    });
    const std::optional<std::string> chosen = m_ui.selectFile(request);
    QCOMPARE(acceptText, QStringLiteral("&Speichern"));
    QVERIFY(chosen);
    QCOMPARE(toQString(*chosen), m_dir->filePath("Neu.txt"));  // the case is kept
  }

  void saveDialogAsksBeforeOverwritingAndNoKeepsItOpen() {
    QFile existing(m_dir->filePath("out.txt"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    const FileRequest request = fileRequest(m_dir->path(), "AC", "Textdateien (*.txt)|*.txt", ".txt");
    QString boxText;
    bool stayedOpen = false;
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* dialog) {
      dialog->setTypedName(QStringLiteral("out"));
      dialog->pressOk();
    });
    m_guard.answerNextMessageBox(QStringLiteral("Nein"), &boxText);
    m_guard.onNext<TDlgFFrame>([&](TDlgFFrame* dialog) {
      stayedOpen = dialog->isVisible();
      dialog->reject();
    });
    QCOMPARE(m_ui.selectFile(request), std::nullopt);
    QVERIFY(stayedOpen);
    QCOMPARE(boxText,
             m_dir->filePath("out.txt") + QString::fromUtf8(" : \nDatei existiert schon!\n\nÜberschreiben!"));
    QCOMPARE(m_beeps, 1);
  }

  void resizableOnlyWithSAndHelpOnlyWithAContext() {
    int help = 0;
    FileRequest request = fileRequest(m_dir->path(), "R", "", "");
    TDlgFFrame fixed(nullptr, m_ui, request, [&](int number) { help = number; });
    QCOMPARE(fixed.minimumSize(), fixed.maximumSize());
    QVERIFY2(!fixed.helpButton(), "help context 0");
    QCOMPARE(fixed.acceptMode(), QFileDialog::AcceptOpen);

    request.modes = "RS";
    request.helpContext = 11000;
    TDlgFFrame resizable(nullptr, m_ui, request, [&](int number) { help = number; });
    QVERIFY(resizable.minimumSize() != resizable.maximumSize());
    QVERIFY(resizable.helpButton());
    resizable.helpButton()->click();
    QCOMPARE(help, 11000);
    TDlgFFrame withoutHandler(nullptr, m_ui, request, {});
    QVERIFY(!withoutHandler.helpButton());
  }

  void restrictedPathDialogSnapsBackToTheStartDirectory() {
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("start/unter")));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("anders")));
    const QString start = m_dir->filePath("start");
    PathRequest request;
    request.title = "Pfad";
    request.initialDirectory = fromQString(start);
    request.restricted = true;
    int help = 0;
    TPathDlg dialog(nullptr, request, [&](int number) { help = number; });
    QCOMPARE(dialog.currentDirectory(), start);
    QVERIFY(dialog.isRestrictionShown());
    QCOMPARE(dialog.restrictionText(), QStringLiteral("Nur Startverzeichnis  ") + start +
                                           QString::fromUtf8("   und Unterverzeichnisse zulässig!"));
    QVERIFY2(!dialog.helpButton(), "help context 0");

    dialog.chooseDirectory(m_dir->filePath("start/unter"));
    QCOMPARE(dialog.currentDirectory(), m_dir->filePath("start/unter"));
    // A click in the tree outside the subtree moves the tree back as well.
    auto* model = qobject_cast<QFileSystemModel*>(dialog.treeView()->model());
    dialog.treeView()->setCurrentIndex(model->index(m_dir->filePath("anders")));
    QCOMPARE(dialog.currentDirectory(), start);
    QCOMPARE(model->filePath(dialog.treeView()->currentIndex()), start);
    dialog.chooseDirectory(QStringLiteral("/"));
    QCOMPARE(dialog.currentDirectory(), start);
  }

  void pathChoiceReturnsTheNormalisedDirectory() {
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("daten")));
    PathRequest request;
    request.title = "Pfad-Voreinstellung";
    request.initialDirectory = fromQString(m_dir->path());
    request.helpContext = 17000;
    int help = 0;
    m_ui.setHelpHandler([&](int number) { help = number; });
    m_guard.onNext<TPathDlg>([&](TPathDlg* dialog) {
      QVERIFY(!dialog->isRestrictionShown());
      dialog->helpButton()->click();
      dialog->chooseDirectory(m_dir->filePath("daten") + QLatin1Char('/'));
      dialog->pressOk();
    });
    const std::optional<std::string> chosen = m_ui.choosePath(request);
    m_ui.setHelpHandler({});
    QVERIFY(chosen);
    QCOMPARE(toQString(*chosen), m_dir->filePath("daten"));
    QCOMPARE(help, 17000);

    m_guard.onNext<TPathDlg>([](TPathDlg* dialog) { dialog->reject(); });
    QCOMPARE(m_ui.choosePath(request), std::nullopt);
  }

 private:
  test::ModalGuard m_guard;
  QtUi m_ui;
  int m_beeps = 0;
  std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
