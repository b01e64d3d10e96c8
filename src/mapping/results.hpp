#pragma once

// The results of the mapping: the error listing, the comparison with regular
// hyper-polygons, the dimensionality estimate, the final configuration in the
// report and in the .NLM file, and the closing lines.

#include <span>

#include "mapping/sammon.hpp"
#include "run/run_context.hpp"

namespace mapping {

// HP(D), the mapping error of a regular hyper-polygon of dimension D = 2..20
// mapped into two dimensions.
float hyper_polygon_error(int D);

// best error * 100 / HP(D0), D0 = m up to 20, else 20; m >= 2.
float hyper_polygon_percentage(float best_error, int m);

// The smallest D from 2 to 18 with best error <= HP(D+1), else 19.
int probable_dimensionality(float best_error);

// The errors of iterations 1 to the best one and the minimum-error line.
void report_errors(run::ReportFile& report, const IterationResult& result,
                   std::span<const float> errors);

// Everything after the minimum-error line, the .NLM file included.
void report_results(run::RunContext& run, const IterationResult& result, int m, int n);

}  // namespace mapping
