#!/bin/sh
# Times the non-linear mapping on generated data of 1000 and 5000 samples
# (10 variables, 100 iterations) and, on the same 1000-sample data, the
# Sammon mapping of R's MASS package (Debian package r-cran-mass), from its own
# classical-scaling start and from the mapping's start. PEER_SIZES="1000 5000"
# also runs the peer on the 5000 samples (minutes: classical scaling of 5000).
#
#   bench/bench_mapping.sh BUILD_FOLDER
#
# The build folder must have been configured with -DTARNWICK_BENCH=ON and
# bench_mapping built. Everything is written to a temporary folder.
set -eu
build=$(cd "${1:?build folder}" && pwd)
program="$build/bench/bench_mapping"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir n1000 n5000
(cd n1000 && "$program" 1000 100 --csv ../data1000.csv)
(cd n5000 && "$program" 5000 100 --csv ../data5000.csv)

if ! Rscript -e 'library(MASS)' >/dev/null 2>&1; then
  echo "peer: R with the MASS package is not installed (apt-get install -y r-cran-mass)"
  exit 0
fi
cat > peer.R <<'R'
library(MASS)
args <- commandArgs(trailingOnly = TRUE)
x <- as.matrix(read.csv(args[1]))
start <- args[2]
t0 <- proc.time()[["elapsed"]]
d <- dist(x)
t1 <- proc.time()[["elapsed"]]
if (start == "cmdscale") {
  y <- cmdscale(d, 2)
} else {
  # the same start as the mapping under the Euclidean norm: the two variables of largest variance
  y <- x[, order(-apply(x, 2, var))[1:2]]
}
t2 <- proc.time()[["elapsed"]]
trace <- capture.output(fit <- sammon(d, y = y, k = 2, niter = 100, trace = TRUE))
t3 <- proc.time()[["elapsed"]]
done <- regmatches(trace, regexpr("after +[0-9]+ iters", trace))
ran <- if (length(done) > 0) sub("after +([0-9]+) iters", "\\1", done[length(done)]) else "?"
cat(sprintf("MASS      n=%-5d niter=100 start=%-8s  dist %7.3f s  start %7.3f s  sammon %7.3f s  (stopped after %s iterations)  stress %.6f\n",
            nrow(x), start, t1 - t0, t2 - t1, t3 - t2, ran, fit$stress))
R
for size in ${PEER_SIZES:-1000}; do
  for start in cmdscale variables; do
    /usr/bin/time -f "MASS      peak memory %M KB" Rscript peer.R "data$size.csv" "$start" 2>&1
  done
done
