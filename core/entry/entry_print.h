// The printout of one record as the data entry window prints it ("&D" printer, "&P" protocol, and
// veltrix-batch record): the grid of label and value cells under the heading "* Satz-Nr.: " + number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrix {

class TParams;
class RecordBuffer;

struct EntryPrintout {
  std::string heading;             // "* Satz-Nr.: " + record number
  std::vector<std::string> lines;  // the grid rows, fixed-width, every value cell filled
};

// The record laid out in columns (1..3) of label/value pairs, variables filling the rows left to
// right, top to bottom; the label is " " + the name without trailing blanks.
EntryPrintout LayoutEntryPrintout(const TParams& params, const RecordBuffer& record,
                                  std::int64_t recordNumber, int columns);

}  // namespace veltrix
