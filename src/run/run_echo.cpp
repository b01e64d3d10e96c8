#include "run/run_echo.hpp"

namespace run {

void write_run_echo(ReportFile& report, const input::SampleTable& table,
                    std::span<const float> weights) {
  report.text("\n");
  report.print("(A80,/)", input::fixed_width(table.title, 80));
  report.print("(1X,77('*'))");
  report.print("('          #### THE FOLLOWING INPUT IS USED FOR THE  NLM-FCM RUN ####')");
  report.print("(1X,77('='))");
  report.print("(' VARIABLES SELECTED: ')");
  report.print("(1X,77('+'))");
  format::Values names;
  for (int j = 1; j <= table.variable_count; ++j) names.emplace_back(table.names[j - 1]);
  if (!names.empty()) report.text(format::write("(1X,8A10)", names));
  report.print("(1X,77('='))");
  report.print("(' SAMPLES AND (FUZZY ONLY) SELECTION-WEIGHTS: ')");
  report.print("(1X,77('+'))");
  format::Values samples;
  for (int i = 1; i <= table.sample_count; ++i) {
    samples.emplace_back(table.ids[i - 1]);
    samples.emplace_back(weights[i - 1]);
  }
  if (!samples.empty()) report.text(format::write("(4(1X,A10,1X,F6.3))", samples));
  report.print("(1X,77('*'))");
}

}  // namespace run
