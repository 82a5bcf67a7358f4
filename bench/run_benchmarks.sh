#!/usr/bin/env bash
# Runs the imaging benchmarks and libjpeg-turbo's own tools on the same
# camera-sized photos, so the figures can be compared in one run.
#   bench/run_benchmarks.sh [build-dir]
# The photos (12 MP 4000 x 3000 and 24 MP 6000 x 4000, quality 92, 4:2:0)
# are cut by bench_imaging from PALVO_BENCH_PHOTO (default: a photograph of
# Debian's mate-backgrounds) into PALVO_BENCH_DIR on first use.
set -euo pipefail
build=${1:-build}
export PALVO_BENCH_DIR=${PALVO_BENCH_DIR:-${TMPDIR:-/tmp}/palvo-bench}
"$build/bench/bench_imaging" --benchmark_min_time=1 --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true

cd "$PALVO_BENCH_DIR"
echo
echo "== libjpeg-turbo reference (tjbench: decompression time per image) =="
for mp in 4000x3000 6000x4000; do
  for scale in 1/1 1/2 1/4 1/8; do
    printf '%s scale %s: ' "$mp" "$scale"
    tjbench "photo_$mp.jpg" -scale "$scale" -nowrite -benchtime 2 -warmup 0.5 -quiet 2>/dev/null |
      awk '/^BGR/ {printf "%.1f ms\n", $5 * $6 / $NF / 1000}'
  done
done

echo
echo "== tjbench 640 x 480 compression, quality 90, 4:2:0 =="
djpeg -bmp -outfile photo_640x480.bmp photo_640x480.jpg
tjbench photo_640x480.bmp 90 -subsamp 420 -nowrite -benchtime 2 -warmup 0.5 -quiet 2>/dev/null |
  awk '/^BGR/ {printf "compression %.2f ms\n", $5 * $6 / $7 / 1000}'

echo
echo "== djpeg -scale (process start included) =="
for scale in 1/2 1/4 1/8; do
  /usr/bin/time -f "6000x4000 djpeg -scale $scale: %e s" djpeg -scale "$scale" -outfile /dev/zero photo_6000x4000.jpg 2>&1 >/dev/null || true
done

echo
echo "== jpegtran -rotate 90 -copy all, 24 MP (process start included) =="
for i in 1 2 3; do
  /usr/bin/time -f "%e s" jpegtran -rotate 90 -copy all -outfile rotated_ref.jpg photo_6000x4000.jpg
done
