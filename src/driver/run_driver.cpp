#include "driver/run_driver.hpp"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "console/dialogue.hpp"
#include "console/printable.hpp"
#include "console/run_stop.hpp"
#include "display/panels.hpp"
#include "display/plots.hpp"
#include "display/window_surface.hpp"
#include "driver/dialogues.hpp"
#include "driver/output_names.hpp"
#include "fuzzy/fuzzy.hpp"
#include "input/data_input.hpp"
#include "mapping/mapping.hpp"
#include "norms/scaling.hpp"
#include "run/parameters.hpp"
#include "run/run_context.hpp"
#include "run/run_echo.hpp"

namespace driver {

namespace {

using console::ask_letter;
using console::clear_console;
using console::Console;
using console::DialogueUnit;

// Everything one run owns, from the start to the end.
struct Run {
  explicit Run(Console& s) : screen(s) {}

  Console& screen;
  std::unique_ptr<DialogueUnit> dialogue;
  input::SampleTable table;
  run::RunStorage storage;
  run::RunParameters parameters;
  run::ReportFile report;
  norms::Scaling scaling;
  char mode = run::mode_both;
  char weight_option = 'N';
  std::string tag;
  std::unique_ptr<display::WindowSurface> surface;
  std::unique_ptr<display::IterationPlots> plots;

  run::RunContext context() { return {screen, *dialogue, table, storage, report}; }
  bool maps() const { return mode == run::mode_mapping || mode == run::mode_both; }
  bool clusters() const { return mode == run::mode_clustering || mode == run::mode_both; }
};

void ask_graphics(Run& r) {
  r.screen.write(" Graphics are often unstable in Windows 7, turn off graphics (<Y>/N)? ");
  DialogueUnit console_unit(r.screen);
  r.storage.graphics = ask_letter(console_unit, 'Y', "YN");
  if (r.storage.graphics_on()) {
    r.surface = std::make_unique<display::WindowSurface>();
    r.plots = std::make_unique<display::IterationPlots>(*r.surface);
    // The text and the graphics share one window: clearing it wipes both.
    display::WindowSurface* surface = r.surface.get();
    r.screen.on_clear([surface] { surface->clear_window(); });
  }
}

// The name field holds 30 characters; a longer name would be cut and then
// not found, so it is refused with a message and asked again.
constexpr std::size_t name_field = 30;

void open_dialogue(Run& r) {
  DialogueUnit console_unit(r.screen);
  std::string name;
  for (;;) {
    r.screen.write("\n Dialogue on file (FILENAME) or interactive use (<CON>)? ");
    name = console_unit.read_line();
    std::size_t end = name.find_last_not_of(' ');
    name = end == std::string::npos ? std::string() : name.substr(0, end + 1);
    if (name.size() <= name_field || name[0] == ' ') break;
    r.screen.print("(' DIALOGUE FILE NAME LONGER THAN',I3,' CHARACTERS: ',A)",
                   static_cast<int>(name_field), console::printable(name));
  }
  r.dialogue = std::make_unique<DialogueUnit>(r.screen, name.substr(0, name_field));
}

void open_report(Run& r) {
  for (;;) {
    r.screen.write(" Enter output filename without extension (<OUTPUT>)? ");
    std::optional<OutputNames> names = output_names(r.dialogue->read_line());
    if (names) {
      r.storage.base_name = names->base;
      r.storage.base_length = names->length;
      r.storage.report_name = names->report;
      r.storage.bitmap_name = names->bitmap;
      break;
    }
    r.screen.print("(' OUTPUT NAME TOO LONG: AT MOST',I3,' CHARACTERS WITHOUT EXTENSION')",
                   max_base_length);
  }
  r.report.open(r.storage.report_name);
}

void ask_mode(Run& r) {
  const char* question = " NLM, FUZZY or both? (N,F or <B>): ";
  r.screen.write(question);
  r.report.text(question);
  r.mode = ask_letter(*r.dialogue, 'B', "BNF");
  if (r.clusters()) {
    r.screen.write(" Weight/selection option in FUZZY (and scaling) routine (Y/<N>)? ");
    r.weight_option = ask_letter(*r.dialogue, 'N', "YN");
  }
}

void take_weights(Run& r, int column) {
  float sum = 0.0f;
  for (int i = 1; i <= limits::max_samples; ++i) {
    r.storage.weights[i - 1] = r.table.value(i, column);
    sum += r.storage.weights[i - 1];
  }
  r.storage.weighted_count = sum;
}

void take_display_columns(Run& r, int x, int y) {
  for (int i = 1; i <= limits::max_samples; ++i) {
    r.storage.config_x[i - 1] = r.table.value(i, x);
    r.storage.config_y[i - 1] = r.table.value(i, y);
  }
}

void ask_columns(Run& r) {
  if (r.mode == run::mode_clustering || r.weight_option == 'Y') {
    show_variable_table(r.screen, r.table);
  }
  int weight_column = 0;
  if (r.weight_option == 'Y') {
    weight_column =
        ask_column(*r.dialogue, " Give column number of sample weights: ", r.table.variable_count);
    take_weights(r, weight_column);
  }
  if (r.mode == run::mode_clustering) {
    auto [x, y] = ask_two_columns(
        *r.dialogue,
        " Give column numbers of X,Y coordinates for graphics display: ", r.table.variable_count);
    take_display_columns(r, x, y);
  }
  if (weight_column > 0) r.table.remove_column(weight_column);
}

// Without a sample or a variable no question that follows can be answered
// sensibly (the column questions would refuse every number), so the run ends
// here with the reason.
void check_table(const Run& r, const char* no_variable) {
  if (r.table.sample_count < 1) {
    throw console::RunStop("NO SAMPLES READ FROM DATA FILE " + r.table.data_file);
  }
  if (r.table.variable_count < 1) throw console::RunStop(no_variable);
}

// One analysis's time on screen: the status line goes when it ends, however
// it ends, and its last picture is shown.
class AnalysisOnScreen {
 public:
  explicit AnalysisOnScreen(Run& r) : r_(r) {}
  ~AnalysisOnScreen() {
    r_.screen.wipe_status();
    if (r_.surface) r_.surface->show_last_frame();
  }
  AnalysisOnScreen(const AnalysisOnScreen&) = delete;
  AnalysisOnScreen& operator=(const AnalysisOnScreen&) = delete;

