#!/bin/sh
# Fuzzy c-means side by side with R's e1071::cmeans (a C implementation) on
# the same generated 5000 x 10 data, Euclidean norm, m = Q = 1.5, cluster
# counts 2 to 9, at most 100 iterations; then the rest of bench_fuzzy.
# The two stop on different rules (largest membership change against
# relative change of the objective), so compare seconds per iteration.
#
#   bench/fuzzy_vs_peer.sh [BUILD_FOLDER]    (default /work/build-fuzzy,
#   configured with -DTARNWICK_BENCH=ON; needs Rscript and r-cran-e1071)
set -eu
build=${1:-/work/build-fuzzy}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

"$build/bench/bench_fuzzy" --csv "$data" | tee "$data/tarnwick.txt"

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
