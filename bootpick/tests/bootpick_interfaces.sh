# What bootpick takes over from /etc/network/interfaces, seen in the
# /tmp/interfaces it writes when "Enter WEB mode" is chosen at once.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

# with_interfaces NAME CONTENT: a run with that /etc/network/interfaces.
with_interfaces() {
  printf '%b' "$2" > "$WORK/$1.interfaces"
  sim "$1" -k O --interfaces "$WORK/$1.interfaces"
  expect_run "$1" 0 'WEB\n'
}

with_interfaces no-broadcast \
  'auto eth0\niface eth0 inet static\n\taddress 192.168.1.10\n\tnetmask 255.255.255.0\n\tgateway 192.168.1.1\n'
expect_static no-broadcast 192.168.001.010 010.000.000.255 192.168.001.001 255.255.255.000

with_interfaces keys-before-static \
  'iface eth0 inet dhcp\n\taddress 1.2.3.4\n\tgateway 1.2.3.1\niface eth0 inet static\n\tnetmask 255.0.0.0\n'
expect_static keys-before-static 010.000.000.024 010.000.000.255 010.000.000.001 255.000.000.000

with_interfaces inet6 'iface eth0 inet6 static\n\taddress 10.1.2.3\n'
expect_static inet6 010.001.002.003 010.000.000.255 010.000.000.001 255.255.255.000

with_interfaces comment-column-one \
  'iface eth0 inet static\n#address 10.9.9.9\n #broadcast 10.9.9.255\n'
expect_static comment-column-one 010.000.000.024 010.009.009.255 010.000.000.001 255.255.255.000

with_interfaces hwaddress 'iface eth0 inet static\n\thwaddress 00:11:22:33:44:55\n'
expect_static hwaddress 000.011.022.033 010.000.000.255 010.000.000.001 255.255.255.000

with_interfaces dhcp-eth0-static-eth1 \
  'auto eth0\niface eth0 inet dhcp\n\nauto eth1\niface eth1 inet static\n\taddress 10.5.5.5\n'
expect_bytes "dhcp-eth0-static-eth1: DHCP stays on" "$RUN/interfaces" "$DHCP_FILE"

with_interfaces dhcp-after-static \
  'iface eth0 inet static\n\taddress 10.1.1.1\niface eth0 inet dhcp\n\tgateway 10.1.1.254\n'
expect_static dhcp-after-static 010.001.001.001 010.000.000.255 010.001.001.254 255.255.255.000

# A later stanza's address overwrites eth0's; a value after a colon is no value.
with_interfaces later-stanza \
  'iface eth0 inet static\n\taddress 10.1.1.1\niface eth1 inet static\n\taddress 10.2.2.2\n\tnetmask: 255.0.0.0\n'
expect_static later-stanza 010.002.002.002 010.000.000.255 010.000.000.001 255.255.255.000
finish
