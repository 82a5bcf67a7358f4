#!/bin/bash
# Receiver-ready preparation side by side: ours, ImageMagick's nearest
# equivalent and the floor, on the same synthetic camera photos.
#
#   bench/upload_vs_imagemagick.sh [BUILD_DIR] [WORK_DIR] [PER_SIZE] [FOLDER_COUNT]
#
# PER_SIZE photos of 12 MP (4000 x 3000) and of 24 MP (6000 x 4000) are
# compared one by one (single-threaded, median of 3 runs); then a folder of
# FOLDER_COUNT 12 MP photos is prepared by `PSender --prepare` (both cores)
# and by ImageMagick one file after another. Needs imagemagick and
# libjpeg-turbo-progs. The photos are made once and kept in WORK_DIR.
set -euo pipefail

build=$(realpath "${1:-build}")
work=${2:-${TMPDIR:-/tmp}/palvo-upload-bench}
per_size=${3:-6}
folder_count=${4:-200}
bench=$build/bench/bench_upload
psender=$build/bin/PSender
convert=/usr/bin/convert-im6.q16
identify=/usr/bin/identify-im6.q16
for tool in "$bench" "$psender" "$convert" "$identify" /usr/bin/djpeg /usr/bin/cjpeg /usr/bin/time; do
  [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 2; }
done
mkdir -p "$work"
cap=65499

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# Median wall time in ms of three runs of a command.
median3() {
  local a b c t
  t=$(now_ms); "$@" >/dev/null 2>&1; a=$(( $(now_ms) - t ))
  t=$(now_ms); "$@" >/dev/null 2>&1; b=$(( $(now_ms) - t ))
  t=$(now_ms); "$@" >/dev/null 2>&1; c=$(( $(now_ms) - t ))
  printf '%s\n%s\n%s\n' "$a" "$b" "$c" | sort -n | sed -n 2p
}
imagemagick() { # source target
  "$convert" -define jpeg:size=1280x960 "$1" -resize 640x480 -background black -gravity center \
    -extent 640x480 -define jpeg:extent=$cap "$2"
}
djpeg_half() { /usr/bin/djpeg -scale 1/2 -ppm "$1" >/dev/null; }
cjpeg_eight() {
  for q in 100 50 75 87 93 96 98 99; do /usr/bin/cjpeg -quality $q -baseline "$1" >/dev/null; done
}

make_photos() { # folder count width height first-seed
  if [ "$(ls "$1" 2>/dev/null | wc -l)" -lt "$2" ]; then
    echo "making $2 photos of $3 x $4 in $1 ..." >&2
    "$bench" make-photos "$1" "$2" "$3" "$4" "$5" >/dev/null
  fi
}

echo "# load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
for mp in 12 24; do
  if [ $mp = 12 ]; then size=(4000 3000); else size=(6000 4000); fi
  dir=$work/${mp}mp
  make_photos "$dir" "$per_size" "${size[0]}" "${size[1]}" $(( mp * 1000 ))
  files=$(ls "$dir"/IMG_*.JPG | head -n "$per_size")
  echo
  echo "## ${mp} MP (${size[0]} x ${size[1]}), single-threaded, median of 3 runs"
  ours=$("$bench" compare --repeat 3 $files)
  ppm=$work/frame.ppm
  printf 'file\tMB\tIM_ms\tours_ms\tfloor_ms\tours/floor\tIM/ours\ttools_floor_ms\tq_IM\tq_ours\tq_best\tq+1_bytes\n'
  for f in $files; do
    name=$(basename "$f")
    line=$(printf '%s\n' "$ours" | awk -F'\t' -v n="$name" '$1 == n')
    o=$(echo "$line" | cut -f2); fl=$(echo "$line" | cut -f3); rs=$(echo "$line" | cut -f5)
    qo=$(echo "$line" | cut -f8); qb=$(echo "$line" | cut -f9); above=$(echo "$line" | cut -f10)
    im=$(median3 imagemagick "$f" "$work/im.jpg")
    imagemagick "$f" "$work/im.jpg"
    qim=$("$identify" -format %Q "$work/im.jpg")
    [ -f "$ppm" ] || "$convert" "$work/im.jpg" "$ppm"
    dj=$(median3 djpeg_half "$f")
    cj=$(median3 cjpeg_eight "$ppm")
    tools=$(awk -v a="$dj" -v b="$cj" -v c="$rs" 'BEGIN { printf "%.1f", a + b + c }')
    printf '%s\t%.1f\t%d\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" \
      "$(awk -v s="$(stat -c %s "$f")" 'BEGIN { print s / 1e6 }')" "$im" "$o" "$fl" \
      "$(awk -v a="$o" -v b="$fl" 'BEGIN { printf "%.3f", a / b }')" \
      "$(awk -v a="$im" -v b="$o" 'BEGIN { printf "%.2f", a / b }')" \
      "$tools" "$qim" "$qo" "$qb" "$above"
  done
  printf '%s\n' "$ours" | tail -1 | awk -F'\t' '{ printf "median ours %s ms, floor %s ms, ours/floor %s\n", $2, $3, $7 }'
done

echo
echo "## a folder of $folder_count 12 MP photos"
dir=$work/folder
make_photos "$dir" "$folder_count" 4000 3000 5000
rm -rf "$work/out-ours" "$work/out-im"
mkdir -p "$work/out-im"
/usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$psender" --prepare "$dir" \
  --out "$work/out-ours" >"$work/ours.txt" 2>"$work/ours-err.txt" || true
read -r ours_s ours_kb ours_u ours_k <"$work/time.txt"
tail -1 "$work/ours.txt"
export -f imagemagick
export convert cap work
/usr/bin/time -f '%e %M %U %S' -o "$work/time-im.txt" bash -c \
  'for f in "$0"/IMG_*.JPG; do imagemagick "$f" "$work/out-im/$(basename "$f")"; done' "$dir"
read -r im_s im_kb im_u im_k <"$work/time-im.txt"
echo "PSender --prepare (both cores): ${ours_s} s wall, $(awk -v a="$ours_u" -v b="$ours_k" \
  'BEGIN { print a + b }') s CPU, peak memory $(( ours_kb / 1024 )) MB"
echo "ImageMagick one after another:  ${im_s} s wall, $(awk -v a="$im_u" -v b="$im_k" \
  'BEGIN { print a + b }') s CPU, peak memory $(( im_kb / 1024 )) MB"
awk -v a="$im_s" -v b="$ours_s" 'BEGIN { printf "speed-up in wall time: %.2f x\n", a / b }'
awk -v a="$im_u" -v b="$im_k" -v c="$ours_u" -v d="$ours_k" \
  'BEGIN { printf "CPU time ImageMagick / ours: %.2f x\n", (a + b) / (c + d) }'
over=$(find "$work/out-ours" -name '*.jpg' -size +$(( cap - 1 ))c | wc -l)
echo "prepared files at or over the cap: $over"
echo "# load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
