# bootpick without arguments and without a key: the default "Enter WEB mode"
# is taken after the 5-second wait; the DHCP settings file, the screen left
# in colour index 0 and the five colour-map entries.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

sim plain
expect_run "no key" 0 'WEB\n'
expect_bytes "no key: the DHCP file" "$RUN/interfaces" "$DHCP_FILE"
expect_true "screen all index 0 at the end" cmp -s -n "$SCREEN_BYTES" "$RUN/fb0" /dev/zero

# Colour map after the screen: red[256], green[256], blue[256], transp[256],
# 16-bit little-endian each; only entries 0 to 4 set.
cmap=$(od -An -v -tu2 --endian=little -j "$SCREEN_BYTES" "$RUN/fb0" | tr -s ' \n' ' ')
read -r -a v <<<"$cmap"
expect_eq "colour map length" 1024 "${#v[@]}"
# entry: red green blue transp
expect_eq "entry 0 black, transparent" "0 0 0 65535" "${v[0]} ${v[256]} ${v[512]} ${v[768]}"
expect_eq "entry 1 0x101040" "4096 4096 16384 0" "${v[1]} ${v[257]} ${v[513]} ${v[769]}"
expect_eq "entry 2 0x808080" "32768 32768 32768 0" "${v[2]} ${v[258]} ${v[514]} ${v[770]}"
expect_eq "entry 3 0x101040 again" "4096 4096 16384 0" "${v[3]} ${v[259]} ${v[515]} ${v[771]}"
expect_eq "entry 4 0xF8F800" "63488 63488 0 0" "${v[4]} ${v[260]} ${v[516]} ${v[772]}"
rest=0
for i in $(seq 5 255); do
  rest=$((rest + v[i] + v[256 + i] + v[512 + i] + v[768 + i]))
done
expect_eq "entries 5 to 255 zero" 0 "$rest"
finish
