#include "core/manip/render.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/datafile/params.h"
#include "core/manip/command_lines.h"
#include "core/manip/compiler.h"
#include "tests/core/manip/manip_study.h"
#include "tests/support/scripted_ui.h"

namespace veltrix {
namespace {

using test::Bytes;
using Lines = std::vector<std::string>;

constexpr auto real = test::RealBytes;
constexpr auto cat = test::Concatenated;
constexpr auto head = test::StatementHead;
Bytes operand(int kind, double value, int op) {
  return cat({{static_cast<std::uint8_t>(kind)}, real(value), {static_cast<std::uint8_t>(op)}});
}

// The study: A 1 (3), B 4 (5), C 9 (2), GEWICHT 11 (5), GROESSE 16 (3), BMI 19 (5), D1 24 (8),
// D2 32 (8), T> 40 (10, text), NAME> 50 (20, text), and two names the compiler cannot take back in
// every place: X]Y 80 (2) (a "]" ends the brackets) and P:Q 82 (2) (a ":" on the left side).
class ManipRenderTest : public ::testing::Test {
 protected:
  ManipRenderTest() : params(ui) {
    test::PutManipStudy(params);
    params.putVariable(11, "X]Y", 80, 2);
    params.putVariable(12, "P:Q", 82, 2);
    params.setVariableCount(12);
  }

  Bytes compiled(const std::string& line) const { return test::CompiledBytes(line, params); }
  std::string rendered(const Bytes& bytes) const {
    return RenderStatement(bytes.data(), static_cast<int>(bytes.size()), params);
  }

