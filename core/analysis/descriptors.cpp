#include "core/analysis/descriptors.h"

#include <algorithm>

#include "core/base/win1252.h"

namespace veltrix {

namespace {

struct DescriptorRow {
  int code;
  std::string_view text;
};

constexpr DescriptorRow kDescriptors[] = {
    {11, "01010100N00000000 00000000 120130000000000104"},
    {12, "01010100N10010108 00000000 110101000000000105"},
    {13, "02013000N00000000 00000000 110101000000100106"},
    {19, "02011500N00000000 00000000 130202000000000107"},
    {21, "02023000N00000000 00000000 110101000000000300"},
    {31, "01010108 00000000 00000000 120130000000000204"},
    {32, "01010108 10010108 00000000 110101000000000205"},
    {33, "02013008 00000000 00000000 110101000000100206"},
    {34, "00000000 00000000 00000000 120130140130000222"},
    {41, "04010100N05000100N00000000 120106000000000800"},
    {42, "04010109N05000100N00000000 120106000000000900"},
    {51, "01010100 00000000 00000000 110101000000001000"},
    {61, "02012000 00000000 00000000 110101000000001200"},
    {101, "06010100N07012900N00000000 110101000000001300"},
    {102, "02023000N00000000 00000000 120205000000001400"},
    {103, "02013000N00000000 00000000 120205000000001500"},
    {104, "02023000N00000000N00000000 110101000000001600"},
};

constexpr std::string_view kCaptions[] = {
    "Auszuwertende Variable",
    "Auszuwertende Variablen",
    "Kombi-Variable (Text)",
    "Var. Zeit",
    "Evtl. Var. \"zensiert\"",
    "Zielvariable (abhäng. Var.)"_w,
    "Unabhängige Variablen"_w,
    "Klasseneinteilung",
    "Klasseneintlg. Zeit",
    "aufgegliedert nach",
    "für Gruppe"_w,
    "für Gruppen"_w,
    "Grp. A, Grp. B",
    "nach Gruppen",
    "Zielvariable (0/1 codiert)",
    "Grp./Schichten",
    "Variablen",
    "x,y-Variable",
    "Kovariablen",
};

constexpr std::string_view kTitles[] = {
    "Stat. Kenngrößen: "_w,
    "Häufigkeitsauszählung: "_w,
    "Lineare Regression / Korrelation",
    "Eine Variable für mehrere Gruppen"_w,
    "Eine Variable nach zweiter aufgegliedert",
    "Mehrere Variablen für eine Gruppe"_w,
    "Vergleich zweier Gruppen, mehrere Variablen",
    "Kaplan-Meier-Methode",
    "Actuarial-Methode (Lifetable)",
    "Beobachtete Werte",
    "Beobachtete Werte für Kombi-Variable"_w,
    "Datenanzeige",
    "Multiple Regression / Partielle Korrelation",
    "Mehrdimensionale Varianzanalyse",
    "Diskriminanzanalyse",
    "Faktoranalyse",
    "Rangkorrelation",
    "Nichtlineare Regression",
    "Varianzanalyse: ",
    "Logistische Regressionsanalyse",
    "Proportional Hazards",
    "Gruppen versus Gruppen",
    "Mehrere Variablen - Mehrere Gruppen",
    "Mehrere Variablen - zusätzliche Variable"_w,
    "Eine Variable - zusätzl. Var. und Gruppen"_w,
    "Eine Variable - zwei zusätzl. Variablen"_w,
};

// Two decimal digits at 1-based position; anything else reads as 0.
int TwoDigits(std::string_view text, int position) {
  int value = 0;
  for (int i = 0; i < 2; ++i) {
    const auto index = static_cast<std::size_t>(position - 1 + i);
    const char c = index < text.size() ? text[index] : ' ';
    value = value * 10 + ((c >= '0' && c <= '9') ? c - '0' : 0);
  }
  return value;
}

char CharAt(std::string_view text, int position) {
  const auto index = static_cast<std::size_t>(position - 1);
  return index < text.size() ? text[index] : ' ';
}

}  // namespace

std::string_view DescriptorText(int code) {
  for (const auto& row : kDescriptors) {
    if (row.code == code) return row.text;
  }
  return {};
}

AnalysisDescriptor DecodeDescriptor(std::string_view text) {
  AnalysisDescriptor d;
  for (int i = 0; i < 3; ++i) {
    const int at = 1 + 9 * i;
    auto& list = d.lists[static_cast<std::size_t>(i)];
    list.caption = TwoDigits(text, at);
    list.minimum = TwoDigits(text, at + 2);
    list.maximum = TwoDigits(text, at + 4);
    list.classCaption = TwoDigits(text, at + 6);
    const char filter = CharAt(text, at + 8);
    list.filter = filter == 'N'   ? VariableFilter::NumericOnly
                  : filter == 'T' ? VariableFilter::TextOnly
                                  : VariableFilter::All;
  }
  for (int i = 0; i < 2; ++i) {
    const int at = 28 + 6 * i;
    auto& list = d.groupLists[static_cast<std::size_t>(i)];
    list.caption = TwoDigits(text, at);
    list.minimum = TwoDigits(text, at + 2);
    list.maximum = TwoDigits(text, at + 4);
  }
  d.completeCases = CharAt(text, 40) == '1';
  d.transformation = CharAt(text, 41) == '1';
  d.title1 = TwoDigits(text, 42);
  d.title2 = TwoDigits(text, 44);
  return d;
}

std::string_view ListCaption(int index) {
  if (index < 1 || index > static_cast<int>(std::size(kCaptions))) return {};
  return kCaptions[index - 1];
}

std::string_view TitleText(int index) {
  if (index < 1 || index > static_cast<int>(std::size(kTitles))) return {};
  return kTitles[index - 1];
}

PreparedAnalysis PrepareDescriptor(int code) {
  PreparedAnalysis prepared;
  const std::string_view text = DescriptorText(code);
  if (text.empty()) return prepared;
  prepared.descriptor = std::string(text);
  const AnalysisDescriptor d = DecodeDescriptor(text);
  if (d.title1 > 0) prepared.title += TitleText(d.title1);
  if (d.title2 > 0) prepared.title += TitleText(d.title2);
  if (prepared.title.size() > 80) prepared.title.resize(80);
  return prepared;
}

}  // namespace veltrix
