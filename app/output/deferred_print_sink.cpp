#include "app/output/deferred_print_sink.h"

#include "app/output/qt_print_sink.h"

namespace veltrix {

DeferredPrintSink::DeferredPrintSink(PrinterChooser chooser) : m_choose(std::move(chooser)) {}

DeferredPrintSink::~DeferredPrintSink() {
  finishJob();
}

bool DeferredPrintSink::beginDocument(std::string_view title) {
  if (!m_chosen) {
    if (!m_choose || !m_choose(m_printer)) return false;
    m_chosen = true;
  }
  if (!m_job) m_job = std::make_unique<QtPrintSink>(m_printer);
  return m_job->beginDocument(title);
}

Canvas& DeferredPrintSink::canvas() {
  return m_job ? m_job->canvas() : m_idleCanvas;
}

Rect DeferredPrintSink::pageRect() const {
  return m_job ? m_job->pageRect() : Rect{};
}

bool DeferredPrintSink::landscape() const {
  return m_job ? m_job->landscape() : false;
}

bool DeferredPrintSink::endDocument() {
  return m_job ? m_job->endDocument() : false;
}

bool DeferredPrintSink::finishJob() {
  if (!m_job) return true;
  const bool finished = m_job->finish();
  m_job.reset();
  return finished;
}

}  // namespace veltrix
