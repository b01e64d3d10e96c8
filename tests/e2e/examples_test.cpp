// Whole runs of the examples with their dialogue files: the report and the
// result files are read back line by line. Fixed lines are compared exactly;
// numbers are compared, within the rounding of their fields, with values the
// test computes itself from the data files in double precision, or with the
// same numbers in another file of the run.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <tuple>

#include "display/decoders.hpp"
#include "e2e/e2e_support.hpp"

using namespace e2e;

namespace {

// Reading what the program wrote ---------------------------------------------

using Lines = std::vector<std::string>;

std::string right(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}
std::string I(long value, std::size_t width) {
  return right(std::to_string(value), width);
}
std::string padded(const std::string& text, std::size_t width) {
  std::string t = text.substr(0, std::min(text.size(), width));
  return t + std::string(width - t.size(), ' ');
}
std::string rule(char c) {
  return " " + std::string(77, c);
}
std::string bare_rule(char c) {
  return std::string(77, c);
}

// The number in columns start .. start+width-1 (0-based) of a line.
double number(const std::string& line, std::size_t start, std::size_t width) {
  EXPECT_LE(start + width, line.size()) << "no field at " << start << " in: " << line;
  if (start + width > line.size()) return NAN;
  const std::string field = line.substr(start, width);
  EXPECT_EQ(field.find('*'), std::string::npos) << "field overflow in: " << line;
  char* end = nullptr;
  const double value = std::strtod(field.c_str(), &end);
  EXPECT_EQ(std::string(end).find_first_not_of(' '), std::string::npos)
      << "not a number: '" << field << "' in: " << line;
  return value;
}

// `count` numbers in fields of `width` columns from `start`, one after another
// every `step` columns.
std::vector<double> numbers(const std::string& line, std::size_t start, std::size_t width,
                            std::size_t step, int count) {
  std::vector<double> values;
  for (int k = 0; k < count; ++k) values.push_back(number(line, start + k * step, width));
  return values;
}

// The index of the first line equal to `text` at or after `from`.
std::size_t find_line(const Lines& lines, const std::string& text, std::size_t from = 0) {
  for (std::size_t k = from; k < lines.size(); ++k) {
    if (lines[k] == text) return k;
  }
  ADD_FAILURE() << "no line \"" << text << "\" after line " << from + 1;
  return lines.size();
}

// The index of the first line that ends with `text`.
std::size_t find_line_ending(const Lines& lines, const std::string& text) {
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].ends_with(text)) return k;
  }
  ADD_FAILURE() << "no line ends with \"" << text << "\"";
  return lines.size();
}

// The lines from `at` on are exactly these.
void expect_lines(const Lines& lines, std::size_t at, const Lines& expected) {
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_LT(at + k, lines.size()) << "file ends before: " << expected[k];
    EXPECT_EQ(lines[at + k], expected[k]) << "line " << at + k + 1;
  }
}

Lines slice(const Lines& lines, std::size_t at, std::size_t count) {
  if (at + count > lines.size()) {
    ADD_FAILURE() << "file ends at line " << lines.size();
    return {};
  }
  return {lines.begin() + static_cast<long>(at), lines.begin() + static_cast<long>(at + count)};
}

// The data, as the test reads it itself ----------------------------------------

struct Data {
  std::string title = std::string(80, ' ');
  std::vector<std::string> ids;        // 10 characters each
  std::vector<std::string> names;      // 10 characters each
  std::vector<std::vector<double>> x;  // x[variable][sample], logs taken
  double missing = -999.0;

  int samples() const { return static_cast<int>(ids.size()); }
  int variables() const { return static_cast<int>(names.size()); }
  bool present(double v) const { return v != missing; }
};

double log_or_missing(double v, double missing) {
  return v == missing ? v : std::log10(v);
}

// The comma-separated iris measurements: numbered samples, no logs.
Data read_iris(const Folder& dir) {
  Data d;
  Lines lines = dir.lines("IRIS.CSV");
  std::istringstream header(lines.at(0));
  for (std::string name; std::getline(header, name, ',');) {
    d.names.push_back(padded(name.substr(1, name.size() - 2), 10));
  }
  d.x.resize(d.names.size());
  for (std::size_t k = 1; k < lines.size(); ++k) {
    std::istringstream row(lines[k]);
    std::string cell;
    for (auto& column : d.x) {
      std::getline(row, cell, ',');
      column.push_back(std::stod(cell));
    }
    d.ids.push_back(I(static_cast<long>(k), 10));
  }
  return d;
}

// The dBase soil survey: SITE as identifier, SAMPLED never offered, ORG_C, CU
// and ZN as logarithms (the answers of soil.dlg).
Data read_soil(const Folder& dir) {
  Data d;
  d.title = padded("SOIL SURVEY OF FOUR PARENT MATERIALS (GENERATED EXAMPLE)", 80);
  const std::string bytes = dir.read("SOIL.DBF");
  auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  struct Field {
    std::string name;
    char type;
    std::size_t length, offset;
  };
  std::vector<Field> fields;
  std::size_t offset = 1;
  for (std::size_t at = 32; bytes.at(at) != '\r'; at += 32) {
    std::string name = bytes.substr(at, 10);
    name = name.substr(0, name.find('\0'));
    const std::size_t length = static_cast<unsigned char>(bytes[at + 16]);
    fields.push_back({name, bytes[at + 11], length, offset});
    offset += length;
  }
  const std::size_t first = u16(8), length = u16(10);
  const std::vector<std::string> logged = {"ORG_C", "CU", "ZN"};
  for (const Field& f : fields) {
    if (f.type == 'N') d.names.push_back(padded(f.name, 10));
  }
  d.x.resize(d.names.size());
  for (std::size_t at = first; at + length <= bytes.size(); at += length) {
    std::size_t column = 0;
    for (const Field& f : fields) {
      const std::string text = bytes.substr(at + f.offset, f.length);
      if (f.type == 'C') d.ids.push_back(padded(text, 10));
      if (f.type != 'N') continue;
      // An all-blank field is read as missing.
      const double v =
          text.find_first_not_of(' ') == std::string::npos ? d.missing : std::stod(text);
      const bool log = std::find(logged.begin(), logged.end(), f.name) != logged.end();
      d.x[column++].push_back(log ? log_or_missing(v, d.missing) : v);
    }
  }
  return d;
}