  test::ScriptedUi ui;
  TParams params;
};

struct RenderCase {
  std::string line;
  std::string text;
};

TEST_F(ManipRenderTest, CanonicalTextThatCompilesToTheSameBytes) {
  // The expected constants come from a separate exact computation in python (fractions): the shortest
  // decimal whose rounding to 39 fraction bits is the real of the typed digits, the nearest one of
  // those equally short (.3333333333333 reads back too, .3333333333335 lies nearer).
  const std::vector<RenderCase> cases = {
      {"[bmi:1]=[gewicht]/([groesse]/100*[groesse]/100)",
       "[BMI : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)"},
      {"if [a]>=3 then", "IF [A] >= 3"},
      {"if [a] <> -[b]", "IF [A] <> -[B]"},
      {"IF [A : 2] < 1", "IF [A] < 1"},
      {"[A] = 2*(-3)", "[A] = 2 * (-3)"},
      {"[A] = sqrt([b]+1)", "[A] = SQRT([B] + 1)"},
      {"[A] = abs [b] - ln(2) / Round 2.5", "[A] = ABS[B] - LN(2) / ROUND2.5"},
      {"[A] = ((3))", "[A] = ((3))"},
      {"[A] = 0.50 + 007 + 1000 + 0.1 + 123.456 + 5. + 0", "[A] = .5 + 7 + 1000 + .1 + 123.456 + 5 + 0"},
      {"[A] = 3.14159265358979", "[A] = 3.14159265359"},
      {"[A] = 0.333333333333333", "[A] = .3333333333335"},
      {"[A] = 2.718281828459045", "[A] = 2.71828182846"},
      {"[A] = 100000000000000000000", "[A] = 100000000000000000000"},
      {"[A] = 0.000001234", "[A] = .000001234"},
      {"[*h1] = [*h8] + [*dsnr] + [100.5] + [4.5] + [40.10>] + [60.3>]",
       "[*H1] = [*H8] + [*DSNR] + [100.5] + [B] + [T>] + [60.3>]"},
      // A typed reference keeps its number; the brackets go where each variable is first due.
      {"[A] = V1 + [B]", "[A] = [B] + V1"},
      {"[A] = [B] * V2 - [C]", "[A] = [B] * [C] - V2"},
      {"[A : 12] = sum:[b],[c]", "[A : 9] = SUM:[B], [C]"},
      {"[A : 0] = 1", "[A : 0] = 1"},
      {"[A] = tda:[d1],[d2]", "[A] = TDA:[D1], [D2]"},
      {"[A] = TNA:[T>]", "[A] = TNA:[T>]"},
      {"[A] = TNB:[24.8]", "[A] = TNB:[D1]"},
      {"[A] = ZDM:[100.5],[60.3>]", "[A] = ZDM:[100.5], [60.3]"},  // a date field is read as text anyway
      {"[A] = zds:[*h2],[*dsnr]", "[A] = ZDS:[*H2], [*DSNR]"},
      {"[T>] = RPL:abc,XyZ", "[T>] = RPL:abc,XyZ"},
      {"[T>] = RPL:,,x", "[T>] = RPL:,,x"},
      {"[T>] = RPL:a,,", "[T>] = RPL:a,,"},
      {"[T>] = RPL:,,,", "[T>] = RPL:,,,"},
      {"[T>] = RPL:,,", "[T>] = RPL:,,"},
      {"[T>] = RPL: a b , c ", "[T>] = RPL:a b,c"},
      {"[T>] = RPL:,x", "[T>] = RPL:,x"},
      {"[T>] = RPL:x", "[T>] = RPL:x,"},
      {"[T>] = RPL:", "[T>] = RPL:,"},
      {"[T>] = rmv:", "[T>] = RMV:"},
      {"[T>] = APP:xyz", "[T>] = APP:x"},
      {"[T>] = TXT:Hallo Welt!", "[T>] = TXT:Hallo Welt"},
      {"[T>] = rpm: - ", "[T>] = RPM:-"},
      {"exit", "EXIT"},
      {"copyds", "COPYDS"},
      {"end", "END"},
      {"else", "ELSE"},
      // A name with "]" is written as its field, as is one with ":" on the left side.
      {"[82.2] = [P:Q] + [80.2]", "[82.2] = [P:Q] + [80.2]"},
  };
  for (const RenderCase& c : cases) {
    const Bytes bytes = compiled(c.line);
    const std::string text = rendered(bytes);
    EXPECT_EQ(text, c.text) << c.line;
    EXPECT_EQ(compiled(text), bytes) << c.line;
  }
}

TEST_F(ManipRenderTest, MalformedBytesRenderAsFarAsTheyAreReadable) {
  const Bytes one = cat({{1}, operand(0, 1, 0)});
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{}, ""},
      {{1, 0, 3, 10}, ""},
      {head(1, 3, 10, 77, 0), "[A] = ?"},
      {head(1, 3, 10, kStmtAssign, 0), "[A] = "},
      // Cut inside the second operand.
      {cat({head(1, 3, 10, 1, 0), {1}, operand(0, 1, 1), {135, 0}}), "[A] = 1 + "},
      // An intermediate referring to itself, one used twice, one referring ahead.
      {cat({head(1, 3, 10, 1, 0), {1}, operand(32, 51, 0), {0}}), "[A] = V51"},
      {cat({head(1, 3, 10, 1, 0), one, {1}, operand(32, 51, 1), operand(32, 51, 0), {0}}), "[A] = (1) + V51"},
      {cat({head(1, 3, 10, 1, 0), {1}, operand(32, 52, 0), one, {1}, operand(32, 51, 0), {0}}),
       "[A] = (V52)"},
      {cat({head(1, 3, 9, kStmtIf, 0), one, {0}}), "IF [A] ? 1"},
      {cat({head(1, 3, 10, kStmtSum, 5), {4, 0, 5}}), "[A] = SUM:[B]"},  // only one entry is there
      {cat({head(40, 138, 10, kStmtTxt, 0), {200, 'a', 'b'}}), "[T>] = TXT:ab"},
      {cat({head(1, 3, 10, 1, 0), {1}, operand(0, 1, 7), operand(0, 2, 0)}), "[A] = 1 ? "},
      {cat({head(1, 3, 10, 1, 0), {1}, operand(0, -2, 0), {0}}), "[A] = -2"},
      {cat({head(1, 3, 10, 1, 0), {1}, operand(20, 1, 0), {0}}), "[A] = ?1"},
      {cat({head(1, 3, 10, 1, 0), {1}, operand(32, 1.5, 0), {0}}), "[A] = V?"},
      {cat({head(1, 3, 10, 1, 1), {4, 0, 5}, {1}, operand(32, 2, 0), {0}}), "[A] = V2"},
      {cat({head(7000, 200, 10, 1, 0), one, {0}}), "[7000.72>] = 1"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(rendered(bytes), text);
}

TEST_F(ManipRenderTest, RandomBytesNeverLeadOutsideTheStatement) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> size(0, kMaxStatementBytes);
  for (int run = 0; run < 3000; ++run) {
    // Exact-size buffers, so that a read past the end is seen by the sanitizer builds.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size(rng)));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(rng));
    if (bytes.size() > 5 && run % 2 == 0)
      bytes[4] = static_cast<std::uint8_t>(run % 4 == 0 ? kStmtAssign : kStmtIf);
    const std::string text = RenderStatement(bytes.data(), static_cast<int>(bytes.size()), params);
    // Every intermediate is written at most once, so the text stays in proportion to the bytes.
    EXPECT_LT(text.size(), 40 * bytes.size() + 40);
  }
}

TEST_F(ManipRenderTest, ProgramStatementsStopAtTheEndOfTheBytes) {
  CommandProgram program;
  program.bytes = cat({{6, 0}, head(0, 0, 0, kStmtExit, 0), {9, 0}, {1}});
  const std::vector<StatementView> views = ProgramStatements(program);
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(RenderProgram(program, params), (Lines{"EXIT"}));
  program.bytes = {5};
  EXPECT_TRUE(ProgramStatements(program).empty());
}

// ---------------------------------------------------------------- round trip of generated programs

// Random command files from the grammar of the language, written with varying case and blanks.
class CommandGenerator {
 public:
  explicit CommandGenerator(unsigned seed) : m_rng(seed) {}

