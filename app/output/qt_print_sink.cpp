#include "app/output/qt_print_sink.h"

#include <QPageLayout>
#include <QPrinter>

#include "app/shell/qt_text.h"

namespace veltrix {

QtPrintSink::QtPrintSink(QPrinter& printer) : m_printer(&printer), m_idleCanvas(&printer) {}

QtPrintSink::QtPrintSink(const QString& pdfFileName)
    : m_ownPrinter(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_printer(m_ownPrinter.get()),
      m_idleCanvas(m_ownPrinter.get()) {
  m_printer->setOutputFormat(QPrinter::PdfFormat);
  m_printer->setOutputFileName(pdfFileName);
}

QtPrintSink::~QtPrintSink() {
  finish();
}

bool QtPrintSink::beginDocument(std::string_view title) {
  if (m_finished) return false;
  if (!m_painter.isActive()) {
    m_printer->setDocName(toQString(title));
    if (!m_painter.begin(m_printer)) return false;
    m_canvas.emplace(m_painter);
  } else if (!m_printer->newPage()) {
    return false;
  }
  m_pageOpen = true;
  ++m_pages;
  return true;
}

Canvas& QtPrintSink::canvas() {
  // Between pages the canvas only measures, so a stray call draws nothing.
  if (m_pageOpen && m_canvas) return *m_canvas;
  return m_idleCanvas;
}

Rect QtPrintSink::pageRect() const {
  const QRect page = m_printer->pageLayout().paintRectPixels(m_printer->resolution());
  return Rect{0, 0, page.width(), page.height()};
}

bool QtPrintSink::landscape() const {
  return m_printer->pageLayout().orientation() == QPageLayout::Landscape;
}

bool QtPrintSink::endDocument() {
  if (!m_pageOpen) return false;
  m_pageOpen = false;
  return m_printer->printerState() != QPrinter::Error;
}

bool QtPrintSink::finish() {
  if (m_finished) return true;
  m_finished = true;
  m_pageOpen = false;
  m_canvas.reset();
  if (!m_painter.isActive()) return true;
  return m_painter.end();
}

}  // namespace veltrix
