#!/usr/bin/env bash
# Builds and runs the DICOM fuzzers (display, export, tags) in a fuzzing build of their own (clang,
# -DVEXA_FUZZ=ON, only the dicom subsystem).
#   fuzz.sh build <build dir>
#   fuzz.sh smoke <build dir> <seconds>         every crash file replayed, then each
#                                               target run <seconds> from its corpus
#                                               and the pydicom files, from a fixed
#                                               seed so that a failure can be replayed
#   fuzz.sh run <build dir> <display|export|tags> <seconds>
#                                               a long run; what it finds is merged
#                                               into the corpus, a failing input is
#                                               kept under crashes/
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
mode=$1
build=$2
seeds=(/usr/lib/python3/dist-packages/pydicom/data/test_files /usr/lib/python3/dist-packages/pydicom/data/charset_files)
options=(-rss_limit_mb=2048 -timeout=60 -max_len=65536 -print_final_stats=1)
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

configure_and_build() {
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
    -DVEXA_FUZZ=ON -DVEXA_ONLY=dicom >/dev/null
  cmake --build "$build" --target fuzz_dicom_display fuzz_dicom_export fuzz_dicom_tags -j "$(nproc)"
}

existing_seeds() {
  for s in "${seeds[@]}"; do [ -d "$s" ] && echo "$s"; done
}

replay_crashes() {
  local target=$1
  shopt -s nullglob
  local files=("$here"/crashes/*)
  shopt -u nullglob
  [ ${#files[@]} -eq 0 ] && return 0
  "$build/tests/dicom/fuzz/fuzz_dicom_$target" "${options[@]}" "${files[@]}"
}

case "$mode" in
build)
  configure_and_build
  ;;
smoke)
  seconds=$3
  configure_and_build
  for target in display export tags; do
    replay_crashes "$target"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp -r "$here/corpus/$target/." "$work/"
    "$build/tests/dicom/fuzz/fuzz_dicom_$target" "${options[@]}" -max_total_time="$seconds" \
      -seed=20261210 -artifact_prefix="$build/smoke-$target-" "$work" $(existing_seeds)
    rm -rf "$work"
    trap - EXIT
  done
  ;;
run)
  target=$3
  seconds=$4
  [ -x "$build/tests/dicom/fuzz/fuzz_dicom_$target" ] || configure_and_build
  work=$build/fuzz-corpus-$target
  mkdir -p "$work"
  status=0
  "$build/tests/dicom/fuzz/fuzz_dicom_$target" "${options[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$here/crashes/$target-" "$work" "$here/corpus/$target" $(existing_seeds) || status=$?
  # Keep the inputs that add coverage, minimised, in the corpus.
  "$build/tests/dicom/fuzz/fuzz_dicom_$target" "${options[@]}" -merge=1 "$here/corpus/$target" "$work" >/dev/null 2>&1 || true
  exit $status
  ;;
*)
  echo "usage: fuzz.sh build|smoke|run ..." >&2
  exit 2
  ;;
esac
