#!/bin/bash
# Black-box tests of fs_detacher with real mounts in a private mount namespace.
. "$TESTLIB"
in_mount_namespace "$@"
make_workdir

mounted() { grep -q " $1 " /proc/self/mountinfo; }

# No argument: exactly the 42-byte message on stderr, nothing on stdout.
prog fs_detacher >"$WORK/out" 2>"$WORK/err"; rc=$?
expect_eq "no argument: status" 1 "$rc"
expect_eq "no argument: message" "fs_detacher(init): Wrong number of params" "$(cat "$WORK/err")"
expect_eq "no argument: 42 bytes" 42 "$(stat -c %s "$WORK/err")"
expect_eq "no argument: stdout empty" 0 "$(stat -c %s "$WORK/out")"

# A tmpfs with a file held open on it is detached at once; the open file stays
# readable.
mkdir -p "$WORK/m1" "$WORK/m2" "$WORK/plain" || die "mkdir"
mount -t tmpfs tmpfs "$WORK/m1" || die "mount tmpfs"
mount -t tmpfs tmpfs "$WORK/m2" || die "mount tmpfs"
echo "still here" > "$WORK/m1/file"
exec 3<"$WORK/m1/file"
out=$(prog fs_detacher "$WORK/m1" 2>&1); rc=$?
expect_eq "busy mount: status" 0 "$rc"
expect_eq "busy mount: silent" "" "$out"
expect_false "busy mount: gone from mountinfo" mounted "$WORK/m1"
expect_eq "busy mount: open file still readable" "still here" "$(cat <&3)"
exec 3<&-

# Not a mount point, or missing: 255 and no output.
for path in "$WORK/plain" "$WORK/missing"; do
  out=$(prog fs_detacher "$path" 2>&1); rc=$?
  expect_eq "$path: status" 255 "$rc"
  expect_eq "$path: silent" "" "$out"
done

# Two arguments: only the first is detached.
mount -t tmpfs tmpfs "$WORK/m1" || die "mount tmpfs"
prog fs_detacher "$WORK/m1" "$WORK/m2"; rc=$?
expect_eq "two arguments: status" 0 "$rc"
expect_false "two arguments: first detached" mounted "$WORK/m1"
expect_true "two arguments: second still mounted" mounted "$WORK/m2"
umount "$WORK/m2"

# Size goal: the stripped program stays within 640 bytes.
size=$(stat -c %s "$BIN_DIR/fs_detacher")
expect_true "stripped size $size <= 640 bytes" test "$size" -le 640
finish
