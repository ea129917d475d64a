#!/bin/bash
# Black-box tests of part_copier on containers made here.
. "$TESTLIB"
make_workdir
cd "$WORK" || die "cd"

# container FILE H S0 S1 S2 [CUT]: a container with an H-byte header and three
# partitions of random blocks; with CUT, only the first CUT bytes are kept.
# The data of partition N is also left in FILE.pN for the expected results.
container() {
  python3 - "$@" <<'PY' || die "python3 could not make a container"
import os, struct, sys
f, h, sizes = sys.argv[1], int(sys.argv[2]), [int(s) for s in sys.argv[3:6]]
cut = int(sys.argv[6]) if len(sys.argv) > 6 else None
out = struct.pack(">II", 0xDEADBEEF, h) + os.urandom(h)
for n, s in enumerate(sizes):
    data = os.urandom(s)
    open(f"{f}.p{n}", "wb").write(data)
    out += struct.pack(">I", s) + data
open(f, "wb").write(out[:cut] if cut is not None else out)
PY
}
# expected PART_FILE LIMIT: the first 512 of every 528 bytes of the first
# LIMIT bytes of a partition's data.
expected() {
  python3 - "$1" "$2" <<'PY'
import sys
d = open(sys.argv[1], "rb").read()[:int(sys.argv[2])]
sys.stdout.buffer.write(b"".join(d[i:i + 512] for i in range(0, len(d), 528)))
PY
}

usage='Usage: part_copier partition input_file output_file'
range='part_copier: Partition number must be in the range [0..2]'

# Argument count and range: message, status 1, nothing created.
container c.img 40 1056 528 2112
while IFS='|' read -r name args want_err; do
  rm -f out.bin
  err=$(prog part_copier $args 2>&1 >/dev/null); rc=$?
  expect_eq "$name: status" 1 "$rc"
  expect_eq "$name: message" "$want_err" "$err"
  expect_false "$name: no output file" test -e out.bin
done <<EOF2
no arguments||$usage
two arguments|0 c.img|$usage
four arguments|0 c.img out.bin extra|$usage
partition 3|3 c.img out.bin|$range
partition -1|-1 c.img out.bin|$range
partition 2.5e9 saturates|2.5e9 c.img out.bin|$range
EOF2

# Byte-exact message lengths, as scripts may compare them.
expect_eq "usage is 52 bytes" 52 "$(prog part_copier 2>&1 | wc -c)"
expect_eq "range message is 58 bytes" 58 "$(prog part_copier 7 c.img o 2>&1 | wc -c)"

# Partition selection by the converted number: PART_ARG -> partition index.
while IFS='|' read -r name arg part; do
  rm -f out.bin
  prog part_copier "$arg" c.img out.bin; rc=$?
  expect_eq "$name: status" 0 "$rc"
  size=$(stat -c %s "c.img.p$part")
  expected "c.img.p$part" "$size" > want.bin
  expect_same_file "$name: data" want.bin out.bin
done <<EOF2
partition 0 of 1056 bytes (two blocks)|0|0
partition 1|1|1
partition 2 (two skipped by seeking)|2|2
1.9 truncates to 1|1.9|1
-0.5 truncates to 0|-0.5|0
hexadecimal 0x2|0x2|2
leading blanks|  1|1
no number selects 0|abc|0
EOF2

# An existing, longer output file is replaced, not overwritten in part.
head -c 100000 /dev/urandom > out.bin
prog part_copier 0 c.img out.bin
expected c.img.p0 1056 > want.bin
expect_same_file "longer old output is truncated" want.bin out.bin

# Size 0: nothing written, status 0.
container z.img 0 0 528 0
prog part_copier 0 z.img out.bin; rc=$?
expect_eq "size 0: status" 0 "$rc"
expect_eq "size 0: empty output" 0 "$(stat -c %s out.bin)"

# Size not a multiple of 528: whole blocks, then at most 512 bytes of the
# partial block, and never anything of the next partition.
for s in 600 1300 1056; do
  container odd.img 8 "$s" 528 528
  prog part_copier 0 odd.img out.bin; rc=$?
  expected odd.img.p0 "$s" > want.bin
  expect_eq "size $s: status" 0 "$rc"
  expect_same_file "size $s: data stops at the partition's end" want.bin out.bin
done

# Input that ends early: what was read is written, a message, status 1.
container short.img 16 2112 528 528 $((8 + 16 + 4 + 1000))
err=$(prog part_copier 0 short.img out.bin 2>&1); rc=$?
expect_eq "truncated partition: status" 1 "$rc"
expect_true "truncated partition: message" grep -q '^part_copier: ' <<<"$err"
expected short.img.p0 1000 > want.bin
expect_same_file "truncated partition: data read so far" want.bin out.bin
for cut in 3 6 20 $((8 + 16 + 2))  $((8 + 16 + 4 + 2112 + 2)); do
  container cut.img 16 2112 528 528 "$cut"
  err=$(prog part_copier 1 cut.img out.bin 2>&1); rc=$?
  expect_eq "input cut at $cut: status" 1 "$rc"
  expect_true "input cut at $cut: message" grep -q '^part_copier: ' <<<"$err"
done

# Files that cannot be opened.
rm -f out.bin
err=$(prog part_copier 0 missing.img out.bin 2>&1); rc=$?
expect_eq "missing input: status" 1 "$rc"
expect_eq "missing input: message" "part_copier: Can't open input file: No such file or directory" "$err"
expect_false "missing input: no output created" test -e out.bin
err=$(prog part_copier 0 c.img no/such/dir/out.bin 2>&1); rc=$?
expect_eq "unwritable output: status" 1 "$rc"
expect_eq "unwritable output: message" "part_copier: Can't open output file: No such file or directory" "$err"

# A full disk is a failure, not a success.
if [ -e /dev/full ]; then
  err=$(prog part_copier 0 c.img /dev/full 2>&1); rc=$?
  expect_eq "full disk: status" 1 "$rc"
  expect_eq "full disk: message" "part_copier: Can't write output file: No space left on device" "$err"
else
  fail "full disk" "/dev/full is missing"
fi

# Nothing on standard output, ever.
expect_eq "silent on stdout" "" "$(prog part_copier 1 c.img out.bin 2>/dev/null)"
finish
