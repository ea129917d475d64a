# The screen while the menu waits for its first key: the default entry's
# highlight band exactly where the menu tree places it, 480 x 24 pixels; the
# rest of the screen only menu background (1) and text (2).
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

sim web -k "shot:wait O"
expect_eq "WEB default: band at (100, 175)" ok "$(band_check "$RUN/wait.fb" 100 175 480 24)"
expect_run "WEB default: OK chooses it" 0 'WEB\n'

SIM_ENV=(FAKE_4410=)
sim flash -k "shot:wait O"
SIM_ENV=()
expect_eq "FLASH default: band at (100, 200)" ok "$(band_check "$RUN/wait.fb" 100 200 480 24)"
expect_run "FLASH default: OK chooses it" 0 'FLASH\n'

# The default line names a list entry; of two equal lines the last one wins.
printf 'alpha\ngamma\ngamma\ndelta\n' > "$WORK/list"
sim list-default -k "shot:wait O" -- "$WORK/list" gamma
expect_eq "list default: band on the third list line (100, 250)" ok \
  "$(band_check "$RUN/wait.fb" 100 250 480 24)"
expect_run "list default: OK chooses it" 0 'gamma\n'
finish