// The fixed-layout sediments: (A8,2X,7F8.2), names from the information file,
// MNO as logarithms (the answers of sed.dlg).
Data read_sediment(const Folder& dir) {
  Data d;
  const Lines info = dir.lines("SEDIMENT.INF");
  d.title = padded(info.at(0), 80);
  for (std::size_t k = 6; k < info.size(); ++k) d.names.push_back(padded(info[k], 10));
  d.x.resize(d.names.size());
  for (const std::string& line : dir.lines("SEDIMENT.FXD")) {
    d.ids.push_back(padded(line.substr(0, 8), 10));
    for (std::size_t j = 0; j < d.x.size(); ++j) {
      const double v = std::stod(line.substr(10 + 8 * j, 8));
      d.x[j].push_back(d.names[j] == padded("MNO", 10) ? log_or_missing(v, d.missing) : v);
    }
  }
  return d;
}

double mean(const Data& d, int j) {
  double sum = 0.0;
  int n = 0;
  for (double v : d.x[j]) {
    if (d.present(v)) sum += v, ++n;
  }
  return sum / n;
}

double variance(const Data& d, int j) {
  const double m = mean(d, j);
  double sum = 0.0;
  int n = 0;
  for (double v : d.x[j]) {
    if (d.present(v)) sum += (v - m) * (v - m), ++n;
  }
  return sum / (n - 1);
}

int present_count(const Data& d, int j) {
  int n = 0;
  for (double v : d.x[j]) n += d.present(v) ? 1 : 0;
  return n;
}

// The run echo -----------------------------------------------------------------

// The report up to the end of the run echo, exactly; returns the next line.
std::size_t check_echo(const Lines& report, const Data& d) {
  Lines expected = {" NLM, FUZZY or both? (N,F or <B>): ",
                    d.title,
                    "",
                    rule('*'),
                    "          #### THE FOLLOWING INPUT IS USED FOR THE  NLM-FCM RUN ####",
                    rule('='),
                    " VARIABLES SELECTED: ",
                    rule('+')};
  for (int j = 0; j < d.variables(); j += 8) {
    std::string line = " ";
    for (int k = j; k < std::min(j + 8, d.variables()); ++k) line += d.names[k];
    expected.push_back(line);
  }
  expected.insert(expected.end(),
                  {rule('='), " SAMPLES AND (FUZZY ONLY) SELECTION-WEIGHTS: ", rule('+')});
  for (int i = 0; i < d.samples(); i += 4) {
    std::string line;
    for (int k = i; k < std::min(i + 4, d.samples()); ++k) line += " " + d.ids[k] + "  1.000";
    expected.push_back(line);
  }
  expected.push_back(rule('*'));
  expect_lines(report, 0, expected);
  return expected.size();
}

// The mapping block ------------------------------------------------------------

// The error of a regular hyper-polygon of dimension D mapped into the plane.
double hyper_polygon(int D) {
  static const std::map<int, double> table = {
      {2, 0.0001}, {3, 0.029}, {4, 0.053}, {5, 0.071}, {6, 0.086}, {7, 0.095}, {8, 0.1},
      {9, 0.11},   {10, 0.12}, {11, 0.12}, {12, 0.12}, {13, 0.13}, {14, 0.13}, {15, 0.13},
      {16, 0.14},  {17, 0.14}, {18, 0.14}, {19, 0.14}, {20, 0.15}};
  return table.at(D);
}

int dimensionality(double error) {
  int D = 2;
  while (!(error < hyper_polygon(D) || error <= hyper_polygon(D + 1)) && D < 19) ++D;
  return D;
}

struct MappingResult {
  int best_iteration = 0;
  Lines final_listing;
};

