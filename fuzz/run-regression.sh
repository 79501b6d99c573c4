#!/usr/bin/env bash
# A fuzz target as a regression test: a fixed number of runs from a fixed
# seed, starting from the generated seeds, in a scratch corpus so the seed
# folder stays as generated.
#   run-regression.sh TARGET SEEDS RUNS
set -euo pipefail
target=$1 seeds=$2 runs=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$seeds"/* "$work"/
"$target" -runs="$runs" -seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 "$work"
