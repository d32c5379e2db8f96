// A PrintSink for tests: every document is one page drawn on a recording canvas; the sink keeps each
// page's title and calls. Pages are 800 x 1100 pixels unless told otherwise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/base/print_sink.h"
#include "tests/support/recording_canvas.h"

namespace veltrix::test {

class RecordingPrintSink : public PrintSink {
 public:
  struct Page {
    std::string title;
    std::vector<RecordingCanvas::Call> calls;
    bool ended = false;
  };

  explicit RecordingPrintSink(Rect page = {0, 0, 800, 1100}, bool landscape = false)
      : m_page(page), m_landscape(landscape) {}

  void refuse(bool on) { m_refuse = on; }

  bool beginDocument(std::string_view title) override {
    if (m_refuse) return false;
    m_canvas.clear();
    m_pages.push_back(Page{std::string(title), {}, false});
    return true;
  }
  Canvas& canvas() override { return m_canvas; }
  Rect pageRect() const override { return m_page; }
  bool landscape() const override { return m_landscape; }
  bool endDocument() override {
    m_pages.back().calls = m_canvas.calls();
    m_pages.back().ended = true;
    return true;
  }

  // Pages begun so far; the calls of a page still open are on the canvas.
  const std::vector<Page>& pages() const { return m_pages; }
  const RecordingCanvas& openCanvas() const { return m_canvas; }
  std::vector<RecordingCanvas::Call> callsOf(std::size_t page, RecordingCanvas::Kind kind) const {
    std::vector<RecordingCanvas::Call> result;
    const auto& calls = m_pages[page].ended ? m_pages[page].calls : m_canvas.calls();
    for (const auto& call : calls)
      if (call.kind == kind) result.push_back(call);
    return result;
  }

 private:
  Rect m_page;
  bool m_landscape;
  bool m_refuse = false;
  RecordingCanvas m_canvas;
  std::vector<Page> m_pages;
};

}  // namespace veltrix::test