// The mapping's block from its heading to its closing rule. Norms 1 and 3 start
// from the first two variables divided by their standard deviations.
MappingResult check_mapping(const Lines& report, std::size_t at, const Data& d, int norm,
                            int iterations, const Lines& screen) {
  MappingResult result;
  expect_lines(report, at,
               {"", "", " BEGINNING OF NLM ROUTINE", "", " " + d.title, "", "",
                " DECLARED MISSING VALUE =  -999.0000", ""});
  at += 9;
  if (norm == 3) {
    expect_lines(report, at, {" ", " CHECK MATRIX AA*AA(INVERSE)=1, THE IDENTITY", ""});
    at += 3;
    for (int j = 0; j < d.variables(); ++j, ++at) {
      const std::string& row = report.at(at);
      EXPECT_EQ(row.size(), 10u + 6u * d.variables()) << row;
      EXPECT_EQ(row.substr(0, 10), std::string(10, ' '));
      for (int k = 0; k < d.variables(); ++k) {
        const std::string cell = row.substr(10 + 6 * k, 6);
        if (k == j) {
          EXPECT_EQ(cell, "  1.00") << row;
        } else {
          EXPECT_TRUE(cell == "  0.00" || cell == " -0.00") << row;
        }
      }
    }
  }
  EXPECT_EQ(report.at(at++), " Means, Stand. dev. and Numb. of observations");
  // On the screen the heading follows the prompt of the last parameter question.
  std::size_t on_screen = find_line_ending(screen, " Means, Stand. dev. and Numb. of observations");
  for (int j = 0; j < d.variables(); ++j, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.size(), 45u);
    EXPECT_EQ(line.substr(0, 11), " " + d.names[j]);
    EXPECT_NEAR(number(line, 11, 14), mean(d, j), 2e-5 * std::max(1.0, std::fabs(mean(d, j))));
    EXPECT_NEAR(number(line, 25, 14), std::sqrt(variance(d, j)), 2e-5 * std::sqrt(variance(d, j)));
    EXPECT_EQ(number(line, 39, 6), present_count(d, j));
    // The screen shows the same line after the variable's number.
    if (on_screen + 1 + j < screen.size()) {
      EXPECT_EQ(screen[on_screen + 1 + j], I(j + 1, 4) + line);
    }
  }
  expect_lines(
      report, at,
      {"", " COORDINATE VARIANCE HAS BEEN NORMALISED", "", " INITIAL 2-SPACE CONFIGURATION "});
  at += 4;
  const double sd1 = std::sqrt(variance(d, 0)), sd2 = std::sqrt(variance(d, 1));
  for (int i = 0; i < d.samples(); ++i, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.substr(0, 18), " " + I(i + 1, 3) + "  " + d.ids[i] + "  ");
    EXPECT_NEAR(number(line, 18, 11), d.x[0][i] / sd1, 1e-4);
    EXPECT_NEAR(number(line, 29, 11), d.x[1][i] / sd2, 1e-4);
  }
  expect_lines(report, at, {"", bare_rule('+'), " MAPPING ERROR:", ""});
  at += 4;
  // The errors up to the best iteration, five to a line, then the minimum.
  std::vector<double> errors;
  for (; at < report.size() && !report[at].empty(); ++at) {
    const std::string& line = report[at];
    EXPECT_EQ(line.size() % 16, 0u) << line;
    for (std::size_t k = 0; k + 16 <= line.size(); k += 16) errors.push_back(number(line, k, 16));
  }
  expect_lines(report, at, {"", ""});
  at += 2;
  const std::string& minimum = report.at(at++);
  EXPECT_EQ(minimum.substr(0, 15), " MINIMUM ERROR=") << minimum;
  EXPECT_EQ(minimum.substr(30, 13), " ON ITERATION") << minimum;
  const double E = number(minimum, 15, 15);
  result.best_iteration = static_cast<int>(number(minimum, 43, 4));
  EXPECT_EQ(static_cast<int>(errors.size()), result.best_iteration);
  EXPECT_LE(result.best_iteration, iterations);
  EXPECT_NEAR(errors.back(), E, 5.1e-5);
  for (double e : errors) EXPECT_GE(e, E - 5.1e-5);
  // The lowest error against the regular hyper-polygons.
  const int m = d.variables();
  EXPECT_EQ(report.at(at++), "");
  const std::string& percent = report.at(at++);
  EXPECT_EQ(percent.substr(0, 24), " FINAL MAPPING ERROR IS ") << percent;
  EXPECT_EQ(percent.substr(39), " PERCENT OF THAT");
  const double P = E * 100.0 / hyper_polygon(std::min(m, 20));
  EXPECT_NEAR(number(percent, 24, 15), P, 1e-5 * P);
  expect_lines(report, at,
               {" OF A" + I(m, 3) + "-DIMENSIONAL REGULAR HYPER-POLYGON",
                " PROBABLE DIMENSIONALITY IS: " + I(dimensionality(E), 3), "", bare_rule('+'),
                "1FINAL 2-SPACE CONFIGURATION"});
  at += 5;
  result.final_listing = slice(report, at, static_cast<std::size_t>(d.samples()));
  for (int i = 0; i < static_cast<int>(result.final_listing.size()); ++i) {
    const std::string& line = result.final_listing[i];
    EXPECT_EQ(line.size(), 40u) << line;
    EXPECT_EQ(line.substr(0, 18), " " + I(i + 1, 3) + "  " + d.ids[i] + "  ");
  }
  at += static_cast<std::size_t>(d.samples());
  expect_lines(report, at, {"", "", " NORMAL END OF NLM JOB " + d.title, "", bare_rule('#')});
  return result;
}

// The clustering blocks --------------------------------------------------------

struct Clustering {
  int first = 2, last = 9, icon = 1, max_iterations = 100, sort_column = 1;
  std::string q = "1.50";
  bool extragrade = false;
  std::string alpha_header, alpha_summary;  // alpha as F4.3 and as F5.3
  double eps = 0.0001, threshold = 0.75;
  std::vector<bool> logged;  // per variable
  std::string base;          // output base name
  int classes(int c) const { return extragrade ? c + 1 : c; }
};

// One cluster count's values as the report and the result files give them.
struct CountResult {
  double F = 0, H = 0;
  int iterations = 0;
  std::vector<int> report_class;                 // per sample
  std::vector<std::vector<double>> memberships;  // per sample, from the membership file
  std::vector<double> x, y;                      // per sample, from the membership file
};

// The membership file's block of count c, from `at`.
void read_membership_block(const Lines& mem, std::size_t& at, const Data& d, const Clustering& p,
                           int c, CountResult& r) {
  std::istringstream head(mem.at(at++));
  long nsamp = 0, count = 0, first = 0, last = 0;
  double code = 0;
  head >> nsamp >> count >> first >> last >> code;
  EXPECT_EQ(nsamp, d.samples());
  EXPECT_EQ(count, c);
  EXPECT_EQ(first, p.first);
  EXPECT_EQ(last, p.last);
  EXPECT_EQ(code, d.missing);
  const int C1 = p.classes(c);
  double extragrade_sum = 0.0;
  for (int i = 0; i < d.samples(); ++i) {
    const std::string& line = mem.at(at++);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.substr(0, 24), " " + I(i + 1, 4) + "  " + d.ids[i] + "  1.000");
    r.x.push_back(number(line, 24, 12));
    r.y.push_back(number(line, 36, 12));
    r.memberships.push_back(numbers(line, 51, 6, 9, C1));
    double sum = 0.0;
    for (double u : r.memberships.back()) sum += u;
    EXPECT_NEAR(sum, 1.0, 0.001);
    extragrade_sum += r.memberships.back().back();
  }
  if (p.extragrade) {
    const std::string& line = mem.at(at++);
    EXPECT_EQ(line.substr(0, 33), " AVERAGE EXTRAGRADE MEMBERSHIP = ");
    EXPECT_NEAR(number(line, 33, 6), extragrade_sum / d.samples(), 1.1e-4);
  }
}

