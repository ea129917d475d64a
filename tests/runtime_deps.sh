#!/bin/bash
# Each program needs nothing at run time but the C library; fs_detacher needs
# nothing at all (no dynamic section, no program interpreter).
. "$TESTLIB"
for p in bootpick imgupload part_copier fs_detacher; do
  f=$BIN_DIR/$p
  [ -f "$f" ] || continue
  if [ "$p" = fs_detacher ]; then
    expect_eq "$p: no program interpreter" "" "$(readelf -lW "$f" | grep -i interp)"
    expect_eq "$p: no dynamic section" "" "$(readelf -SW "$f" | grep -E '\.dynamic|\.interp')"
    continue
  fi
  [ "${SANITIZE:-}" = ON ] && continue   # the sanitizer runtime is a library too
  needed=$(readelf -dW "$f" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort)
  expect_true "$p: has a dynamic section" test -n "$needed"
  extra=$(grep -v -E '^(libc\.so\.6|ld64\.so\.[12]|ld\.so\.1)$' <<<"$needed")
  expect_eq "$p: needs the C library only" "" "$extra"
done
[ -f "$BIN_DIR/part_copier" ] || fail "part_copier was not built"
finish
