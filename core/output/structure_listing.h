// The structure listing (command 4060): the variable table of the statistics file as a result table
// of three columns, names with their field start and length.
#pragma once

namespace veltrix {

class TParams;
class TTMng;

inline constexpr int kStructureListingCode = 4060;
inline constexpr int kStructureListingHelp = 40600;

// Clears the table manager and writes the listing as its table 1 under the tab "Datensatz".
void TSShowPrep(const TParams& params, TTMng& tables);

}  // namespace veltrix
