#!/bin/bash
# Black-box tests of imgupload: real multipart bodies on its standard input,
# in a private mount namespace where /tmp, /mnt (with /mnt/tmp) and /opt (with
# /opt/rescue4410) are fresh tmpfs fixtures. The hand-over goes to a
# ./nextstage that records what it got; partitions are a real loop-attached
# ext3 image mounted by the real mount; NFS and CIFS go to a recording fake
# mount first on PATH.
. "$TESTLIB"
in_mount_namespace "$@"

WORK=$(mktemp -d "$BUILD_DIR/imgupload-test.XXXXXX") || die "mktemp in $BUILD_DIR"
LOOP=
cleanup() {
  mountpoint -q /mnt/tmp && umount /mnt/tmp
  mountpoint -q "$WORK/check" && umount "$WORK/check"
  [ -n "$LOOP" ] && losetup -d "$LOOP"
  rm -rf "$WORK"
}
trap cleanup EXIT

fresh_tmpfs /tmp /mnt /opt
chmod 1777 /tmp
mkdir -p /mnt/tmp /opt/rescue4410 "$WORK/cgi" "$WORK/fakebin" "$WORK/check" || die "fixture directories"

REC=$WORK/rec          # what the fakes and ./nextstage record, per run
CGI=$WORK/cgi          # the program's working directory
B='----imgupload-test-7MA4YWxkTrZu0gW'
REAL_PATH=$PATH
FAKE_PATH=$WORK/fakebin:$PATH

cat > "$CGI/nextstage" <<EOF || die "nextstage"
#!/bin/bash
cat > "$REC/next.stdin"
printf '%s\n' "\$@" > "$REC/next.args"
env > "$REC/next.env"
sed -n 's/^SigIgn:[[:space:]]*//p' /proc/\$\$/status > "$REC/next.sigign"
EOF
cat > "$WORK/fakebin/mount" <<EOF || die "fake mount"
#!/bin/bash
printf '%s\n' "\$@" > "$REC/mount.args"
echo "mount \$*" >> "$REC/calls"
exit \$(cat "$WORK/mount.status" 2>/dev/null || echo 0)
EOF
cat > "$WORK/fakebin/umount" <<EOF || die "fake umount"
#!/bin/bash
echo "umount \$*" >> "$REC/calls"
EOF
chmod +x "$CGI/nextstage" "$WORK/fakebin/mount" "$WORK/fakebin/umount" || die "chmod"

# The file content: every byte value, CR, LF, a line that looks like the
# closing delimiter, and enough bytes for several 1024-byte chunks.
# allbytes FIRST STEP LAST: the byte values from FIRST to LAST.
allbytes() { printf "$(printf '\\%03o' $(seq "$1" "$2" "$3"))"; }
{
  allbytes 0 1 255
  printf '\r\n--%s--\r\n\n\r\r\n' "$B"
  for _ in 1 2 3 4 5 6 7 8 9 10; do allbytes 255 -1 0; done
} > "$WORK/content.bin" || die "content"
CONTENT_SIZE=$(stat -c %s "$WORK/content.bin")

# A tar.gz with binary content, a subdirectory and an awkward file name.
mkdir -p "$WORK/tree/sub dir" && cp "$WORK/content.bin" "$WORK/tree/blob" &&
  echo hello > "$WORK/tree/sub dir/it's here" &&
  tar -czf "$WORK/tree.tar.gz" -C "$WORK/tree" . || die "tar.gz fixture"
head -c 100 "$WORK/content.bin" > "$WORK/not-gzip.bin"
head -c 4000000 /dev/zero | tr '\0' 'x' > "$WORK/big-not-gzip.bin" || die "big fixture"

# The ext3 partition: an image file on a loop device.
truncate -s 16M "$WORK/part.img" && mkfs.ext3 -q -F "$WORK/part.img" || die "mkfs.ext3"
LOOP=$(losetup -f --show "$WORK/part.img") || die "losetup"

