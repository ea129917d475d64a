# Helpers for bootpick's black-box tests: one bootpick run in the box
# simulation (tools/boxsim) per call, and checks of what it left behind.
# Sourced by the bootpick_*.sh test scripts after testlib.sh.
. "$TESTLIB"
BOXSIM=$SRC_DIR/tools/boxsim
[ -x "$BOXSIM" ] || die "no $BOXSIM"
[ -x "$BIN_DIR/bootpick" ] || die "bootpick was not built"
make_workdir

# sim NAME [BOXSIM_OPTION...] [-- BOOTPICK_ARG...]: one run; its files are
# in $RUN (stdout, stderr, status, interfaces, fb0, NAME.fb screenshots).
# bootpick's environment is this one without BOX_TYPE and FAKE_4410, plus the
# NAME=VALUE words of the array SIM_ENV.
SIM_ENV=()
sim() {
  RUN=$WORK/$1
  shift
  local opts=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do opts+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  env -u BOX_TYPE -u FAKE_4410 "${SIM_ENV[@]}" "$BOXSIM" -q --no-png -d "$RUN" --emulator "$EMULATOR" "${opts[@]}" -- "$BIN_DIR/bootpick" "$@"
  local rc=$?
  [ "$rc" = 2 ] && die "boxsim could not run bootpick ($RUN)"
  [ "$rc" = 3 ] && echo "note: bootpick had to be stopped ($RUN)" >&2
  return 0
}

# expect_bytes CASE FILE PRINTF_FORMAT [ARG...]: FILE holds exactly these bytes.
expect_bytes() {
  local name=$1 file=$2
  shift 2
  # shellcheck disable=SC2059
  printf -- "$@" > "$WORK/expected"
  if [ ! -f "$file" ]; then
    fail "$name" "no file $file"
  elif cmp -s "$WORK/expected" "$file"; then
    pass
  else
    fail "$name" "expected: $(od -c "$WORK/expected" | head -6)
actual:   $(od -c "$file" | head -6)"
  fi
}

# expect_run CASE STATUS STDOUT_FORMAT [STDERR_FORMAT]: the run's exit status,
# standard output and (default: nothing) standard error.
expect_run() {
  expect_eq "$1: status" "$2" "$(cat "$RUN/status" 2>/dev/null)"
  expect_bytes "$1: stdout" "$RUN/stdout" "$3"
  expect_bytes "$1: stderr" "$RUN/stderr" "${4:-}"
}

expect_no_interfaces() { expect_false "$1: /tmp/interfaces not written" test -e "$RUN/interfaces"; }

DHCP_FILE='auto lo\niface lo inet loopback\n\nauto eth0\niface eth0 inet dhcp\n'
# static_file ADDRESS BROADCAST GATEWAY NETMASK: the static interfaces file.
static_file() {
  printf 'auto lo\niface lo inet loopback\n\nauto eth0\niface eth0 inet static\n\taddress %s\n\tbroadcast %s\n\tgateway %s\n\tnetmask %s\n' "$@"
}
expect_static() {
  static_file "$2" "$3" "$4" "$5" > "$WORK/expected-static"
  expect_same_file "$1: /tmp/interfaces" "$WORK/expected-static" "$RUN/interfaces"
}

# The virtual screen file: 720 x 576 pixels, one byte each, then the colour map.
SCREEN_BYTES=414720

# screen_rows FILE: one line of 720 pixel values per screen row.
screen_rows() { od -An -v -tu1 -w720 -N "$SCREEN_BYTES" "$1"; }

# band_check FILE X Y W H: prints "ok" when the highlight band is exactly the
# W x H rectangle at (X, Y): inside only 2 and 3 (background and text, +1),
# with some text; outside only 1 and 2; the ring around it all background 1.
band_check() {
  screen_rows "$1" | awk -v x0="$2" -v y0="$3" -v w="$4" -v h="$5" '
    { y = NR - 1
      for (i = 1; i <= NF; i++) {
        x = i - 1; v = $i
        if (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) {
          if (v != 2 && v != 3) inside++
          if (v == 3) text++
        } else {
          if (v != 1 && v != 2) outside++
          if (x >= x0 - 1 && x <= x0 + w && y >= y0 - 1 && y <= y0 + h && v != 1) ring++
        }
      } }
    END { if (NR == 576 && !inside && !outside && !ring && text) print "ok"
          else printf "rows %d, bad inside %d, bad outside %d, ring not background %d, text pixels %d\n", NR, inside, outside, ring, text }'
}

# cells FILE X Y N: the pixels of N character cells (12 x 22) from (X, Y).
cells() {
  screen_rows "$1" | awk -v x0="$2" -v y0="$3" -v n="$4" '
    NR - 1 >= y0 && NR - 1 < y0 + 22 { line = ""; for (x = x0; x < x0 + 12 * n; x++) line = line " " $(x + 1); print line }'
}
