#include "app/shell/help_window.h"

#include <QAction>
#include <QCollator>
#include <QFile>
#include <QKeySequence>
#include <QLocale>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "app/shell/qt_text.h"
#include "core/base/ui.h"

namespace veltrix {
namespace {

const QString kPageFolder = QStringLiteral("/html/");

QString pageUrl(const QString& fileName) {
  return QStringLiteral("qrc:") + kPageFolder + fileName;
}

QString resourceFile(const QString& topic) {
  return QLatin1Char(':') + kPageFolder + topic + QStringLiteral(".htm");
}

QString pageFrame(const QString& title, const QString& body) {
  return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") + title.toHtmlEscaped() +
         QStringLiteral("</title></head><body>") + body + QStringLiteral("</body></html>");
}

QString navigationLine() {
  return QStringLiteral("<hr><p><a href=\"%1\">Inhalt</a> | <a href=\"%2\">Index</a></p>")
      .arg(QLatin1String(THelpWindow::kContentsPage), QLatin1String(THelpWindow::kIndexPage));
}

QString link(const QString& topic, const QString& title) {
  return QStringLiteral("<a href=\"%1.htm\">%2</a>").arg(topic, title.toHtmlEscaped());
}

// The page shown for a topic of the map that has no compiled page yet.
QString missingPage(const QString& topic) {
  const QString heading = QString::fromUtf8("Hilfethema „%1“").arg(topic);
  return pageFrame(heading,
                   QStringLiteral("<h1>") + heading.toHtmlEscaped() + QStringLiteral("</h1>") +
                       QString::fromUtf8("<p>Zu diesem Thema ist noch kein Hilfetext vorhanden.</p>") +
                       navigationLine());
}

// A browser that serves the generated contents and index pages and the page for a topic without a
// file; every other page comes from the resources.
class HelpBrowser : public QTextBrowser {
 public:
  HelpBrowser(THelpWindow& owner, QWidget* parent) : QTextBrowser(parent), m_owner(owner) {}

  QVariant loadResource(int type, const QUrl& name) override {
    if (type != QTextDocument::HtmlResource || name.scheme() != QStringLiteral("qrc") ||
        !name.path().startsWith(kPageFolder))
      return QTextBrowser::loadResource(type, name);
    const QString fileName = name.path().mid(kPageFolder.size());
    if (fileName == QLatin1String(THelpWindow::kContentsPage)) return m_owner.contentsHtml();
    if (fileName == QLatin1String(THelpWindow::kIndexPage)) return m_owner.indexHtml();
    QFile file(QLatin1Char(':') + name.path());
    if (file.open(QIODevice::ReadOnly)) return file.readAll();  // UTF-8, declared in each page
    QString topic = fileName;
    if (topic.endsWith(QStringLiteral(".htm"))) topic.chop(4);
    return missingPage(topic);
  }

 private:
  THelpWindow& m_owner;
};

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Hilfe"));
  m_browser = new HelpBrowser(*this, this);
  m_browser->setOpenExternalLinks(false);
  setCentralWidget(m_browser);

  QToolBar* bar = addToolBar(QStringLiteral("Hilfe"));
  bar->setMovable(false);
  QAction* contents = bar->addAction(QStringLiteral("&Inhalt"));
  QAction* index = bar->addAction(QStringLiteral("In&dex"));
  QAction* back = bar->addAction(QString::fromUtf8("&Zurück"));
  QAction* forward = bar->addAction(QString::fromUtf8("&Vorwärts"));
  QAction* close = bar->addAction(QString::fromUtf8("&Schließen"));
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QAction::triggered, this, [this] { showContents(); });
  connect(index, &QAction::triggered, this, [this] { showIndex(); });
  connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
  connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
  connect(close, &QAction::triggered, this, &QWidget::close);
  connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Hilfe") : QString::fromUtf8("Hilfe – ") + title);
  });
  resize(720, 600);
}

void THelpWindow::showContents() {
  openPage(QLatin1String(kContentsPage));
}

void THelpWindow::showIndex() {
  openPage(QLatin1String(kIndexPage));
}

void THelpWindow::showTopicPage(std::string_view topic) {
  openPage(toQString(topic) + QStringLiteral(".htm"));
}

void THelpWindow::showTopic(int number, Ui& ui) {
  ShowHelpTopic(number, *this, ui);
}

void THelpWindow::closeAll() {
  close();
}

void THelpWindow::openPage(const QString& fileName) {
  m_browser->setSource(QUrl(pageUrl(fileName)), QTextDocument::HtmlResource);
  present();
}

void THelpWindow::present() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

QString THelpWindow::topicTitle(const QString& topic) {
  QFile file(resourceFile(topic));
  if (!file.open(QIODevice::ReadOnly)) return topic;
  QTextDocument page;
  page.setHtml(QString::fromUtf8(file.readAll()));
  const QString title = page.metaInformation(QTextDocument::DocumentTitle).trimmed();
  return title.isEmpty() ? topic : title;
}

const QList<THelpWindow::TopicTitle>& THelpWindow::topicTitles() {
  if (m_titles.isEmpty()) {
    for (const HelpTopicEntry& entry : DistinctHelpTopics()) {
      const QString topic = toQString(entry.topic);
      m_titles.append({topic, topicTitle(topic), HelpTopicArea(entry)});
    }
  }
  return m_titles;
}

QString THelpWindow::contentsHtml() {
  QString body = QStringLiteral("<h1>Inhalt</h1><p><a href=\"%1\">Index</a> (alle Themen alphabetisch)</p>")
                     .arg(QLatin1String(kIndexPage));
  for (const HelpArea area : HelpAreasInOrder()) {
    QString items;
    for (const TopicTitle& entry : topicTitles())
      if (entry.area == area) items += QStringLiteral("<li>") + link(entry.topic, entry.title);
    if (items.isEmpty()) continue;
    body += QStringLiteral("<h2>") + toQString(HelpAreaTitle(area)).toHtmlEscaped() +
            QStringLiteral("</h2><ul>") + items + QStringLiteral("</ul>");
  }
  return pageFrame(QStringLiteral("Inhalt"), body);
}

QString THelpWindow::indexHtml() {
  QList<TopicTitle> sorted = topicTitles();
  QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(sorted.begin(), sorted.end(), [&collator](const TopicTitle& a, const TopicTitle& b) {
    return collator.compare(a.title, b.title) < 0;
  });

  QString body =
      QStringLiteral("<h1>Index</h1><p><a href=\"%1\">Inhalt</a></p>").arg(QLatin1String(kContentsPage));
  QChar letter;
  for (const TopicTitle& entry : sorted) {
    // "Ä" is filed under "A", as in a printed index.
    const QString base = entry.title.normalized(QString::NormalizationForm_D);
    const QChar first = base.isEmpty() ? QChar(u'?') : base.at(0).toUpper();
    if (first != letter) {
      if (!letter.isNull()) body += QStringLiteral("</ul>");
      body += QStringLiteral("<h2>") + QString(first).toHtmlEscaped() + QStringLiteral("</h2><ul>");
      letter = first;
    }
    body += QStringLiteral("<li>") + link(entry.topic, entry.title);
  }
  if (!letter.isNull()) body += QStringLiteral("</ul>");
  return pageFrame(QStringLiteral("Index"), body);
}

}  // namespace veltrix
