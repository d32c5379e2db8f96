// THelpWindow: the help viewer. Topic pages are compiled into the program as resources
// (":/html/<topic>.htm"); the contents and the index are built from the topics of the help map and the
// titles of their pages.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <string_view>

#include "core/shell/help_topics.h"

class QTextBrowser;

namespace veltrix {

class Ui;

class THelpWindow : public QMainWindow, public HelpViewer {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows the window with the table of contents, the alphabetical index, or a topic page. A topic
  // without a compiled page shows a page that names the topic.
  void showContents() override;
  void showIndex();
  void showTopicPage(std::string_view topic) override;
  // The page of a help number; a number the map does not know gives the error box through ui and
  // leaves the window as it is.
  void showTopic(int number, Ui& ui);
  // At exit: closes every help window of the program (there is one).
  void closeAll();

  QTextBrowser* browser() const { return m_browser; }

  // Link targets of the two generated pages, relative to the topic pages.
  static constexpr const char* kContentsPage = "inhalt.htm";
  static constexpr const char* kIndexPage = "index.htm";

  // The generated pages (HTML); built on first use from the page titles.
  QString contentsHtml();
  QString indexHtml();
  // Title of a topic page (its <title>), or the topic name when it has no page.
  QString topicTitle(const QString& topic);

 private:
  struct TopicTitle {
    QString topic;
    QString title;
    HelpArea area;  // its section of the contents
  };

  const QList<TopicTitle>& topicTitles();
  void openPage(const QString& fileName);
  void present();

  QTextBrowser* m_browser = nullptr;
  QList<TopicTitle> m_titles;  // empty until first needed
};

}  // namespace veltrix
