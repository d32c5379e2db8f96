// The printer of the running program. The print manager decides when pages are printed (a full
// buffer, automatic printing, a form feed); only then is the user asked for the printer, once per run
// of the program. Pages go into one printer job that stays open until finishJob(): the main window
// ends it after every forced print (form feed, file change, end of the run), so a PDF file chosen in
// the print dialog receives all pages of the job.
#pragma once

#include <QPrinter>
#include <functional>
#include <memory>

#include "app/shell/qt_canvas.h"
#include "core/base/print_sink.h"

namespace veltrix {

class QtPrintSink;

class DeferredPrintSink : public PrintSink {
 public:
  // Sets up the printer (the print dialog); false when the user cancelled.
  using PrinterChooser = std::function<bool(QPrinter&)>;

  explicit DeferredPrintSink(PrinterChooser chooser);
  ~DeferredPrintSink() override;

  bool beginDocument(std::string_view title) override;
  Canvas& canvas() override;
  Rect pageRect() const override;
  bool landscape() const override;
  bool endDocument() override;

  // Ends the printer job, when one is open; the pages go to the printer.
  bool finishJob();
  bool jobOpen() const { return m_job != nullptr; }

 private:
  PrinterChooser m_choose;
  QPrinter m_printer;
  bool m_chosen = false;
  std::unique_ptr<QtPrintSink> m_job;
  QtCanvas m_idleCanvas;
};

}  // namespace veltrix
