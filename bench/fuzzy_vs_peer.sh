#!/bin/sh
# Fuzzy c-means side by side with R's e1071::cmeans (a C implementation) on
# the same generated 5000 x 10 data, Euclidean norm, m = Q = 1.5, cluster
# counts 2 to 9, at most 100 iterations; first the kernels and the routine
# (bench_fuzzy), then the whole program as a user runs it (dialogue file,
# reading the comma-separated file, report and result files), then the peer.
# The two stop on different rules (largest membership change against
# relative change of the objective), so compare time per iteration.
#
#   bench/fuzzy_vs_peer.sh [BUILD_FOLDER]    (default /work/build-fuzzy,
#   configured with -DTARNWICK_BENCH=ON; needs Rscript and r-cran-e1071)
#
# The whole-program line: "whole     norm 0  5000 x  10  c = 2..9  S s  N
# iterations  M ms/iteration  peak memory P MB  processor C s".
set -eu
build=$(cd "${1:-/work/build-fuzzy}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

"$build/bench/bench_fuzzy" --csv "$data" | tee "$data/tarnwick.txt"

# The whole program on the same data: no weights, variables 1 and 2 as the
# plot coordinates, norm 0, no extragrades, Q 1.5, counts 2 to 9, at most 100
# iterations, EPS 0.0001, start number 1, threshold 0.75, sorted on variable 1.
mkdir "$data/whole"
cp "$data/fcm_10.csv" "$data/whole/F5000.CSV"
{
  printf 'OUT\nF\nN\nC\nF5000\n\nN\n'
  for k in 1 2 3 4 5 6 7 8 9 10; do printf 'Y\nN\n'; done
  printf 'Y\n\n1 2\n0\nN\n1.5\n2\n9\n100\n0.0001\n1\n0.75\n1\nY\n'
} >"$data/whole/run.dlg"
read -r seconds peak processor <<TIMES
$("$here/time_whole_run" "$build/tarnwick" "$data/whole")
TIMES
# A count stopped by the limit shows 101 and a star: it ran 100 iterations.
iterations=$(awk 'NF >= 8 && $1 ~ /^[0-9]+$/ { v = ($NF == "*" ? $(NF - 1) : $NF); it += (v > 100 ? 100 : v) }
                  END { print it + 0 }' "$data/whole/OUT.OPT")
awk -v s="$seconds" -v it="$iterations" -v peak="$peak" -v cpu="$processor" 'BEGIN {
  printf "whole     norm 0  5000 x  10  c = 2..9  %8.3f s  %4d iterations  %8.3f ms/iteration  peak memory %s MB  processor %s s\n",
    s, it, (it > 0 ? 1000 * s / it : 0), peak, cpu }'

Rscript - "$data/fcm_10.csv" <<'RCODE'
suppressMessages(library(e1071))
x <- as.matrix(read.csv(commandArgs(TRUE)[1]))
# A run of one iteration gives the fixed cost of a call (checks, start,
# result object), so that the cost of an iteration itself can be told apart.
run <- function(k, iterations) {
  set.seed(k)
  t <- system.time(r <- cmeans(x, centers = k, iter.max = iterations, dist = "euclidean",
                               method = "cmeans", m = 1.5))[["elapsed"]]
  list(t = t, iter = r$iter)
}
total_s <- 0; total_it <- 0
for (k in 2:9) {
  one <- run(k, 1)
  r <- run(k, 100)
  marginal <- if (r$iter > 1) sprintf("%8.3f", 1000 * (r$t - one$t) / (r$iter - 1)) else "       -"
  cat(sprintf("cmeans    norm 0  %4d x %3d  c = %2d  %8.3f s  %4d iterations  %8.3f ms/iteration  (%s ms per further iteration)\n",
              nrow(x), ncol(x), k, r$t, r$iter, 1000 * r$t / r$iter, marginal))
  total_s <- total_s + r$t; total_it <- total_it + r$iter
}
cat(sprintf("cmeans    norm 0  %4d x %3d  c = 2..9  %8.3f s  %4d iterations  %8.3f ms/iteration\n",
            nrow(x), ncol(x), total_s, total_it, 1000 * total_s / total_it))
RCODE
