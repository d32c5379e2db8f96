// Makes the bundled sample study: a clinical data set of 300 patients (studie.dt1) with its parameter
// file (studie.prm). The random numbers come from std::mt19937 with a fixed seed and are shaped by our
// own transformations (the standard distributions differ between libraries), so the same program gives
// the same bytes everywhere. The output is committed under data/; a test rebuilds it and compares.
//
//   make_sample_study DIRECTORY
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "cli/batch_ui.h"
#include "core/base/win1252.h"
#include "core/datafile/date_time.h"
#include "core/datafile/file_objects.h"
#include "core/datafile/params.h"
#include "core/datafile/stat_record.h"
#include "core/stats/real48.h"

namespace {

using namespace veltrix;
using namespace veltrix::literals;

struct Field {
  const char* name;
  int position;
  int length;
};

// The record layout: every field lies in the first line of 79 characters.
constexpr Field kPatNr{"PATNR", 1, 5};
constexpr Field kSex{"GESCHL", 7, 1};  // 1 male, 2 female
constexpr Field kAge{"ALTER", 9, 3};
constexpr Field kWeight{"GEWICHT", 13, 5};  // kg with one decimal
constexpr Field kHeight{"GROESSE", 19, 3};  // cm
constexpr Field kArm{"THERAPIE", 23, 1};    // 1 standard, 2 new treatment
constexpr Field kDiagnosis{"DIAGNOSE>", 25, 24};
constexpr Field kAdmission{"AUFNAHME>", 50, 10};  // day-month-year text
constexpr Field kDischarge{"ENTLASS>", 61, 10};
constexpr Field kFollowUp{"FUPTAGE", 72, 4};  // days from discharge to event or last contact
constexpr Field kEvent{"EREIGNIS", 77, 1};    // 1 event (death), 0 censored
constexpr Field kFields[] = {kPatNr,     kSex,       kAge,       kWeight,   kHeight, kArm,
                             kDiagnosis, kAdmission, kDischarge, kFollowUp, kEvent};

class Random {
 public:
  explicit Random(std::uint32_t seed) : m_engine(seed) {}
  // Uniform in [0, 1).
  double uniform() { return static_cast<double>(m_engine()) / 4294967296.0; }
  int between(int low, int high) { return low + static_cast<int>(uniform() * (high - low + 1)); }
  // Box-Muller.
  double normal(double mean, double sd) {
    const double u1 = 1.0 - uniform();
    const double u2 = uniform();
    return mean + sd * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
  }
  double exponential(double mean) { return -mean * std::log(1.0 - uniform()); }

 private:
  std::mt19937 m_engine;
};

std::string rightAligned(long value, int width) {
  std::string text = std::to_string(value);
  return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))), ' ') +
         text;
}

std::string dateText(std::int64_t dayNumber) {
  // Walk from 1.1.2018 (day numbers are consecutive across months and years).
  int day = 1, month = 1, year = 2018;
  std::int64_t n = DayNumber(1, 1, 2018).dayNumber;
  while (n < dayNumber) {
    ++n;
    if (!IsValidDate(day + 1, month, year)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    } else {
      ++day;
    }
  }
  char text[40];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, month, year);
  return text;
}

// A compiled numeric group term over one variable: head, position, type byte, counts, values, ranges.
struct NumericTerm {
  Field field;
  std::vector<double> singles;
  std::vector<std::pair<double, double>> ranges;
};

GroupRecord makeGroup(std::string_view name, std::string_view shortName,
                      const std::vector<NumericTerm>& terms) {
  GroupRecord g{};
  for (int i = 0; i < kGroupNameLength; ++i)
    g[static_cast<std::size_t>(kGroupNameOffset + i)] = static_cast<std::uint8_t>(
        i < static_cast<int>(name.size()) ? name[static_cast<std::size_t>(i)] : ' ');
  for (int i = 0; i < kGroupShortNameLength; ++i)
    g[static_cast<std::size_t>(kGroupShortNameOffset + i)] = static_cast<std::uint8_t>(
        i < static_cast<int>(shortName.size()) ? shortName[static_cast<std::size_t>(i)] : ' ');
  std::size_t p = kGroupDefinitionOffset;
  for (const NumericTerm& t : terms) {
    g[p++] = 1;  // one variable, no keyword, same alternative
    g[p++] = static_cast<std::uint8_t>(t.field.position & 0xFF);
    g[p++] = static_cast<std::uint8_t>(t.field.position >> 8);
    g[p++] = static_cast<std::uint8_t>(t.field.length);
    g[p++] = static_cast<std::uint8_t>(t.singles.size());
    g[p++] = static_cast<std::uint8_t>(t.ranges.size());
    for (double v : t.singles) {
      writeReal48(v, &g[p]);
      p += 6;
    }
    for (const auto& [low, high] : t.ranges) {
      writeReal48(low, &g[p]);
      writeReal48(high, &g[p + 6]);
      p += 12;
    }
  }
  g[p] = 0;
  return g;
}