// The report's block of count c, from its opening rule; the centre file's block
// of the count follows in `cnt` from `cnt_at`.
void check_count_block(const Lines& report, std::size_t& at, const Lines& cnt, std::size_t& cnt_at,
                       const Lines& mem, std::size_t& mem_at, const Data& d, const Clustering& p,
                       int c, CountResult& r) {
  SCOPED_TRACE("cluster count " + std::to_string(c));
  const int C1 = p.classes(c), n = d.samples(), m = d.variables();
  const std::string heading =
      p.extragrade ? "  NUMBER OF CLUSTERS = " + I(c, 3) + "  DISTANCE NORM = " + I(p.icon, 3) +
                         "  FUZZY EXPONENT = " + p.q + " EXTRAGRADE ALFA = " + p.alpha_header
                   : "  NUMBER OF CLUSTERS = " + I(c, 3) + "      DISTANCE NORM = " + I(p.icon, 3) +
                         "     FUZZY EXPONENT = " + p.q;
  expect_lines(
      report, at,
      {"", bare_rule('+'), heading, "", " LISTING OF MAXIMUM ERRORS IN EACH ITERATION: ", ""});
  at += 6;
  std::vector<double> errors;
  for (; at < report.size() && !report[at].empty(); ++at) {
    EXPECT_LE(report[at].size(), 80u);
    for (std::size_t k = 0; k + 8 <= report[at].size(); k += 8) {
      errors.push_back(number(report[at], k, 8));
    }
  }
  ++at;
  const std::string& summary = report.at(at++);
  r.iterations = static_cast<int>(number(summary, 24, 3));
  EXPECT_EQ(summary, " NUMBER OF ITERATIONS = " + I(r.iterations, 3) + " MAXIMUM ERROR = " +
                         summary.substr(44, 11) + " NUMBER OF CLUSTERS = " + I(c, 2));
  EXPECT_EQ(static_cast<int>(errors.size()), r.iterations);
  const double last_error = number(summary, 44, 11);
  EXPECT_NEAR(errors.back(), last_error, 5.1e-5);
  if (r.iterations < p.max_iterations) {
    EXPECT_LT(last_error, p.eps);
  }

  // Validity: F and 1 - F add up; F and H agree with the memberships.
  expect_lines(report, at, {"", " ", " FSTOP       1-FSTOP     ENTROPY     PAYOFF", ""});
  at += 4;
  const std::string& validity = report.at(at++);
  EXPECT_EQ(validity.size(), 48u) << validity;
  r.F = number(validity, 1, 6);
  EXPECT_NEAR(r.F + number(validity, 11, 6), 1.0, 0.0011);
  r.H = number(validity, 25, 6);
  EXPECT_GT(number(validity, 36, 12), 0.0);
  expect_lines(report, at, {rule('-'), ""});
  at += 2;
  if (r.iterations >= p.max_iterations) {
    EXPECT_EQ(report.at(at++), " CONVERGENCE FLAG: UNABLE TO ACHIEVE SATISFACTORY CLUSTERS AFTER" +
                                   I(p.max_iterations, 5) + " ITERATIONS");
  }

  // Centres, sorted on the sort column; antilogs of log variables.
  expect_lines(report, at, {"", "               CLUSTER CENTERS V(I,J)", ""});
  at += 3;
  std::vector<std::vector<double>> centres;
  for (int j = 0; j < m; ++j, ++at) {
    const std::string& line = report.at(at);
    EXPECT_EQ(line.substr(0, 14), " " + d.names[j] + "   ");
    EXPECT_EQ(line.size(), 14u + 17u * c - 1u) << line;
    centres.push_back(numbers(line, 14, 16, 17, c));
  }
  const auto& sorted = centres.at(p.sort_column - 1);
  for (int k = 1; k < c; ++k) EXPECT_LE(sorted[k - 1], sorted[k]);
  expect_lines(report, at, {"", " Cluster centers (antilog for logtransformed vars)"});
  at += 2;
  for (int j = 0; j < m; ++j, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.substr(0, 14), " " + d.names[j] + "   ");
    const std::vector<double> antilogs = numbers(line, 14, 16, 17, c);
    for (int k = 0; k < c; ++k) {
      const double expected = p.logged[j] ? std::pow(10.0, centres[j][k]) : centres[j][k];
      EXPECT_NEAR(antilogs[k], expected, 1e-5 + 3e-5 * std::fabs(expected));
    }
    // The centre file holds the same line, marked L for a log variable.
    std::string in_file = line;
    if (p.logged[j]) in_file.replace(11, 3, " L ");
    EXPECT_EQ(cnt.at(cnt_at++), in_file);
  }

  // Memberships: the class is the largest, the totals count the classes.
  expect_lines(report, at,
               {"", bare_rule('+'), rule('-'), "", " ",
                "                         MEMBERSHIP FUNCTIONS", ""});
  at += 7;
  read_membership_block(mem, mem_at, d, p, c, r);
  std::vector<int> totals(static_cast<std::size_t>(C1), 0);
  for (int i = 0; i < n; ++i, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.substr(0, 26), " " + I(i + 1, 4) + "  " + d.ids[i] + "  1.000  ");
    EXPECT_EQ(line.size(), 30u + 7u * C1 - 2u);
    const int cls = static_cast<int>(number(line, 26, 2));
    r.report_class.push_back(cls);
    ASSERT_GE(cls, 1);
    ASSERT_LE(cls, C1);
    ++totals[static_cast<std::size_t>(cls - 1)];
    const std::vector<double> u = numbers(line, 30, 5, 7, C1);
    double sum = 0.0, best = 0.0;
    for (int k = 0; k < C1; ++k) {
      sum += u[k];
      EXPECT_NEAR(u[k], r.memberships[i][k], 0.00056);
      best = std::max(best, r.memberships[i][k]);
    }
    EXPECT_NEAR(sum, 1.0, 0.0005 * C1 + 1e-6);
    // Ties go to the higher class; values closer than the file shows are not judged.
    for (int k = 0; k < C1; ++k) {
      if (best - r.memberships[i][k] > 2e-4) continue;
      if (k + 1 > cls) ADD_FAILURE() << "class " << k + 1 << " is as large";
    }
    EXPECT_GE(r.memberships[i][cls - 1], best - 2e-4);
  }
  // The totals' layout stops at its first count without a value, before its
  // closing line end.
  EXPECT_EQ(report.at(at++), "");
  std::string total = " TOTAL" + std::string(21, ' ');
  for (int t : totals) total += I(t, 7);
  EXPECT_EQ(report.at(at++), total);
  if (p.extragrade) {
    EXPECT_EQ(report.at(at++), mem.at(mem_at - 1));
  }

  // F and H from the memberships of the file.
  double F = 0.0, H = 0.0;
  for (const auto& u : r.memberships) {
    for (double v : u) {
      F += v * v / n;
      if (v > 0.0) H -= std::log(v) * v / n;
    }
  }
  EXPECT_NEAR(r.F, F, 0.0015);
  EXPECT_NEAR(r.H, H, 0.003);
}