# Body parts, in the order a browser sends them.
field() { printf -- '--%s\r\nContent-Disposition: form-data; name="%s"\r\n\r\n%s\r\n' "$B" "$1" "$2"; }
# file_part CONTENT [raw|base64|base64-headers]
file_part() {
  printf -- '--%s\r\nContent-Disposition: form-data; name="files"; filename="upload.bin"\r\n' "$B"
  printf 'Content-Type: application/octet-stream\r\n'
  case ${2:-raw} in
    raw) printf '\r\n'; cat "$1"; printf '\r\n' ;;
    base64) printf 'Content-Transfer-Encoding: base64\r\n\r\n'; base64 -w 76 "$1" | sed 's/$/\r/'; printf '\r\n' ;;
    base64-headers) printf 'Content-Transfer-Encoding: base64\r\n\r\n' ;;
  esac
}
closing() { printf -- '--%s--\r\n' "$B"; }
# body OUT NAME TYPE DEST CONTENT [MODE]: the four fields in order.
body() {
  { field img_name "$2"; field img_type "$3"; field destination "$4"; file_part "$5" "${6:-raw}"; closing; } > "$1" ||
    die "body $1"
}
# header_of MODE NAME TYPE DEST: what /tmp/form.header holds for such a body.
header_of() {
  case $1 in
    raw) { field img_name "$2"; field img_type "$3"; field destination "$4"; file_part /dev/null raw; closing; } ;;
    base64) { field img_name "$2"; field img_type "$3"; field destination "$4"; file_part /dev/null base64-headers; closing; } ;;
  esac > "$WORK/expected.header"
}

# upload BODY [NAME=VALUE | -NAME]...: run imgupload in $CGI with the body on
# standard input; CONTENT_LENGTH is the body's size and CONTENT_TYPE names the
# boundary unless set (NAME=VALUE) or removed (-NAME) here. Records in $REC.
upload() {
  local body=$1; shift
  rm -rf "$REC" && mkdir -p "$REC" && : > "$REC/calls" || die "record dir"
  (
    cd "$CGI" || exit 99
    export CONTENT_LENGTH=$(stat -c %s "$body") CONTENT_TYPE="multipart/form-data; boundary=$B" STB_MARK='a b$c'
    for setting in "$@"; do
      case $setting in -*) unset "${setting#-}" ;; *) export "$setting" ;; esac
    done
    prog imgupload arg1 'arg two' < "$body" > "$REC/stdout" 2> "$REC/stderr"
  )
  echo $? > "$REC/rc"
}
rc() { cat "$REC/rc"; }
calls() { cat "$REC/calls"; }
mount_args() { cat "$REC/mount.args" 2>/dev/null; }
# 1 when ./nextstage started with SIGPIPE ignored (bit 13 of its SigIgn mask).
sigpipe_ignored() { local mask; mask=$(cat "$REC/next.sigign" 2>/dev/null); echo $(( 0x${mask:-0} >> 12 & 1 )); }

# expect_hand_over CASE: ./nextstage ran with the saved form on its standard
# input and the program's arguments and environment.
expect_hand_over() {
  expect_eq "$1: exit status of nextstage" 0 "$(rc)"
  expect_same_file "$1: nextstage reads the saved form" "$WORK/expected.header" "$REC/next.stdin"
  expect_eq "$1: nextstage arguments" "$(printf 'arg1\narg two')" "$(cat "$REC/next.args" 2>/dev/null)"
  expect_true "$1: environment passed on" grep -qx 'STB_MARK=a b$c' "$REC/next.env"
  expect_true "$1: CONTENT_TYPE passed on" grep -qx "CONTENT_TYPE=multipart/form-data; boundary=$B" "$REC/next.env"
  expect_true "$1: CONTENT_LENGTH passed on" grep -qx "CONTENT_LENGTH=$(stat -c %s "$WORK/b")" "$REC/next.env"
  expect_eq "$1: nothing on standard error" "" "$(cat "$REC/stderr")"
  expect_eq "$1: broken pipe not ignored by nextstage" 0 "$(sigpipe_ignored)"
}

# expect_cleaned CASE STDERR_TEXT: the clean-up path ran.
expect_cleaned() {
  expect_eq "$1: exit status" 1 "$(rc)"
  expect_eq "$1: last message" "Something failed.  Trying to clean up" "$(tail -n 1 "$REC/stdout")"
  expect_true "$1: failure message" grep -qF -- "$2" "$REC/stderr"
  expect_false "$1: saved form removed" test -e /tmp/form.header
  expect_false "$1: download removed" test -e /mnt/tmp/images/download.tmp
  expect_eq "$1: unmounted last" "umount /mnt/tmp" "$(tail -n 1 "$REC/calls")"
  expect_false "$1: no hand-over" test -e "$REC/next.args"
}