  Lines program() {
    Lines lines;
    bool ifOpen = false;
    const int count = 1 + pick(14);
    for (int i = 0; i < count; ++i) {
      std::string line = statement(ifOpen);
      const std::size_t blank =
          line.find(' ', 1 + static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1)));
      if (chance(15) && blank != std::string::npos) {
        lines.push_back(line.substr(0, blank) + " *");
        line = line.substr(blank + 1);
      }
      lines.push_back(line);
    }
    if (ifOpen) lines.push_back("END");
    return lines;
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
  bool chance(int percent) { return pick(100) < percent; }
  template <typename T>
  const T& oneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
  }

  std::string cased(std::string_view text) {
    std::string out(text);
    if (chance(50))
      for (char& c : out)
        if (c >= 'A' && c <= 'Z' && chance(50)) c = static_cast<char>(c + 32);
    return out;
  }
  std::string blanks() { return std::string(static_cast<std::size_t>(pick(3)), ' '); }

  std::string numericVariable() {
    static const std::vector<std::string> names = {
        "A", "B", "C", "GEWICHT", "GROESSE", "BMI", "*H1", "*H5", "*H8", "*DSNR", "100.5", "4.5", "7000.9"};
    return "[" + blanks() + cased(oneOf(names)) + blanks() + "]";
  }
  std::string anyVariable() {
    static const std::vector<std::string> texts = {"T>", "NAME>", "60.3>", "D1", "D2"};
    return chance(70) ? numericVariable() : "[" + cased(oneOf(texts)) + "]";
  }

  std::string constant() {
    switch (pick(7)) {
      case 0:
        return std::to_string(pick(100000));
      case 1:
        return std::to_string(pick(1000)) + "." + std::to_string(pick(1000));
      case 2:
        return "." + std::to_string(pick(100));
      case 3:
        return std::to_string(pick(100)) + ".";
      case 4: {
        std::string digits = std::to_string(1 + pick(9)) + ".";
        const int count = pick(15);
        for (int i = 0; i < count; ++i) digits.push_back(static_cast<char>('0' + pick(10)));
        return digits;
      }
      case 5:
        return "0.000" + std::to_string(1 + pick(999));
      default:
        return "000" + std::to_string(pick(50)) + ".500";
    }
  }

  std::string function() {
    static const std::vector<std::string> names = {"ABS", "INT", "ROUND", "EXP",  "LN",
                                                   "COS", "SIN", "LOG",   "SQRT", "ARCSIN"};
    return chance(25) ? cased(oneOf(names)) + (chance(30) ? " " : "") : "";
  }

  // \x02 stands for a typed reference Vn, filled in once the number of bracketed variables is known.
  std::string term(int depth) {
    const int r = pick(10);
    if (depth < 3 && r < 2) return function() + "(" + blanks() + expression(depth + 1) + blanks() + ")";
    if (r < 6) return function() + numericVariable();
    if (r < 7) return function() + "\x02";
    return function() + constant();
  }
  std::string expression(int depth) {
    std::string text = chance(20) ? (chance(50) ? "-" : "+") : "";
    text += term(depth);
    const int more = pick(depth == 0 ? 5 : 3);
    for (int i = 0; i < more; ++i)
      text += blanks() + std::string(1, "+-*/"[pick(4)]) + blanks() + term(depth);
    return text;
  }
  // Fills the typed references with numbers 1..k, or constants when there is no bracketed variable.
  std::string withTypedReferences(std::string line) {
    int k = 0;
    const std::size_t left = line.find(']');
    for (std::size_t i = left + 1; i < line.size(); ++i)
      if (line[i] == '[') ++k;
    std::string out;
    for (const char c : line) {
      if (c != '\x02') {
        out.push_back(c);
      } else {
        out += k > 0 ? (chance(50) ? "V" : "v") + std::to_string(1 + pick(k)) : constant();
      }
    }
    return out;
  }

  std::string textParameter() {
    static const std::string alphabet = "abcXYZ019 .-/:;!?#";
    std::string text;
    const int length = pick(13);
    for (int i = 0; i < length; ++i)
      text.push_back(alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))]);
    return text;
  }

  std::string leftSide() {
    std::string variable = anyVariable();
    if (chance(20))
      variable.insert(variable.size() - 1, blanks() + ":" + blanks() + std::to_string(pick(13)));
    return variable + blanks() + "=" + blanks();
  }

  std::string statement(bool& ifOpen) {
    for (;;) {
      switch (pick(12)) {
        case 0:
        case 1:
        case 2:
          return withTypedReferences(leftSide() + expression(0));
        case 3:
          if (ifOpen) continue;
          ifOpen = true;
          return withTypedReferences(cased("IF") + " " + numericVariable() + blanks() +
                                     oneOf(std::vector<std::string>{"<", ">", "=", "<=", ">=", "<>"}) +
                                     blanks() + expression(0) + (chance(30) ? cased(" THEN") : ""));
        case 4:
          if (!ifOpen) continue;
          if (chance(50)) return cased("ELSE");
          ifOpen = false;
          return cased("END");
        case 5: {
          static const std::vector<std::string> functions = {"MAX", "MIN", "SUC", "SUM", "MIC", "MIT",
                                                             "SDC", "SDV", "ANZ", "CMB", "MMC", "SMC"};
          std::string text = leftSide() + cased(oneOf(functions)) + blanks() + ":";
          const int count = 1 + pick(5);
          for (int i = 0; i < count; ++i) text += (i > 0 ? "," + blanks() : "") + anyVariable();
          return text;
        }
        case 6: {
          static const std::vector<std::string> dates = {"TNA", "TDA", "WDA", "MDA", "JDA", "TNB",
                                                         "TDB", "WDB", "MDB", "JDB", "ZDM", "ZDS"};
          const std::string& keyword = oneOf(dates);
          std::string text = leftSide() + cased(keyword) + ":" + anyVariable();
          if (keyword != "TNA" && keyword != "TNB") text += "," + blanks() + anyVariable();
          return text;
        }
        case 7: {
          static const std::vector<std::string> commas = {",,x", "a,,", ",,,", ",,", ",y", "z,", ""};
          const std::string parameters =
              chance(30) ? oneOf(commas) : textParameter() + "," + (chance(80) ? textParameter() : "");
          return leftSide() + cased("RPL") + ":" + parameters;
        }
        case 8:
          return leftSide() + cased(oneOf(std::vector<std::string>{"RPM", "TXT", "RMV", "APP"})) + ":" +
                 textParameter();
        case 9:
          return cased(oneOf(std::vector<std::string>{"EXIT", "COPYDS"}));
        case 10:
          return chance(50) ? "" : "/ " + textParameter();
        default:
          return withTypedReferences("[" + cased("A") + "]=" + expression(0));
      }
    }
  }

  std::mt19937 m_rng;
};

