// The print port over QPrinter: every document the print manager begins is one page of a single
// printer job, which ends with finish() (or when the sink goes away). The printer is either one set
// up by the print dialog or a PDF file of the sink's own.
#pragma once

#include <QPainter>
#include <QString>
#include <memory>
#include <optional>

#include "app/shell/qt_canvas.h"
#include "core/base/print_sink.h"

class QPrinter;

namespace veltrix {

class QtPrintSink : public PrintSink {
 public:
  // Prints on a printer the caller has set up and keeps alive.
  explicit QtPrintSink(QPrinter& printer);
  // Prints into a PDF file of this name.
  explicit QtPrintSink(const QString& pdfFileName);
  ~QtPrintSink() override;
  QtPrintSink(const QtPrintSink&) = delete;
  QtPrintSink& operator=(const QtPrintSink&) = delete;

  bool beginDocument(std::string_view title) override;
  Canvas& canvas() override;
  Rect pageRect() const override;
  bool landscape() const override;
  bool endDocument() override;

  // Ends the job; false when the printer reported a failure. Nothing more can be printed afterwards.
  bool finish();
  int pagesPrinted() const { return m_pages; }
  QPrinter& printer() { return *m_printer; }

 private:
  std::unique_ptr<QPrinter> m_ownPrinter;
  QPrinter* m_printer = nullptr;
  QPainter m_painter;
  std::optional<QtCanvas> m_canvas;
  QtCanvas m_idleCanvas;
  bool m_pageOpen = false;
  bool m_finished = false;
  int m_pages = 0;
};

}  // namespace veltrix
