#!/bin/sh
# Times the non-linear mapping on generated data of 1000 and 5000 samples
# (10 variables, 100 iterations) and, on the same 1000-sample data, the
# Sammon mapping of R's MASS package (Debian package r-cran-mass).
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
tol <- as.numeric(args[2])
t0 <- proc.time()[["elapsed"]]
d <- dist(x)
t1 <- proc.time()[["elapsed"]]
fit <- sammon(d, k = 2, niter = 100, trace = FALSE, tol = tol)
t2 <- proc.time()[["elapsed"]]
cat(sprintf("MASS      n=%-5d niter=100 tol=%g  dist %7.3f s  sammon (with cmdscale start) %7.3f s  stress %.6f\n",
            nrow(x), tol, t1 - t0, t2 - t1, fit$stress))
R
for size in 1000; do
  for tol in 1e-4 0; do
    /usr/bin/time -f "MASS      peak memory %M KB" Rscript peer.R "data$size.csv" "$tol" 2>&1
  done
done
