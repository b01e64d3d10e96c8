#include "driver/dialogues.hpp"

#include <string>
#include <vector>

#include "format/layout.hpp"
#include "limits/limits.hpp"

namespace driver {

using console::ask_integer;
using console::ask_letter;
using console::ask_real;
using console::Console;
using console::DialogueUnit;

namespace {

std::string banner_line(std::string_view text) {
  return input::fixed_width(std::string("  ") + std::string(text), 57);
}

void write_norm_list(Console& screen) {
  screen.line(" 0: Euclidian distance;");
  screen.line(" 1: Diagonal norm (scaling by feature variance);");
  screen.line(" 2: Scaling by feature means;");
  screen.write(" 3: Mahalanobis norm (scaling by inversed covariance matrix). ");
}

// Splits free-format text into items at blanks and commas.
std::vector<std::string> free_items(const std::string& line) {
  std::vector<std::string> items;
  std::string item;
  for (char c : line) {
    if (c == ' ' || c == ',' || c == '\t') {
      if (!item.empty()) items.push_back(item);
      item.clear();
    } else {
      item += c;
    }
  }
  if (!item.empty()) items.push_back(item);
  return items;
}

// Reads `count` integers in free format; empty lines are passed over, and
// what follows the last integer needed on its line is not looked at, as a
// free-format read leaves the rest of its record. Returns false when an item
// is not an integer.
bool read_free_integers(DialogueUnit& unit, std::vector<int>& out, std::size_t count) {
  out.clear();
  while (out.size() < count) {
    for (const std::string& item : free_items(unit.read_line())) {
      long long value = 0;
      if (!format::read_integer(item, value)) return false;
      // A number beyond int is no column; it must not wrap round into one.
      out.push_back(value >= 1 && value <= limits::max_variables ? static_cast<int>(value) : 0);
      if (out.size() == count) break;
    }
  }
  return true;
}

bool in_range(int column, int count) {
  return column >= 1 && column <= count;
}

}  // namespace

void write_banner(Console& screen) {
  const std::string rule = " " + std::string(58, '-');
  const char* lines[] = {
      "PROGRAM TARNWICK, 1995.",
      "WRITTEN BY THE TARNWICK DEVELOPERS FOR THE",
      "EXPLORATORY ANALYSIS OF MULTIVARIATE SAMPLE DATA",
      "FROM SOIL, SEDIMENT AND ROCK SURVEYS",
      "",
      "FUZZY C-MEANS CLUSTERING ALGORITHM",
      "PARTLY BASED ON ORIGINAL VERSION BY",
      "FCM: THE FUZZY C-MEANS CLUSTERING ALGORITHM,",
      "COMPUTERS & GEOSCIENCES 10 (1984) 191-203.",
      "",
      "EXTRAGRADE ALGORITHM AFTER",
      "A MODIFIED FUZZY K-MEANS METHOD FOR PREDICTIVE",
      "CLASSIFICATION (1988): AN EXTRA CLASS TAKES",
      "MEMBERSHIP FROM SAMPLES FAR FROM EVERY CENTRE.",
      "",
      "NON-LINEAR MAPPING ALGORITHM",
      "A NONLINEAR MAPPING FOR DATA STRUCTURE ANALYSIS,",
      "IEEE TRANSACTIONS ON COMPUTERS C-18 (1969)",
      "401-409 (THE SAMMON MAPPING).",
  };
  screen.line(rule);
  for (const char* text : lines) screen.line(banner_line(text));
  screen.line(rule);
  screen.line();
}

void write_limits(Console& screen) {
  screen.print(
      "(/,' Max.number of input rows and columns ',I6,',',I4,/,/,"
      "' Max.allowed number of iterations ',I4)",
      limits::max_samples, limits::max_variables, limits::max_iterations);
}

void show_variable_table(Console& screen, const input::SampleTable& table) {
  // The corner is the code-page-437 byte 0xB8, shown here as its Unicode character.
  screen.line(" |" + std::string(68, '-') + "\u2555");
  const int cells = (table.variable_count + 3) / 4 * 4;
  std::string row;
  for (int k = 1; k <= cells; ++k) {
    std::string name = k <= table.variable_count ? table.names[k - 1] : std::string(10, ' ');
    row += format::render("(' *',I2,' ',A10,' * ',$)", k, input::fixed_width(name, 10));
    if (k % 4 == 0) {
      screen.line(row);
      row.clear();
    }
  }
  screen.line();
  screen.line(" *" + std::string(68, '-') + "*");
  screen.line();
}

int ask_column(DialogueUnit& unit, const char* prompt, int count) {
  std::vector<int> answer;
  for (;;) {
    unit.screen().write(prompt);
    if (!read_free_integers(unit, answer, 1)) continue;
    if (in_range(answer[0], count)) return answer[0];
    unit.screen().print("(' COLUMN NUMBER MUST LIE BETWEEN 1 AND ',I0)", count);
  }
}

std::pair<int, int> ask_two_columns(DialogueUnit& unit, const char* prompt, int count) {
  std::vector<int> answer;
  for (;;) {
    unit.screen().write(prompt);
    if (!read_free_integers(unit, answer, 2)) continue;
    if (in_range(answer[0], count) && in_range(answer[1], count)) return {answer[0], answer[1]};
    unit.screen().print("(' COLUMN NUMBERS MUST LIE BETWEEN 1 AND ',I0)", count);
  }
}

int bound_iterations(Console& screen, int answer) {
  if (answer <= limits::max_iterations) return answer;
  screen.print("(' Maximum allowed number of iteration:',I4)", limits::max_iterations);
  screen.print("(' Number of iteration set to:',I4)", limits::max_iterations);
  return limits::max_iterations;
}

void ask_mapping_parameters(DialogueUnit& unit, run::RunParameters& p) {
  Console& screen = unit.screen();
  for (;;) {
    screen.line(" *** INPUT PARAMETERS FOR NLM-SUBROUTINE ***");
    screen.line(" Distance measure to be mapped by NLM? <1>. ");
    write_norm_list(screen);
    p.nlm_norm = ask_integer(unit, run::defaults::norm);
    screen.write(" Power of distances in weighing? <1.0>: ");
    p.power = ask_real(unit, run::defaults::power);
    screen.write(" Number of iterations? (25 minimum) <100>: ");
    p.nlm_iteration_answer =
        bound_iterations(screen, ask_integer(unit, run::defaults::nlm_iterations));
    p.nlm_iterations = std::max(p.nlm_iteration_answer, run::min_nlm_iterations);
    screen.write("\n ALL INPUT PARAMETERS CORRECT? (<Y> OR N): ");
    if (ask_letter(unit, 'Y', "YN") == 'Y') break;
  }
  console::clear_console(screen);
}

namespace {

// The largest cluster count the tables hold: one class is kept for the extragrades.
int max_clusters(char extragrade) {
  return extragrade == 'Y' ? limits::max_classes - 1 : limits::max_classes;
}

int ask_first_clusters(DialogueUnit& unit, char extragrade) {
  for (;;) {
    unit.screen().write(" Starting number of clusters? <2>: ");
    int c = ask_integer(unit, run::defaults::first_clusters);
    if (c >= 2 && c <= max_clusters(extragrade)) return c;
    unit.screen().print("(' NUMBER OF CLUSTERS MUST LIE BETWEEN 2 AND ',I0)",
                        max_clusters(extragrade));
  }
}

int ask_last_clusters(DialogueUnit& unit, char extragrade, int first) {
  for (;;) {
    unit.screen().write(" Finishing number of clusters? <9>: ");
    int c = ask_integer(unit, run::defaults::last_clusters);
    if (c >= first && c <= max_clusters(extragrade)) return c;
    unit.screen().print("(' FINISHING NUMBER OF CLUSTERS MUST LIE BETWEEN ',I0,' AND ',I0)", first,
                        max_clusters(extragrade));
  }
}

int ask_sort_column(DialogueUnit& unit, int count) {
  for (;;) {
    unit.screen().write(" Give column number for sorting of cluster-centra <1>: ");
    int s = ask_integer(unit, run::defaults::sort_column);
    if (in_range(s, count)) return s;
    unit.screen().print("(' COLUMN NUMBER MUST LIE BETWEEN 1 AND ',I0)", count);
  }
}

}  // namespace

void ask_clustering_parameters(DialogueUnit& unit, const input::SampleTable& table,
                               run::RunParameters& p) {
  Console& screen = unit.screen();
  for (;;) {
    screen.line(" *** INPUT PARAMETERS FOR FUZZY C-MEANS SUBROUTINE ***");
    screen.line(" Distance measure to be used for FCM? <1>. ");
    write_norm_list(screen);
    p.fcm_norm = ask_integer(unit, run::defaults::norm);
    screen.write(" Calculation of an extragrade? (Y,<N>)");
    p.extragrade = ask_letter(unit, run::defaults::extragrade, "YN");
    p.alpha = 0.0f;
    if (p.extragrade == 'Y') {
      screen.write(" Alpha-factor? [0<alpha<1]: <0.1>");
      p.alpha = ask_real(unit, run::defaults::alpha);
    }
    screen.write(" Fuzzy exponent for FCM? [1<QQ<30]: <1.5>");
    p.exponent = ask_real(unit, run::defaults::exponent);
    p.first_clusters = ask_first_clusters(unit, p.extragrade);
    p.last_clusters = ask_last_clusters(unit, p.extragrade, p.first_clusters);
    if (p.first_clusters == p.last_clusters) {
      screen.write(" Save scaling matrix? (Y,<N>)");
      if (ask_letter(unit, 'N', "YN") == 'Y') p.save_scaling = true;
    }
    screen.write(" Maximum number of iterations <100>:");
    p.max_fcm_iterations =
        bound_iterations(screen, ask_integer(unit, run::defaults::fcm_iterations));
    screen.write(" Value for Eps <0.0001>:");
    p.eps = ask_real(unit, run::defaults::eps);
    screen.write(" Give random number (1-200) to initiate clustering <1>: ");
    p.random_start = ask_integer(unit, run::defaults::random_start);
    screen.write(" Threshold membership-ratio for defuzzification <0.75>");
    p.threshold = ask_real(unit, run::defaults::threshold);
    screen.line();
    show_variable_table(screen, table);
    p.sort_column = ask_sort_column(unit, table.variable_count);
    screen.write("\n ALL FUZZY PARAMETERS CORRECT? (<Y>/N): ");
    if (ask_letter(unit, 'Y', "YN") == 'Y') break;
  }
}

}  // namespace driver
