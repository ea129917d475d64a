# bootpick when the box lacks something: no remote control device, no
# framebuffer, a read-only /tmp.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

sim no-remote --no-remote
expect_run "no remote device" 0 '' 'rc_init: open failed: No such file or directory\n'
expect_no_interfaces "no remote device"
expect_eq "no remote device: the menu stays on the screen" ok "$(band_check "$RUN/fb0" 100 175 480 24)"

printf 'one\n' > "$WORK/list"
sim no-fb --no-fb -- "$WORK/list" one
expect_run "no framebuffer" 1 '' \
  '/dev/fb/0: No such file or directory\nframebuffer not available.\nError setting up fb\n'
expect_no_interfaces "no framebuffer"

sim readonly-tmp --readonly-tmp -k O
expect_run "/tmp/interfaces not writable" 0 'WEB\n'
expect_no_interfaces "/tmp/interfaces not writable"
finish
