# The "Boot FLASH image" entry: offered for BOX_TYPE exactly "VX4410" or when
# FAKE_4410 is set (even empty), and then the default.
. "$SRC_DIR/bootpick/tests/bootpick_simlib.sh"

SIM_ENV=(BOX_TYPE=VX4410)
sim vx4410-default
expect_run "VX4410, no key: FLASH is the default" 0 'FLASH\n'
expect_bytes "VX4410: DHCP file" "$RUN/interfaces" "$DHCP_FILE"

# flash_case NAME EXPECTED VAR=VALUE...: "D O" chooses the entry below "Enter
# WEB mode" when there is one (FLASH), else "Enter WEB mode" itself.
flash_case() {
  local name=$1 expected=$2
  shift 2
  SIM_ENV=("$@")
  sim "$name" -k "D O"
  expect_run "$name" 0 "$expected\\n"
}
flash_case no-variables WEB
flash_case lower-case WEB BOX_TYPE=vx4410
flash_case longer WEB BOX_TYPE=VX44100
flash_case shorter WEB BOX_TYPE=VX441
flash_case empty-box-type WEB BOX_TYPE=
flash_case fake-empty FLASH FAKE_4410=
flash_case fake-beside-other-box FLASH BOX_TYPE=DM7000 FAKE_4410=0
finish