constexpr const char* kDiagnoses[] = {
    "Koronare Herzkrankheit",  "Herzinsuffizienz", "Vorhofflimmern", "Arterielle Hypertonie",
    "Diabetes mellitus Typ 2", "Pneumonie",        "COPD",           "Schlaganfall"};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: make_sample_study DIRECTORY\n";
    return 1;
  }
  const std::string dir = argv[1];
  const std::string dataFile = dir + "/studie.dt1";
  const std::string paramFile = dir + "/studie.prm";
  std::remove(paramFile.c_str());
  std::remove((dir + "/studie.prb").c_str());
  veltrix::cli::BatchUi ui(std::cerr, false);

  // The standard contents of a new parameter file, then the structure and the groups of the study.
  TParams params(ui);
  if (!params.createDefault(paramFile)) return 2;
  int index = 0;
  for (const Field& f : kFields) params.putVariable(++index, f.name, f.position, f.length);
  params.setVariableCount(index);
  params.putGroup(1, makeGroup("Standardtherapie", "Standard", {{kArm, {1}, {}}}));
  params.putGroup(2, makeGroup("Neue Therapie", "Neu", {{kArm, {2}, {}}}));
  params.putGroup(3, makeGroup("Frauen", "Frauen", {{kSex, {2}, {}}}));
  params.putGroup(4, makeGroup("Patienten über 65 Jahre"_w, "Alter>65", {{kAge, {}, {{66, 130}}}}));
  params.putGroup(
      5, makeGroup("Frauen über 65 Jahre"_w, "F Alter>65", {{kSex, {2}, {}}, {kAge, {}, {{66, 130}}}}));
  params.setCreationDate(PackDate(1, 12, 2026));
  if (!params.write()) return 2;

  TTxtWFile out(ui);
  if (!out.open(dataFile)) return 2;
  Random random(20261201u);
  const std::int64_t firstDay = DayNumber(1, 1, 2019).dayNumber;
  for (int patient = 1; patient <= 300; ++patient) {
    RecordBuffer record;
    const int sex = random.uniform() < 0.46 ? 2 : 1;
    const int age = std::clamp(static_cast<int>(std::lround(random.normal(64, 12))), 19, 97);
    const double height = random.normal(sex == 1 ? 177 : 164, 7);
    const double bmi = random.normal(27, 4);
    const double weight = std::round(bmi * height * height / 1000.0) / 10.0;
    const int arm = random.uniform() < 0.5 ? 1 : 2;
    const char* diagnosis = kDiagnoses[random.between(0, 7)];
    const std::int64_t admission = firstDay + random.between(0, 4 * 365);
    const std::int64_t stay = 2 + static_cast<std::int64_t>(random.exponential(7));
    // Older patients and the standard arm have the higher hazard; follow-up ends after at most 3 years.
    const double meanSurvival = 2400.0 * (arm == 2 ? 1.5 : 1.0) * std::exp(-(age - 64) / 25.0);
    const double eventTime = random.exponential(meanSurvival);
    const double censorTime = 200 + random.uniform() * 900;
    const bool event = eventTime <= censorTime;
    const int followUp = static_cast<int>(std::lround(event ? eventTime : censorTime));

    record.write(kPatNr.position, rightAligned(1000 + patient, kPatNr.length));
    record.write(kSex.position, std::to_string(sex));
    record.write(kAge.position, rightAligned(age, kAge.length));
    // A few weights and heights were never measured.
    if (random.uniform() >= 0.03) {
      char text[16];
      std::snprintf(text, sizeof text, "%5.1f", weight);
      record.write(kWeight.position, text);
    }
    if (random.uniform() >= 0.03)
      record.write(kHeight.position, rightAligned(std::lround(height), kHeight.length));
    record.write(kArm.position, std::to_string(arm));
    record.write(kDiagnosis.position, diagnosis);
    record.write(kAdmission.position, dateText(admission));
    record.write(kDischarge.position, dateText(admission + stay));
    record.write(kFollowUp.position, rightAligned(followUp, kFollowUp.length));
    record.write(kEvent.position, event ? "1" : "0");
    if (!WriteRecord(out, record)) return 2;
  }
  out.close();
  return out.error() ? 2 : 0;
}