// The run summary and the validity file; from its opening rule.
void check_summary(const Lines& report, std::size_t at, const Lines& opt, const Data& d,
                   const Clustering& p, const std::vector<CountResult>& counts) {
  Lines expected = {"",
                    bare_rule('+'),
                    "",
                    "",
                    "           " + d.title,
                    "",
                    "",
                    "",
                    " ",
                    "",
                    "                         RUN SUMMARY",
                    "",
                    "",
                    " NUMBER OF SUBJECTS NSAMP = " + I(d.samples(), 4),
                    " NUMBER OF FEATURES NDIM = " + I(d.variables(), 4),
                    " MEMBERSHIP DEFECT BOUND EPS = 0.0001",
                    " NORM THIS RUN ICON = " + std::to_string(p.icon),
                    " FUZZY EXPONENT Q =  " + p.q};
  if (p.extragrade) expected.push_back(" EXTRAGRADE ALPHA = " + p.alpha_summary);
  expect_lines(report, at, expected);
  at += expected.size();
  const Lines table_head = {"", "",
                            "  C      F      Fmin   Fscaled       H      Hmax     Hscaled     IT",
                            "               (1/c)  (min<F<1)          (log c)  (1-F<H<max)"};
  expect_lines(report, at, table_head);
  at += table_head.size();
  const int rows = p.last - p.first + 1;
  Lines table = table_head;
  bool marked = false;
  for (int k = 0; k < rows; ++k, ++at) {
    const int c = p.first + k, C1 = p.classes(c);
    const CountResult& r = counts.at(static_cast<std::size_t>(k));
    const std::string& row = report.at(at);
    SCOPED_TRACE(row);
    table.push_back(row);
    EXPECT_EQ(row.substr(0, 3), " " + I(c, 2));
    const double F = number(row, 6, 6), Fmin = number(row, 14, 6), Fscaled = number(row, 23, 6);
    const double H = number(row, 34, 6), Hmax = number(row, 42, 6), Hscaled = number(row, 53, 6);
    EXPECT_EQ(F, r.F);
    EXPECT_EQ(H, r.H);
    EXPECT_NEAR(Fmin, 1.0 / C1, 0.0005);
    EXPECT_NEAR(Hmax, std::log(C1), 0.0005);
    EXPECT_NEAR(Fscaled, (F - 1.0 / C1) / (1.0 - 1.0 / C1), 0.002);
    EXPECT_NEAR(Hscaled, (H - (1.0 - F)) / (std::log(C1) - (1.0 - F)), 0.004);
    EXPECT_EQ(static_cast<int>(number(row, 59, 8)), r.iterations);
    const bool flag = r.iterations >= p.max_iterations;
    marked = marked || flag;
    EXPECT_EQ(row.size(), flag ? 69u : 67u);
  }
  if (marked) {
    expect_lines(report, at,
                 {"", " *: UNABLE TO ACHIEVE SATISFACTORY CLUSTERS AFTER" + I(p.max_iterations, 5) +
                          " ITERATIONS"});
    at += 2;
  }
  expect_lines(report, at,
               {"", " Fmax = 1; Hmin = 0 and (1-F) < H", "", "", "", "",
                " NORMAL END OF FUZZY JOB " + d.title, "", bare_rule('#')});
  EXPECT_EQ(at + 9, report.size()) << "the report goes on after the clustering";
  // The validity file holds the table of the summary.
  EXPECT_EQ(opt, table);
}