 private:
  Run& r_;
};

void run_analyses(Run& r) {
  run::RunContext context = r.context();
  const run::RunParameters& p = r.parameters;
  r.tag = "ONE";
  if (r.maps()) {
    const AnalysisOnScreen on_screen(r);
    mapping::run_nonlinear_mapping(p.nlm_norm, p.nlm_iterations, r.table.variable_count,
                                   r.table.sample_count, p.power, r.table.missing_code, r.tag,
                                   context, r.scaling, r.plots.get());
  }
  if (p.fcm_norm == p.nlm_norm && r.tag == "NLM") r.tag = "NON";
  if (r.clusters()) {
    const AnalysisOnScreen on_screen(r);
    char extragrade = p.extragrade;
    fuzzy::FuzzyArguments args;
    args.ndim = r.table.variable_count;
    args.nsamp = r.table.sample_count;
    args.missing = r.table.missing_code;
    args.icon = p.fcm_norm;
    args.q = p.exponent;
    args.first_clusters = p.first_clusters;
    args.last_clusters = p.last_clusters;
    args.save_scaling = p.save_scaling;
    args.weight_option = r.weight_option;
    args.threshold = p.threshold;
    args.sort_column = p.sort_column;
    args.tag = &r.tag;
    args.extragrade = &extragrade;
    args.alpha = p.alpha;
    args.eps = p.eps;
    args.max_iterations = p.max_fcm_iterations;
    fuzzy::run_fuzzy_clustering(args, context, r.scaling, r.plots.get());
  }
}

void show_final_display(Run& r) {
  const run::RunParameters& p = r.parameters;
  if (!r.storage.graphics_on() || p.first_clusters == p.last_clusters || p.last_clusters >= 16) {
    return;
  }
  r.report.close();
  try {
    display::show_clustering_panels(*r.surface, r.storage.report_name, p.last_clusters,
                                    r.storage.bitmap_name);
  } catch (const std::runtime_error& failure) {
    throw console::RunStop(failure.what());
  }
}

// The final picture stays on screen until the user is done with it, when
// someone is at the terminal to be told; a scripted run ends at once.
void wait_for_window(Run& r) {
  if (!r.surface || !r.screen.reads_from_terminal() || !r.surface->waits_at_exit()) return;
  r.screen.line(" CLOSE THE GRAPHICS WINDOW OR PRESS A KEY IN IT TO END");
  r.surface->wait_until_closed();
}

}  // namespace

int run_program(Console& screen) {
  auto r = std::make_unique<Run>(screen);
  clear_console(screen);
  write_banner(screen);
  ask_graphics(*r);
  write_limits(screen);
  open_dialogue(*r);
  open_report(*r);
  ask_mode(*r);
  input::run_data_input(*r->dialogue, r->table, 999);
  screen.line();
  check_table(*r, "NO VARIABLE SELECTED");
  ask_columns(*r);
  check_table(*r, "NO VARIABLE LEFT BESIDES THE WEIGHT COLUMN");
  clear_console(screen);
  run::write_run_echo(r->report, r->table, r->storage.weights);
  if (r->maps()) ask_mapping_parameters(*r->dialogue, r->parameters);
  if (r->clusters()) {
    ask_clustering_parameters(*r->dialogue, r->table, r->parameters);
    r->storage.start_counter = r->parameters.random_start;
  }
  clear_console(screen);
  run_analyses(*r);
  clear_console(screen);
  show_final_display(*r);
  r->report.close();
  wait_for_window(*r);
  return 0;
}

}  // namespace driver
