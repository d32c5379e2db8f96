// Analysis descriptors: for each analysis code, which variable lists, class division choices and group
// lists the variable selection asks for, and the title the analysis carries.
//
// A descriptor is 45 characters: three variable lists "CCMMXXKKF" (caption, minimum, maximum, caption
// of the class division choice, type filter N/T/blank), two group lists "CCMMXX", the complete-cases
// switch, the transformation choice and two two-digit title indexes.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace veltrix {

inline constexpr int kDescriptorLength = 45;

enum class VariableFilter { All, NumericOnly, TextOnly };

struct VariableListDescriptor {
  int caption = 0;  // 0: the list is absent
  int minimum = 0;
  int maximum = 0;
  int classCaption = 0;  // 0: no class division choice for this list
  VariableFilter filter = VariableFilter::All;
  bool present() const { return caption != 0; }
};

struct GroupListDescriptor {
  int caption = 0;  // 0: the list is absent
  int minimum = 0;
  int maximum = 0;
  bool present() const { return caption != 0; }
};

struct AnalysisDescriptor {
  std::array<VariableListDescriptor, 3> lists{};
  std::array<GroupListDescriptor, 2> groupLists{};
  bool completeCases = false;   // offer (and pre-check) "Nur "komplette" Fälle" for list 1
  bool transformation = false;  // offer the transformation choice for list 1
  int title1 = 0;
  int title2 = 0;
};

// The stored descriptor of an analysis code, empty when the code has none.
std::string_view DescriptorText(int code);
// Decodes the 45 characters (a shorter text reads as if blank-padded; non-digits read as 0).
AnalysisDescriptor DecodeDescriptor(std::string_view text);

// Caption of a list, 1..19 (Windows-1252); empty outside.
std::string_view ListCaption(int index);
// Title 1..26 of the title table; empty outside.
std::string_view TitleText(int index);

struct PreparedAnalysis {
  std::string descriptor;  // empty: the code runs nothing
  std::string title;       // title a followed by title b, at most 80 characters
};
PreparedAnalysis PrepareDescriptor(int code);

// Procedure kind and variant of an analysis code.
inline int ProcedureKind(int code) {
  return code / 10;
}
inline int ProcedureVariant(int code) {
  return code % 10;
}

}  // namespace veltrix