settings() { printf '%s\n' "${@:2}" > "/opt/rescue4410/$1" || die "settings $1"; }
partitions() { printf '%s\n' "$@" > /tmp/partitions || die "partitions"; }
# Every file of the fixtures goes, but never a path bound back into /tmp (the
# build or the sources may live there).
fresh() {
  local f
  for f in /tmp/* /tmp/.[!.]*; do
    [ -e "$f" ] && ! mountpoint -q "$f" && rm -rf "$f"
  done
  rm -rf /mnt/tmp/images /opt/rescue4410/* "$WORK/mount.status" "$CGI"/pwned*
}
nothing_ran() { ! ls "$CGI"/pwned* /tmp/pwned* >/dev/null 2>&1; }

PATH=$FAKE_PATH

# --- Absolute paths: written directly, no mount -------------------------------

fresh; mkdir /tmp/out
body "$WORK/b" rootfs raw /tmp/out/image.bin "$WORK/content.bin"
header_of raw rootfs raw /tmp/out/image.bin
upload "$WORK/b"
expect_hand_over "raw to path"
expect_same_file "raw to path: content" "$WORK/content.bin" /tmp/out/image.bin
expect_eq "raw to path: messages" "Starting download of file
Found image name : 'rootfs'
Found image type : 'raw'
Found destination : '/tmp/out/image.bin'
File length = $CONTENT_SIZE" "$(cat "$REC/stdout")"
expect_eq "raw to path: no mount, umount at the hand-over" "umount /mnt/tmp" "$(calls)"
expect_eq "raw to path: no temporary file left" "image.bin" "$(ls -A /tmp/out)"
expect_eq "raw to path: permissions as for a new file" "$(printf %o $((0666 & ~$(umask))))" "$(stat -c %a /tmp/out/image.bin)"

fresh; mkdir /tmp/out; echo "old image" > /tmp/out/image.bin
body "$WORK/b" rootfs raw /tmp/out/image.bin "$WORK/content.bin" base64
header_of base64 rootfs raw /tmp/out/image.bin
upload "$WORK/b"
expect_hand_over "base64 over a file"
expect_same_file "base64 over a file: content" "$WORK/content.bin" /tmp/out/image.bin
expect_eq "base64 over a file: no length message" "" "$(grep 'File length' "$REC/stdout")"
expect_eq "base64 over a file: no temporary file left" "image.bin" "$(ls -A /tmp/out)"

fresh; mkdir /tmp/out
body "$WORK/b" rootfs tar.gz /tmp/out/image.tgz "$WORK/tree.tar.gz"
header_of raw rootfs tar.gz /tmp/out/image.tgz
upload "$WORK/b"
expect_hand_over "tar.gz to path"
expect_same_file "tar.gz to path: written, not unpacked" "$WORK/tree.tar.gz" /tmp/out/image.tgz

# An empty content succeeds and writes nothing; a symbolic link is written
# through, not replaced.
fresh; mkdir /tmp/out; echo old > /tmp/out/target; ln -s target /tmp/out/link
body "$WORK/b" e raw /tmp/out/link /dev/null
header_of raw e raw /tmp/out/link
upload "$WORK/b"
expect_hand_over "empty content"
expect_eq "empty content: File length = 0" "File length = 0" "$(grep 'File length' "$REC/stdout")"
expect_true "empty content: link kept" test -L /tmp/out/link
expect_eq "empty content: target emptied" 0 "$(stat -c %s /tmp/out/target)"

# A header line longer than a line read is saved and counted as two lines,
# so the raw content's length still comes out right.
long_header_body() {
  { field img_name n; field img_type raw; field destination /tmp/out/f
    printf -- '--%s\r\nContent-Disposition: form-data; name="files"\r\nX-Long: %02500d\r\n\r\n' "$B" 0
    cat "$1"; printf '\r\n'; closing; }
}
fresh; mkdir /tmp/out
long_header_body "$WORK/content.bin" > "$WORK/b"
long_header_body /dev/null > "$WORK/expected.header"
upload "$WORK/b"
expect_hand_over "long header line"
expect_same_file "long header line: content" "$WORK/content.bin" /tmp/out/f

# A failed upload leaves the earlier file untouched and no temporary file.
fresh; mkdir /tmp/out; echo "old image" > /tmp/out/image.bin
body "$WORK/b" rootfs raw /tmp/out/image.bin "$WORK/content.bin"
upload "$WORK/b" CONTENT_LENGTH=$(($(stat -c %s "$WORK/b") + ${#B} + 9))
expect_cleaned "short body over a file" "error reading data"
expect_eq "short body over a file: old file untouched" "old image" "$(cat /tmp/out/image.bin)"
expect_eq "short body over a file: no temporary file left" "image.bin" "$(ls -A /tmp/out)"

# No destination at all: nothing is opened, the hand-over still happens.
fresh
{ field img_name x; field img_type raw; closing; } > "$WORK/b"
{ field img_name x; field img_type raw; closing; } > "$WORK/expected.header"
upload "$WORK/b"
expect_hand_over "no destination"
expect_eq "no destination: only the umount" "umount /mnt/tmp" "$(calls)"

# --- A real ext3 partition ------------------------------------------------------

PATH=$REAL_PATH
fresh; partitions "other /dev/null" "part1 $LOOP" "part10 /dev/null"
body "$WORK/b" rootfs raw part1 "$WORK/content.bin"
header_of raw rootfs raw part1
upload "$WORK/b"
expect_hand_over "ext3 raw"
expect_true "ext3 raw: mount command" grep -qxF "Mounting destination.  Command = 'mount -t ext3 -o noatime $LOOP /mnt/tmp'" "$REC/stdout"
expect_false "ext3 raw: unmounted at the hand-over" mountpoint -q /mnt/tmp
mount -o ro "$LOOP" "$WORK/check" || die "mount the partition to read it back"
expect_same_file "ext3 raw: content on the partition" "$WORK/content.bin" "$WORK/check/images/download.tmp"
expect_eq "ext3 raw: images directory mode" "$(printf %o $((0775 & ~$(umask))))" "$(stat -c %a "$WORK/check/images")"
umount "$WORK/check"

# tar.gz unpacked by the real tar, into a directory named literally by a
# hostile image name.
fresh; partitions "part1 $LOOP"
mkfs.ext3 -q -F "$LOOP" || die "mkfs.ext3 again"
name="it's \$(touch pwned); \`touch pwned2\` & x"
body "$WORK/b" "$name" tar.gz part1 "$WORK/tree.tar.gz"
header_of raw "$name" tar.gz part1
upload "$WORK/b"
expect_hand_over "ext3 tar.gz"
expect_true "ext3 tar.gz: nothing run from the name" nothing_ran
expect_false "ext3 tar.gz: unmounted at the hand-over" mountpoint -q /mnt/tmp
mount -o ro "$LOOP" "$WORK/check" || die "mount the partition to read it back"
expect_true "ext3 tar.gz: unpacked under the literal name" diff -r "$WORK/tree" "$WORK/check/images/$name"
expect_false "ext3 tar.gz: no download file" test -e "$WORK/check/images/download.tmp"
umount "$WORK/check"
PATH=$FAKE_PATH

# --- NFS and CIFS through the recording mount -----------------------------------

# CASE|SETTINGS FILE|SETTINGS LINES (^-separated)|DESTINATION|MOUNT ARGUMENTS (^-separated)|PRINTED COMMAND
while IFS='|' read -r name file lines dest args command; do
  fresh
  IFS='^' read -r -a setting_lines <<< "$lines"
  settings "$file" "${setting_lines[@]}"
  body "$WORK/b" img raw "$dest" "$WORK/content.bin"
  header_of raw img raw "$dest"
  upload "$WORK/b"
  expect_hand_over "$name"
  expect_eq "$name: mount arguments" "$(tr '^' '\n' <<< "$args")" "$(mount_args)"
  expect_true "$name: printed command" grep -qxF "Mounting destination.  Command = '$command'" "$REC/stdout"
  expect_same_file "$name: content" "$WORK/content.bin" /mnt/tmp/images/download.tmp
  expect_true "$name: nothing run from the settings" nothing_ran
done <<'EOF'
nfs|nfssetup|host=10.0.0.2^share=/srv/images^opts=nolock,vers=3|NFS|-t^nfs^-o^nolock,vers=3^10.0.0.2:/srv/images^/mnt/tmp|mount -t nfs -o nolock,vers=3 10.0.0.2:/srv/images /mnt/tmp
nfs without opts|nfssetup|host=h^share=/s|NFS|-t^nfs^-o^^h:/s^/mnt/tmp|mount -t nfs -o '' h:/s /mnt/tmp
cifs|cifssetup|host=server^share=images^user=box^pass=s3cr%t@|CIFS|-t^cifs^-o^user=box,pass=s3cr%t@^//server/images^/mnt/tmp|mount -t cifs -o user=box,pass=s3cr%t@ //server/images /mnt/tmp
nfs hostile|nfssetup|host=h$(touch pwned)^share=/a b';touch pwned2;'|NFS|-t^nfs^-o^^h$(touch pwned):/a b';touch pwned2;'^/mnt/tmp|mount -t nfs -o '' 'h$(touch pwned):/a b'\'';touch pwned2;'\''' /mnt/tmp
cifs hostile|cifssetup|host=`touch pwned`^share=../x^user=u$(touch pwned2)^pass=p'w|CIFS|-t^cifs^-o^user=u$(touch pwned2),pass=p'w^//`touch pwned`/../x^/mnt/tmp|mount -t cifs -o 'user=u$(touch pwned2),pass=p'\''w' '//`touch pwned`/../x' /mnt/tmp
EOF

# tar.gz onto a share: the real tar unpacks under the literal hostile name.
fresh; settings nfssetup host=h share=/s opts=ro
name="x'; touch pwned; '\$(touch pwned2)"
body "$WORK/b" "$name" tar.gz NFS "$WORK/tree.tar.gz" base64
header_of base64 "$name" tar.gz NFS
upload "$WORK/b"
expect_hand_over "nfs tar.gz base64"
expect_true "nfs tar.gz base64: unpacked under the literal name" diff -r "$WORK/tree" "/mnt/tmp/images/$name"
expect_true "nfs tar.gz base64: nothing run from the name" nothing_ran

# --- Every failure goes through the clean-up path -------------------------------

# standard_body OUT [DEST [TYPE [NAME]]]
standard_body() { body "$1" "${4-img}" "${3:-raw}" "${2:-NFS}" "$WORK/content.bin"; }

# CASE|SETUP|BODY RECIPE|ENVIRONMENT (blank-separated)|STDERR TEXT|MOUNT RUN (yes/no)
while IFS='|' read -r name setup recipe environment text mounted; do
  fresh; settings nfssetup host=h share=/s opts=ro; settings cifssetup host=h share=s user=u pass=p
  partitions "part1 /dev/part1"
  eval "$setup"
  eval "$recipe"
  eval "upload \"\$WORK/b\" $environment"
  expect_cleaned "$name" "$text"
  if [ "$mounted" = yes ]; then
    expect_eq "$name: mount ran" 1 "$(grep -c '^mount ' "$REC/calls")"
  else
    expect_eq "$name: no mount" "" "$(grep '^mount ' "$REC/calls")"
  fi
  expect_true "$name: nothing run" nothing_ran
  if [ -e "$WORK/mount.status" ]; then
    expect_false "$name: nothing made on the mount point's own file system" test -e /mnt/tmp/images
  fi
done <<'EOF'
no boundary|:|standard_body "$WORK/b"|CONTENT_TYPE=multipart/form-data|Boundary not found in environment|yes
no CONTENT_TYPE|:|standard_body "$WORK/b"|-CONTENT_TYPE|Boundary not found in environment|yes
no CONTENT_LENGTH|:|standard_body "$WORK/b"|-CONTENT_LENGTH|Boundary not found in environment|yes
body shorter than its length|:|standard_body "$WORK/b"|CONTENT_LENGTH=$(($(stat -c %s "$WORK/b") + ${#B} + 9))|error reading data|yes
negative file length|:|standard_body "$WORK/b"|CONTENT_LENGTH=300|Negative file length|yes
content before destination|:|{ field img_name x; field img_type raw; file_part "$WORK/content.bin"; field destination NFS; closing; } > "$WORK/b"||File content arrived before any destination|no
image name too long|:|standard_body "$WORK/b" NFS raw "$(printf '%062d' 0)"||The value of img_name is too long|no
image type too long|:|standard_body "$WORK/b" NFS "$(printf '%030d' 0)"||The value of img_type is too long|no
destination too long|:|standard_body "$WORK/b" "/tmp/$(printf '%0105d' 0)"||The value of destination is too long|no
nfs settings missing|rm /opt/rescue4410/nfssetup|standard_body "$WORK/b" NFS||opening /opt/rescue4410/nfssetup: No such file or directory|no
cifs settings missing|rm /opt/rescue4410/cifssetup|standard_body "$WORK/b" CIFS||opening /opt/rescue4410/cifssetup: No such file or directory|no
nfs without host|settings nfssetup share=/s opts=ro|standard_body "$WORK/b" NFS||No "host=" line in /opt/rescue4410/nfssetup|no
cifs without user|settings cifssetup host=h share=s pass=p|standard_body "$WORK/b" CIFS||line in /opt/rescue4410/cifssetup|no
setting too long|settings nfssetup host=h "share=/$(printf '%0253d' 0)"|standard_body "$WORK/b" NFS||A setting in /opt/rescue4410/nfssetup is too long|no
partition list missing|rm /tmp/partitions|standard_body "$WORK/b" part1||opening /tmp/partitions: No such file or directory|no
partition not listed|:|standard_body "$WORK/b" part2||Destination 'part2' is not in /tmp/partitions|no
relative path is no partition|:|standard_body "$WORK/b" ../../etc/passwd||Destination '../../etc/passwd' is not in /tmp/partitions|no
partition line without device|partitions part2|standard_body "$WORK/b" part2||No device for 'part2' in /tmp/partitions|no
nfs in lower case is a partition|:|standard_body "$WORK/b" nfs||Destination 'nfs' is not in /tmp/partitions|no
mount fails|echo 32 > "$WORK/mount.status"|standard_body "$WORK/b" NFS||mount failed with exit status 32|yes
unpack name ..|:|standard_body "$WORK/b" NFS tar.gz ..||Image name '..' cannot name a directory|no
unpack name with slash|:|standard_body "$WORK/b" NFS tar.gz ../../tmp/pwned||Image name '../../tmp/pwned' cannot name a directory|no
unpack name empty|:|standard_body "$WORK/b" NFS tar.gz ""||Image name '' cannot name a directory|no
tar fails|:|body "$WORK/b" img tar.gz NFS "$WORK/not-gzip.bin"||tar failed with exit status 2|yes
tar ends early|:|body "$WORK/b" img tar.gz NFS "$WORK/big-not-gzip.bin"||error writing data: Broken pipe|yes
device full|:|standard_body "$WORK/b" /dev/full||error writing data: No space left on device|no
output not opened|:|standard_body "$WORK/b" /tmp/no/such/dir||opening data output file: No such file or directory|no
second destination|:|{ field img_name x; field img_type raw; field destination NFS; field destination NFS; closing; } > "$WORK/b"||A second destination in one form|yes
no nextstage|mv "$CGI/nextstage" "$WORK/nextstage.away"|standard_body "$WORK/b" NFS||exec failed: No such file or directory|yes
EOF
mv "$WORK/nextstage.away" "$CGI/nextstage" || die "nextstage back"

# The saved form cannot be opened: nothing else happens.
fresh; mkdir /tmp/form.header
standard_body "$WORK/b" NFS
upload "$WORK/b"
expect_eq "header not opened: exit status" 1 "$(rc)"
expect_eq "header not opened: only the clean-up message" "Something failed.  Trying to clean up" "$(cat "$REC/stdout")"
expect_true "header not opened: message" grep -qF "opening header output file: Is a directory" "$REC/stderr"
expect_eq "header not opened: no mount, umount" "umount /mnt/tmp" "$(calls)"

finish
