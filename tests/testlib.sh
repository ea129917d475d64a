# Helpers for the black-box tests: start the built programs (through the
# emulator in a cross build), compare results as named cases, report.
# Sourced by the test scripts; CTest passes BIN_DIR, EMULATOR and SRC_DIR.
set -u
: "${BIN_DIR:?BIN_DIR not set: run the tests through ctest}"
EMULATOR=${EMULATOR:-}
t_passed=0
t_failed=0

# prog NAME ARGS...: run a built program of the tool set.
prog() { local p=$1; shift; $EMULATOR "$BIN_DIR/$p" "$@"; }

# die MESSAGE: the sandbox could not be set up. Fails loudly, never skips.
die() { echo "SETUP FAILED: $*" >&2; exit 2; }

pass() { t_passed=$((t_passed + 1)); }
fail() { t_failed=$((t_failed + 1)); echo "FAIL: $1" >&2; [ -n "${2:-}" ] && printf '%s\n' "$2" | sed 's/^/    /' >&2; return 0; }

# expect_eq CASE EXPECTED ACTUAL
expect_eq() {
  if [ "$2" = "$3" ]; then pass; else fail "$1" "expected: $(printf '%q' "$2")
actual:   $(printf '%q' "$3")"; fi
}
# expect_same_file CASE EXPECTED_FILE ACTUAL_FILE (byte for byte)
expect_same_file() {
  if [ -f "$3" ] && cmp -s "$2" "$3"; then pass; else fail "$1" "$(cmp "$2" "$3" 2>&1 | head -3)"; fi
}
expect_true() { local name=$1; shift; if "$@"; then pass; else fail "$name" "command failed: $*"; fi; }
expect_false() { local name=$1; shift; if "$@"; then fail "$name" "command succeeded: $*"; else pass; fi; }

# make_workdir: a fresh temporary directory in $WORK, removed at exit.
make_workdir() {
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/stbtest.XXXXXX") || die "mktemp"
  trap 'rm -rf "$WORK"' EXIT
}

# need_root: CI runs as root; these tests need it and fail without it.
need_root() { [ "$(id -u)" = 0 ] || die "this test needs root (mounts, namespaces)"; }

# in_mount_namespace "$@": re-run the calling script in a private mount
# namespace so that its mounts never reach the machine.
in_mount_namespace() {
  need_root
  if [ -z "${STB_IN_MOUNT_NS:-}" ]; then
    STB_IN_MOUNT_NS=1 exec unshare --mount --propagation private bash "$0" "$@"
  fi
}

# fresh_tmpfs DIR...: mounts a fresh tmpfs (mode 755) over each DIR, for tests
# whose fixtures live at fixed paths such as /tmp, while the places the test
# runs from (the build, the sources, $WORK) stay reachable: any of them that
# lies under DIR is bound back at its own path. Needs a private namespace.
fresh_tmpfs() {
  local dir p rel keep fd
  for dir in "$@"; do
    local -a keeps=() fds=()
    for p in "$BIN_DIR" "${SRC_DIR:-}" "${BUILD_DIR:-}" "${WORK:-}"; do
      [ -n "$p" ] || continue
      p=$(realpath -m "$p")
      case $p in "$dir"/*) ;; *) continue ;; esac
      rel=${p#"$dir"/}
      keep=$dir/${rel%%/*}
      [[ " ${keeps[*]-} " == *" $keep "* ]] && continue
      exec {fd}<"$keep" || die "open $keep"
      keeps+=("$keep"); fds+=("$fd")
    done
    mount -t tmpfs -o mode=755 test-fixture "$dir" || die "tmpfs on $dir"
    local i
    for i in "${!keeps[@]}"; do
      mkdir -p "${keeps[$i]}" && mount --no-canonicalize --bind "/proc/self/fd/${fds[$i]}" "${keeps[$i]}" ||
        die "keep ${keeps[$i]} reachable"
      fd=${fds[$i]}; exec {fd}<&-
    done
  done
}

# finish: the closing line and the exit status.
finish() {
  echo "$t_passed passed, $t_failed failed"
  [ "$t_failed" = 0 ] && [ "$t_passed" -gt 0 ]
}
