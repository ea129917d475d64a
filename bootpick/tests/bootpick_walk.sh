# Walks through the IP settings submenu with the remote: the check box and the
# digits typed are what /tmp/interfaces holds, and what the screen showed.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

# Into the submenu (U O), DHCP off (R O), back to the label (U); the address
# row (D R): 2 5 5 1 6 8 over the first two groups, the highlight passing
# the dot; back to the label (U) for a screenshot; the gateway row (D D D R),
# to its last cell (R x 14), 9 then 8 there; out (U L), down to WEB (D), OK.
walk="U O R O U D R 2 5 5 1 6 8 U shot:typed D D D R R R R R R R R R R R R R R R 9 8 U L D O"
sim walk -k "$walk"
expect_run "walk" 0 'WEB\n'
expect_static walk 255.168.000.024 010.000.000.255 010.000.000.008 255.255.255.000

# On the screen the address row now begins like the netmask row ("255.").
typed=$(cells "$RUN/typed.fb" 340 175 4)
netmask=$(cells "$RUN/typed.fb" 340 225 4)
expect_true "typed digits on the screen" test -n "$typed"
expect_eq "address row shows 255. as the netmask row does" "$netmask" "$typed"
expect_false "the rest of the address row differs from the netmask row" \
  test "$(cells "$RUN/typed.fb" 388 175 3)" = "$(cells "$RUN/typed.fb" 388 225 3)"

# The check box toggled twice is DHCP again; typed digits are then not written.
sim toggle-twice -k "U O R O O U D R 7 U L D O"
expect_run "toggle twice" 0 'WEB\n'
expect_bytes "toggle twice: DHCP file" "$RUN/interfaces" "$DHCP_FILE"

# Cells are built from the settings as read: a minus sign (an address that
# wrapped past 2^31) is a fixed cell the digit keys cannot change.
printf 'iface eth0 inet static\n\taddress 3000000000.1.1.1\n' > "$WORK/minus"
sim minus-cell -k "U O D R 9 R 7 U L D O" --interfaces "$WORK/minus"
expect_run "minus cell" 0 'WEB\n'
expect_static minus-cell -72.001.001.001 010.000.000.255 010.000.000.001 255.255.255.000
finish
