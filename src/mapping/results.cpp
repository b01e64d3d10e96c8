#include "mapping/results.hpp"

#include <algorithm>
#include <array>

#include "console/dialogue.hpp"
#include "mapping/configuration.hpp"

namespace mapping {

namespace {

constexpr int largest_dimension = 20;

// HP(D) at index D; indices 0 and 1 are never read.
constexpr std::array<float, largest_dimension + 1> hyper_polygon = {
    0.0f,  0.0f,  0.0001f, 0.029f, 0.053f, 0.071f, 0.086f, 0.095f, 0.1f,  0.11f, 0.12f,
    0.12f, 0.12f, 0.13f,   0.13f,  0.13f,  0.14f,  0.14f,  0.14f,  0.14f, 0.15f};

void report_percentage(run::ReportFile& report, float best_error, int m) {
  if (m < 2) {
    report.print("(/,' ONE VARIABLE: NO HYPER-POLYGON ERROR TO COMPARE THE MAPPING ERROR WITH')");
    return;
  }
  report.print(
      "(/,' FINAL MAPPING ERROR IS ',E15.6,' PERCENT OF THAT',/,' OF A',I3,"
      "'-DIMENSIONAL REGULAR HYPER-POLYGON')",
      hyper_polygon_percentage(best_error, m), m);
}

void write_result_file(run::RunContext& run, const IterationResult& result, int n) {
  run::TextFile file(run.storage.result_name(".NLM"));
  list_configuration(file, run.table, result.best_x, result.best_y, n);
  file.close();
}

}  // namespace

float hyper_polygon_error(int D) {
  return hyper_polygon[static_cast<std::size_t>(D)];
}

float hyper_polygon_percentage(float best_error, int m) {
  return best_error * 100.0f / hyper_polygon_error(std::min(m, largest_dimension));
}

int probable_dimensionality(float best_error) {
  int D = 2;
  while (D < 19) {
    if (best_error < hyper_polygon_error(D) || best_error <= hyper_polygon_error(D + 1)) break;
    ++D;
  }
  return D;
}

void report_errors(run::ReportFile& report, const IterationResult& result,
                   std::span<const float> errors) {
  report.print("(5F16.4)", errors.first(static_cast<std::size_t>(result.best_iteration)));
  report.print("(/,/,' MINIMUM ERROR=',E15.6,' ON ITERATION',I4)", result.best_error,
               result.best_iteration);
}

void report_results(run::RunContext& run, const IterationResult& result, int m, int n) {
  report_percentage(run.report, result.best_error, m);
  run.report.print("(' PROBABLE DIMENSIONALITY IS: ',I3)",
                   probable_dimensionality(result.best_error));
  run.report.print("(/,77('+'))");
  console::clear_console(run.screen);
  run.report.print("('1FINAL 2-SPACE CONFIGURATION')");
  list_configuration(run.report, run.table, result.best_x, result.best_y, n);
  write_result_file(run, result, n);
  run.report.print("(/,/,' NORMAL END OF NLM JOB ',A)", input::fixed_width(run.table.title, 80));
  run.report.print("(/,77('#'))");
}

}  // namespace mapping
