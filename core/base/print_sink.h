// Printing port: the print manager lays out pages and draws them on the canvas of a PrintSink. The Qt
// front end backs it with QPrinter (a real printer, or a PDF file chosen in the print dialog); tests use
// a recording sink.
#pragma once

#include <string_view>

#include "core/base/canvas.h"

namespace veltrix {

class PrintSink {
 public:
  virtual ~PrintSink() = default;

  // Starts a print document (one per printed page); false when printing is not possible or the user
  // cancelled, in which case nothing is drawn.
  virtual bool beginDocument(std::string_view title) = 0;
  // The page of the open document: its canvas and size in device pixels.
  virtual Canvas& canvas() = 0;
  virtual Rect pageRect() const = 0;
  virtual bool landscape() const = 0;
  // Ends the document and sends it to the printer; false on failure.
  virtual bool endDocument() = 0;
};

}  // namespace veltrix
