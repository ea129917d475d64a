# The first 5-second wait: keys queued before bootpick opened the remote are
# thrown away; any key, even one the menu does not use, ends the wait.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

# With FLASH as the default, "U O" would choose WEB if it were taken in.
SIM_ENV=(FAKE_4410=)
sim queued --queued-keys "U O"
expect_run "queued keys are discarded" 0 'FLASH\n'

# X ends the wait; 6 seconds later no default has been taken and U O chooses WEB.
sim x-ends-wait -k "X wait:6 U O"
expect_run "X ends the wait" 0 'WEB\n'
finish
