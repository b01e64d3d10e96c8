#!/bin/sh
# Times the non-linear mapping on generated data of 1200 and 5000 samples
# (10 variables, Euclidean norm, p = 1, 100 iterations), in two ways:
#   - the whole program, as a user runs it: dialogue file, reading the
#     comma-separated file, report, .NLM file and both scratch files;
#   - the mapping alone (bench_mapping), with its target distances,
#     iterations and scratch files apart.
# Beside them, on the same 1200-sample data, R's MASS package (Debian package
# r-cran-mass): dist() and sammon(niter = 100), from its own classical-scaling
# start (the default) and from the mapping's start. PEER_SIZES="1200 5000"
# also runs the peer on the 5000 samples (many minutes: classical scaling of
# 5000 samples).
#
#   bench/bench_mapping.sh BUILD_FOLDER
#
# The build folder must have been configured with -DTARNWICK_BENCH=ON and
# tarnwick and bench_mapping built. Everything is written to a temporary
# folder. Output lines:
#   tarnwick  n=...            the mapping alone (see bench_mapping.cpp)
#   whole     n=N  S s  peak memory M MB  processor P s  minimum error E
#   MASS      n=N ...          the peer
set -eu
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
program="$build/bench/bench_mapping"
tarnwick="$build/tarnwick"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# whole SIZE: the program on M<SIZE>.CSV in a folder of its own.
whole() {
  size=$1
  mkdir "whole$size"
  cp "M$size.CSV" "whole$size/"
  {
    printf 'OUT\nN\nN\nC\nM%s\n\nN\n' "$size"
    for k in 1 2 3 4 5 6 7 8 9 10; do printf 'Y\nN\n'; done
    printf 'Y\n\n0\n1.0\n100\nY\n\n\n'
  } >"whole$size/run.dlg"
  read -r seconds peak processor <<TIMES
$("$here/time_whole_run" "$tarnwick" "whole$size")
TIMES
  error=$(sed -nE 's/^ MINIMUM ERROR= *([0-9.E+-]+) ON ITERATION.*/\1/p' "whole$size/OUT.OUT")
  echo "whole     n=$size  iterations=100  $seconds s  peak memory $peak MB  processor $processor s  minimum error ${error:-?}"
  rm -rf "whole$size"
}

for size in 1200 5000; do
  mkdir "n$size"
  (cd "n$size" && "$program" "$size" 100 --csv "../M$size.CSV")
  rm -rf "n$size"
  whole "$size"
done

if ! Rscript -e 'library(MASS)' >/dev/null 2>&1; then
  echo "peer: R with the MASS package is not installed (apt-get install -y r-cran-mass)"
  exit 0
fi
# The data files have a header line of names and no identifier column.
cat >peer.R <<'R'
library(MASS)
args <- commandArgs(trailingOnly = TRUE)
x <- as.matrix(read.csv(args[1]))
start <- args[2]
t0 <- proc.time()[["elapsed"]]
d <- dist(x)
t1 <- proc.time()[["elapsed"]]
if (start == "cmdscale") {
  y <- cmdscale(d, 2)  # what sammon() does when it is given no start
} else {
  # the same start as the mapping under the Euclidean norm: the two variables of largest variance
  y <- x[, order(-apply(x, 2, var))[1:2]]
}
t2 <- proc.time()[["elapsed"]]
trace <- capture.output(fit <- sammon(d, y = y, k = 2, niter = 100, trace = TRUE))
t3 <- proc.time()[["elapsed"]]
done <- regmatches(trace, regexpr("after +[0-9]+ iters", trace))
ran <- if (length(done) > 0) sub("after +([0-9]+) iters", "\\1", done[length(done)]) else "?"
cat(sprintf("MASS      n=%-5d niter=100 start=%-8s  dist %7.3f s  start %7.3f s  sammon %7.3f s  total %7.3f s  (stopped after %s iterations)  stress %.6f\n",
            nrow(x), start, t1 - t0, t2 - t1, t3 - t2, t3 - t0, ran, fit$stress))
R
for size in ${PEER_SIZES:-1200}; do
  for start in cmdscale variables; do
    if [ -x /usr/bin/time ]; then
      /usr/bin/time -f "MASS      peak memory %M KB" Rscript peer.R "M$size.CSV" "$start" 2>&1
    else
      Rscript peer.R "M$size.CSV" "$start"
    fi
  done
done