// The class file: every count's defuzzified class, 0 for counts that did not
// run; the plotting coordinates as in the membership file.
void check_class_file(const Lines& cls, const Data& d, const Clustering& p,
                      const std::vector<CountResult>& counts) {
  ASSERT_EQ(static_cast<int>(cls.size()), d.samples());
  const int columns = p.classes(p.last);
  for (int i = 0; i < d.samples(); ++i) {
    const std::string& line = cls[i];
    SCOPED_TRACE(line);
    EXPECT_EQ(line.size(), 53u + 3u * columns);
    EXPECT_EQ(line.substr(0, 22), I(i + 1, 4) + " " + d.ids[i] + "  1.000");
    const CountResult& last = counts.back();
    EXPECT_NEAR(number(line, 22, 15), last.x[i], 1e-5 + 1e-6 * std::fabs(last.x[i]));
    EXPECT_NEAR(number(line, 37, 15), last.y[i], 1e-5 + 1e-6 * std::fabs(last.y[i]));
    const std::vector<double> classes = numbers(line, 53, 3, 3, columns);
    for (int k = 0; k < columns; ++k) {
      const int c = k + 2;
      if (c < p.first || c > p.last) {
        EXPECT_EQ(classes[k], 0) << "count " << c;
        continue;
      }
      const CountResult& r = counts.at(static_cast<std::size_t>(c - p.first));
      const std::vector<double>& u = r.memberships[i];
      const double best = *std::max_element(u.begin(), u.end());
      double second = 0.0;
      for (double v : u) {
        if (v != best) second = std::max(second, v);
      }
      if (std::fabs(best * p.threshold - second) < 3e-4) continue;  // too close to judge
      EXPECT_EQ(classes[k], best * p.threshold > second ? r.report_class[i] : 99) << "count " << c;
    }
  }
}

// Every cluster count's blocks, the summary and the four result files.
std::vector<CountResult> check_clustering(const Folder& dir, const Lines& report, std::size_t at,
                                          const Data& d, const Clustering& p) {
  const Lines cnt = dir.lines(p.base + ".CNT"), mem = dir.lines(p.base + ".MEM");
  const int m = d.variables(), n = d.samples();
  expect_lines(report, at,
               {"", "", " BEGINNING OF FUZZY ROUTINE", "", "", " LIST OF THE FIRST TEN SAMPLES",
                bare_rule('+')});
  at += 7;
  for (int i = 0; i < std::min(10, n); ++i, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.substr(0, 12), " " + d.ids[i] + " ");
    EXPECT_EQ(line.size(), 12u + 8u * std::min(m, 14) - 1u);
    const std::vector<double> values = numbers(line, 12, 7, 8, std::min(m, 14));
    for (int j = 0; j < std::min(m, 14); ++j) EXPECT_NEAR(values[j], d.x[j][i], 0.00501);
  }
  expect_lines(report, at,
               {"", bare_rule('+'), "", "          NUMBER OF SAMPLES = " + I(n, 5), "", "", "",
                " *** *** BEGIN FUZZY C-MEANS OUTPUT *** ***", "", "", bare_rule('+'), " ",
                "       SCALING MATRIX CC", ""});
  at += 14;
  EXPECT_EQ(p.icon, 1) << "the test knows the scaling of the diagonal norm only";
  for (int j = 0; j < m; ++j, ++at) {
    const std::string& line = report.at(at);
    SCOPED_TRACE(line);
    EXPECT_EQ(line.size(), 10u * m);
    for (int k = 0; k < m; ++k) {
      const double expected = j == k ? 1.0 / variance(d, j) : 0.0;
      EXPECT_NEAR(number(line, 1 + 10 * k, 9), expected, 0.0005 + 1e-4 * expected);
    }
  }
  std::vector<CountResult> counts;
  std::size_t cnt_at = 0, mem_at = 0;
  for (int c = p.first; c <= p.last; ++c) {
    counts.emplace_back();
    check_count_block(report, at, cnt, cnt_at, mem, mem_at, d, p, c, counts.back());
  }
  EXPECT_EQ(cnt_at, cnt.size());
  EXPECT_EQ(mem_at, mem.size());
  check_summary(report, at, dir.lines(p.base + ".OPT"), d, p, counts);
  check_class_file(dir.lines(p.base + ".CLS"), d, p, counts);
  return counts;
}

// The bitmap ---------------------------------------------------------------------

std::uint32_t u32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(bytes.at(at + k));
  return v;
}

