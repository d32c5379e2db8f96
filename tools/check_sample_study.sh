#!/usr/bin/env bash
# The committed sample study is exactly what its generator makes.
set -euo pipefail
generator=$1
committed=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work"
cmp "$work/studie.dt1" "$committed/studie.dt1"
cmp "$work/studie.prm" "$committed/studie.prm"
echo "sample study reproduced byte for byte"
