# The list file: up to 11 lines of at most 39 characters become choices below
# the fixed entries; the default-line argument; a list file that cannot be read.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

# Down as often as there could be entries, then OK: the last entry is chosen.
DOWN_TO_END="D D D D D D D D D D D D D D O"

seq -f 'line %g' 1 12 > "$WORK/twelve.list"
sim twelve-lines -k "$DOWN_TO_END" -- "$WORK/twelve.list"
expect_run "12 lines give 11 entries" 0 'line 11\n'

# 45 characters: an entry of 39 and one of the remaining 6.
long=abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHI
printf '%s\nnext\n' "$long" > "$WORK/long.list"
sim long-first -k "D O" -- "$WORK/long.list"
expect_run "45-character line: first 39 characters" 0 "${long:0:39}\\n"
sim long-rest -k "D D O" -- "$WORK/long.list"
expect_run "45-character line: the other 6" 0 'DEFGHI\n'

# Exactly 39 characters and the newline: the line, then an empty entry.
printf '%s\nafter\n' "${long:0:39}" > "$WORK/exact.list"
sim exact-39 -k "D D O" -- "$WORK/exact.list"
expect_run "39 characters: an empty entry follows, chosen as an empty line" 0 '\n'

printf 'crlf\r\n' > "$WORK/crlf.list"
sim crlf -k "D O" -- "$WORK/crlf.list"
expect_run "CR LF line keeps its CR" 0 'crlf\r\n'

# The default line without a key: printed after the 5-second wait.
printf 'one\ntwo\nthree\n' > "$WORK/three.list"
sim default-line -- "$WORK/three.list" three
expect_run "default line, no key" 0 'three\n'
sim default-no-match -k O -- "$WORK/three.list" Three
expect_run "default line matching nothing: WEB stays the default" 0 'WEB\n'
sim default-without-list -k O -- "$WORK/missing" one
expect_run "default line without a readable list: WEB" 0 'WEB\n'

# A list file that cannot be read gives no entries and no message.
sim missing-list -k "D O" -- "$WORK/missing"
expect_run "missing list file" 0 'WEB\n'
mkdir "$WORK/a-directory"
sim directory-list -k "D O" -- "$WORK/a-directory"
expect_run "list file that is a directory" 0 'WEB\n'
finish