// A 16-colour BMP of the panels, whose colour table is the palette of the
// drawing surface, and which holds the panel outlines, the two validity curves
// and their ticks.
void check_bitmap(const std::string& bytes) {
  ASSERT_GE(bytes.size(), 118u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(u32(bytes, 2), bytes.size());
  EXPECT_EQ(u32(bytes, 6), 0u);
  EXPECT_EQ(u32(bytes, 14), 40u);
  const std::uint32_t width = u32(bytes, 18), height = u32(bytes, 22);
  EXPECT_GT(width, 0u);
  EXPECT_GT(height, 0u);
  EXPECT_EQ(u32(bytes, 26), 1u | 4u << 16) << "one plane, four bits per pixel";
  EXPECT_EQ(u32(bytes, 30), 0u) << "no compression";
  const std::uint32_t offset = u32(bytes, 10);
  ASSERT_EQ(offset, 14u + 40u + 16u * 4u);
  const int palette[16][3] = {{0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
                              {128, 0, 0},     {128, 0, 128}, {128, 128, 0}, {128, 128, 128},
                              {192, 192, 192}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
                              {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
  for (int k = 0; k < 16; ++k) {
    const std::size_t at = 54 + 4 * k;
    EXPECT_EQ(static_cast<unsigned char>(bytes[at]), palette[k][2]) << "blue of " << k;
    EXPECT_EQ(static_cast<unsigned char>(bytes[at + 1]), palette[k][1]) << "green of " << k;
    EXPECT_EQ(static_cast<unsigned char>(bytes[at + 2]), palette[k][0]) << "red of " << k;
  }
  const std::size_t row = (width * 4 + 31) / 32 * 4;
  ASSERT_EQ(bytes.size(), offset + row * height);
  std::vector<long> used(16, 0);
  for (std::size_t at = offset; at < bytes.size(); ++at) {
    const auto b = static_cast<unsigned char>(bytes[at]);
    ++used[b >> 4];
    ++used[b & 0x0F];
  }
  for (int colour : {1, 10, 11, 12}) EXPECT_GT(used[colour], 0) << "colour " << colour;
}

// The panel picture of a run, decoded by the independent reader, at pixels
// that its class and validity files fix: the slot outlines, the validity
// panel's inner box and ticks, empty slots, and the discs of samples that no
// other disc of their panel comes near, in the colours of their class codes.
void check_panel_pixels(const Folder& dir, const std::string& base, int ncl) {
  display::testing::Ppm image;
  ASSERT_TRUE(display::testing::decode_with_python(dir / (base + ".BMP"), image));
  ASSERT_EQ(image.width, 1024);
  ASSERT_EQ(image.height, 768);
  const int g = ncl < 9 ? 3 : 4;
  const int PW = 1024 / g - 1, PH = 768 / g - 1;
  const std::vector<float> edges = g == 3 ? std::vector<float>{0.0f, 0.33f, 0.66f, 1.0f}
                                          : std::vector<float>{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  struct Box {
    int x1, y1, x2, y2;
  };
  auto box = [&](int slot) {
    const int column = (slot - 1) % g, row = (slot - 1) / g;
    return Box{static_cast<int>(1024.0f * edges[column]), static_cast<int>(768.0f * edges[row]),
               static_cast<int>(1024.0f * edges[column + 1] - 1.0f),
               static_cast<int>(768.0f * edges[row + 1] - 1.0f)};
  };
  auto colour = [&](int x, int y) {
    const display::Rgb c = image.at(x, y);
    return std::vector<int>{c.red, c.green, c.blue};
  };
  auto palette = [](int index) {
    const display::Rgb c =
        display::palette[static_cast<std::size_t>(display::palette_index(index))];
    return std::vector<int>{c.red, c.green, c.blue};
  };
  const std::vector<int> navy = palette(1), red = palette(12), black = palette(0);
  for (int p = 1; p <= ncl + 1; ++p) {
    const Box b = box(p <= ncl ? p : g * g);
    EXPECT_EQ(colour(b.x1, b.y1), navy) << "slot of panel " << p;
    EXPECT_EQ(colour(b.x2, b.y2), navy) << "slot of panel " << p;
  }
  for (int slot = ncl + 1; slot < g * g; ++slot) {
    const Box b = box(slot);
    EXPECT_EQ(colour((b.x1 + b.x2) / 2, (b.y1 + b.y2) / 2), black) << "empty slot " << slot;
  }
  // The validity panel: inner box and the ticks, the last on its right edge.
  const Box v = box(g * g);
  const int left = static_cast<int>(v.x1 + 0.1f * PW), top = static_cast<int>(v.y1 + 0.1f * PH);
  const int right = static_cast<int>(v.x2 - 0.1f * PW);
  const int bottom = static_cast<int>(v.y2 - 0.1f * PH);
  EXPECT_EQ(colour(left, top), navy);
  EXPECT_EQ(colour(right, top), navy);
  for (int k = 1; k <= ncl; ++k) {
    const int x = k == ncl ? right
                           : static_cast<int>(v.x1 + 0.1f * PW +
                                              0.8f * static_cast<float>(k - 1) * PW / (ncl - 1));
    EXPECT_EQ(colour(x, bottom - 5), red) << "tick " << k;
  }
  // The discs: plotting coordinates scaled to the panel extents.
  std::vector<float> qx, qy;
  std::vector<std::vector<int>> codes;
  for (const std::string& line : dir.lines(base + ".CLS")) {
    qx.push_back(std::stof(line.substr(22, 15)));
    qy.push_back(std::stof(line.substr(37, 15)));
    std::vector<int> c;
    for (int p = 0; p < ncl; ++p) c.push_back(std::stoi(line.substr(53 + 3 * p, 3)));
    codes.push_back(c);
  }
  auto scale = [](std::vector<float>& q, int extent) {
    float max = *std::max_element(q.begin(), q.end()), min = *std::min_element(q.begin(), q.end());
    max = max + 0.05f * (max - min);
    min = min - 0.05f * (max - min);
    for (float& value : q) value = (value - min) * static_cast<float>(extent) / (max - min);
  };
  scale(qx, PW);
  scale(qy, PH);
  int checked = 0;
  for (int p = 1; p <= ncl; ++p) {
    const Box b = box(p);
    for (std::size_t i = 0; i < qx.size(); ++i) {
      const float x = static_cast<float>(b.x1) + qx[i], y = static_cast<float>(b.y2 - 1) - qy[i];
      bool alone = true;
      for (std::size_t j = 0; j < qx.size() && alone; ++j) {
        alone = j == i || std::fabs(qx[j] - qx[i]) > 6.0f || std::fabs(qy[j] - qy[i]) > 6.0f;
      }
      if (!alone) continue;
      const int code = codes[i][static_cast<std::size_t>(p - 1)];
      const int index = code == 15 ? 21 : code == 16 ? 22 : code == 20 ? 15 : code;
      if (palette(index) == black) continue;
      // The disc of radius 2 around its centre, and nothing three pixels away.
      const int cx = static_cast<int>(x - 2.0f) + 2, cy = static_cast<int>(y - 2.0f) + 2;
      for (const auto& [dx, dy, in] : {std::tuple{0, 0, true},
                                       {2, 0, true},
                                       {-2, 0, true},
                                       {0, 2, true},
                                       {0, -2, true},
                                       {3, 0, false},
                                       {-3, 0, false},
                                       {0, 3, false},
                                       {0, -3, false}}) {
        EXPECT_EQ(colour(cx + dx, cy + dy), in ? palette(index) : black)
            << "sample " << i + 1 << " in panel " << p << " at (" << dx << "," << dy << ")";
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 10 * ncl);
}

// The clustering answers of the example dialogues: extragrades with alpha 0.1,
// exponent 1.5, counts from 2, at most 300 iterations.
Clustering with_extragrades(const std::string& base, int last, std::vector<bool> logged) {
  Clustering p;
  p.first = 2;
  p.last = last;
  p.extragrade = true;
  p.alpha_header = ".100";
  p.alpha_summary = "0.100";
  p.max_iterations = 300;
  p.logged = std::move(logged);
  p.base = base;
  return p;
}

// One example, run with graphics on: the report, the screen and its files.
struct ExampleRun {
  Folder dir;
  RunResult result;
  Lines report, screen;
  Data data;

  ExampleRun(const std::string& example, const std::string& dialogue, const std::string& base,
             Data (*read_data)(const Folder&)) {
    copy_example(dir, example);
    result = dir.run({"N", dialogue}, 60);
    EXPECT_EQ(result.status, 0) << last_line(result.screen);
    report = dir.lines(base + ".OUT");
    screen = split_lines(result.screen);
    data = read_data(dir);
  }
  // The run ended normally and the test read this many samples from the data.
  bool completed(int samples) const { return result.status == 0 && data.samples() == samples; }
};

// The echo and the mapping's block; the mapping's result file holds its final
// listing.
MappingResult check_echo_and_mapping(const ExampleRun& run, const Data& d, int norm, int iterations,
                                     const std::string& base) {
  const std::size_t at = check_echo(run.report, d);
  MappingResult mapping = check_mapping(run.report, at, d, norm, iterations, run.screen);
  EXPECT_EQ(run.dir.lines(base + ".NLM"), mapping.final_listing);
  return mapping;
}

}  // namespace

TEST(Examples, IrisMappingAndClusteringWithExtragrades) {
  ExampleRun run("iris", "iris.dlg", "IRIS", read_iris);
  ASSERT_TRUE(run.completed(150));
  const Data& d = run.data;
  const MappingResult mapping = check_echo_and_mapping(run, d, 1, 100, "IRIS");
  const std::size_t at = find_line(run.report, bare_rule('#')) + 1;

  Clustering p = with_extragrades("IRIS", 6, {false, false, false, false});
  p.sort_column = 3;
  const auto counts = check_clustering(run.dir, run.report, at, d, p);
  // The clustering plots and writes the configuration that the mapping left,
  // which is the best one when the best iteration was the last.
  if (mapping.best_iteration == 100 && !counts.empty()) {
    for (int i = 0; i < d.samples(); ++i) {
      EXPECT_NEAR(counts.back().x[i], number(mapping.final_listing.at(i), 18, 11), 6e-5);
      EXPECT_NEAR(counts.back().y[i], number(mapping.final_listing.at(i), 29, 11), 6e-5);
    }
  }
  // Fewer than 1001 samples: the scratch files are made and stay empty.
  EXPECT_TRUE(run.dir.exists("NLMA.TMP") && run.dir.read("NLMA.TMP").empty());
  EXPECT_TRUE(run.dir.exists("NLMB.TMP") && run.dir.read("NLMB.TMP").empty());
  check_bitmap(run.dir.read("IRIS.BMP"));
  if (display::testing::python_available()) check_panel_pixels(run.dir, "IRIS", 5);
}

TEST(Examples, SoilClusteringOfADbaseFileWithLogsAndMissingValues) {
  ExampleRun run("soil", "soil.dlg", "SOIL", read_soil);
  ASSERT_TRUE(run.completed(120));
  const Data& d = run.data;
  ASSERT_EQ(d.variables(), 8);
  EXPECT_LT(present_count(d, 6), d.samples()) << "the example has missing CU values";
  const std::size_t at = check_echo(run.report, d);

  const Clustering p =
      with_extragrades("SOIL", 8, {false, false, false, true, false, false, true, true});
  const auto counts = check_clustering(run.dir, run.report, at, d, p);
  // Without the mapping the plotting coordinates are variables 3 and 4, in
  // the six digits of the membership file.
  for (const CountResult& r : counts) {
    for (int i = 0; i < d.samples(); ++i) {
      EXPECT_NEAR(r.x[i], d.x[2][i], 6e-6 * std::max(1.0, std::fabs(d.x[2][i])));
      EXPECT_NEAR(r.y[i], d.x[3][i], 6e-6 * std::max(1.0, std::fabs(d.x[3][i])));
    }
  }
  EXPECT_FALSE(run.dir.exists("SOIL.NLM"));
  EXPECT_FALSE(run.dir.exists("NLMA.TMP"));
  check_bitmap(run.dir.read("SOIL.BMP"));
  if (display::testing::python_available()) check_panel_pixels(run.dir, "SOIL", 7);
}

TEST(Examples, SedimentMappingOfAFixedLayoutFileUnderTheMahalanobisNorm) {
  ExampleRun run("sediment", "sed.dlg", "SEDIMENT", read_sediment);
  ASSERT_TRUE(run.completed(75));
  const Data& d = run.data;
  check_echo_and_mapping(run, d, 3, 150, "SEDIMENT");
  EXPECT_EQ(find_line(run.report, bare_rule('#')) + 1, run.report.size());
  for (const char* ext : {".CNT", ".MEM", ".CLS", ".OPT", ".BMP"}) {
    EXPECT_FALSE(run.dir.exists(std::string("SEDIMENT") + ext)) << ext;
  }
}