TEST_F(ManipRenderTest, RenderedProgramsCompileToTheSameBytes) {
  constexpr int kPrograms = 3000;
  int compiledPrograms = 0;
  int compared = 0;
  int skipped = 0;
  CommandGenerator generator(4711);
  for (int i = 0; i < kPrograms; ++i) {
    const Lines lines = generator.program();
    const ProgramResult original = CompileProgram(lines, params);
    if (!original.ok) continue;
    ++compiledPrograms;
    const Lines text = RenderProgram(original.program, params);
    bool tooLong = false;
    for (const std::string& line : text)
      tooLong = tooLong || line.size() > static_cast<std::size_t>(kMaxCommandLine);
    if (tooLong) {
      ++skipped;
      continue;
    }
    ++compared;
    const ProgramResult again = CompileProgram(text, params);
    ASSERT_TRUE(again.ok) << again.message << " in line " << again.line << ": "
                          << text[static_cast<std::size_t>(again.line)];
    ASSERT_EQ(again.program.bytes, original.program.bytes) << lines.front() << " / " << text.front();
    EXPECT_EQ(RenderProgram(again.program, params), text);
  }
  // The grammar stays well inside the limits, so nearly all programs compile, and few lines grow long.
  EXPECT_GT(compiledPrograms, kPrograms * 9 / 10);
  EXPECT_GT(compared, compiledPrograms / 2) << skipped << " skipped";
}

}  // namespace
}  // namespace veltrix
