// Marked table lines: cell texts carry layout marks, and the renderer draws a marked line on a Canvas.
//
// A line is a sequence of segments. A segment may start with a width prefix, the at sign and one
// width character c: d = code(c) - 48 character widths wide when d > 0, to the end of the line
// otherwise. Then one mark may follow: "{d" (the first d characters end d character widths after the
// segment start, the rest follows), "}d" (right-aligned so that the last d characters stand beyond
// the alignment point d character widths before the segment end), "~" (right-aligned), "Ç"
// (centred), "»" (one character per cell of a character width plus one pixel), "|" and "³" (solid and
// dashed rule). Without a mark the text is left-aligned. The segment's text ends before the next mark.
#pragma once

#include <string>
#include <string_view>

#include "core/base/canvas.h"

namespace veltrix {

// The eight mark characters (Windows-1252 bytes).
inline constexpr char kMarkWidth = '@';
inline constexpr char kMarkLeftField = '{';
inline constexpr char kMarkAlignPoint = '}';
inline constexpr char kMarkRight = '~';
inline constexpr char kMarkCentre = '\xC7';  // Ç
inline constexpr char kMarkRule = '|';
inline constexpr char kMarkDashedRule = '\xB3';  // ³
inline constexpr char kMarkSpread = '\xBB';      // »

bool isLayoutMark(char c);

// A marked cell: a width prefix when width > 0; the rules "|" and "³" get only that prefix. Otherwise
// align > 0 right-aligns ("}" and the decimals' count character when decimals > 0, else "~") without
// leading blanks, align = 0 centres ("Ç") without blanks at either end, align < -1 spreads ("»") and
// align = -1 left-aligns ("{" and the decimals' count character when decimals > 0, nothing after a
// width prefix, else "@0"), both without trailing blanks. A count character is the byte 48 + n; n
// beyond 207 (the last byte) is taken as 207.
std::string MarkCell(std::string_view text, int width, int align, int decimals);

struct CellSize {
  int cellWidth = 0;   // width of "W9999999", eight standard characters
  int lineHeight = 0;  // height of "Ep"
};

CellSize CellMetrics(Canvas& canvas);

// Draws one marked line into rect. width8 is the standard cell width (eight characters, CellMetrics);
// textHeight centres the text vertically. Unless the line starts with "|" the line is narrowed by
// width8 / 20 pixels on both sides. A segment with a width prefix of d characters is
// (width8 * d + 8) / 8 pixels wide and moves the following segments on by that much; a segment
// without one reaches to the end of the line and leaves the start of the next one where it was, so
// "Titel~Seite 1" puts two texts on the same line. Texts are clipped to their segment, which never
// reaches beyond the line. Rules are drawn with a pen of width 1 in the font colour.
void DrawMarkedLine(Canvas& canvas, const Rect& rect, int width8, std::string_view text, int textHeight);

}  // namespace veltrix
