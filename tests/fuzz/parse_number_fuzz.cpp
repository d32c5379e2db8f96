// Any bytes as a field text: ParseNumber answers one of its statuses without reading outside the
// part it was given, and formatting any double never exceeds the width asked for.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/stats/number_format.h"
#include "core/stats/number_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace veltrix;
  if (size < 3) return 0;
  const int start = static_cast<int>(static_cast<std::int8_t>(data[0]));
  const int length = static_cast<int>(data[1]);
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  const ParsedNumber parsed = ParseNumber(text, start, length);
  if (parsed.decimals < -2) std::abort();
  if (parsed.decimals < 0 && parsed.value != 0) std::abort();
  if (!std::isfinite(parsed.value)) std::abort();

  if (size >= 2 + sizeof(double)) {
    double x;
    std::memcpy(&x, data + 2, sizeof x);
    const int width = data[0] % 40;
    const int dec = static_cast<int>(data[1] % 21) - 10;
    const std::string shown = FormatInWidth(dec, width, x);
    // Width 0 sets no field and gives the plain text of the decimals.
    if (width == 0 ? shown != FormatDecimals(dec, x) : shown.size() > static_cast<std::size_t>(width))
      std::abort();
    if (FormatSignificant(x).size() > 60) std::abort();
  }
  return 0;
}
