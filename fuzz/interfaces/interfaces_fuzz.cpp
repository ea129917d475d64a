// libFuzzer target: the reader of /etc/network/interfaces and the address
// normaliser. The input is the interfaces file; after the reader has taken
// its settings, every line of the input is normalised into the address fields
// in turn. Each address field must keep the form the menu and the writer rely
// on: 15 printable characters and its zero byte at offset 15.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "netsettings.h"

namespace {

// The file the reader opens: a memory file named through /proc.
int input_fd = -1;
char input_path[64];

// Normalised lines are copied here, zero-terminated; longer lines are cut.
constexpr size_t kLineCopy = 4096;

void require(bool holds, const char *what, const char *field)
{
    if (holds) return;
    fprintf(stderr, "interfaces invariant broken: %s (field \"%.16s\")\n", what, field);
    abort();
}

void check_field(const char *field)
{
    require(field[kAddressChars] == '\0', "zero byte at offset 15 overwritten", field);
    for (size_t i = 0; i < kAddressChars; ++i)
        require(field[i] >= 0x20 && field[i] < 0x7F, "unprintable character in the field", field);
}

void check_settings(const NetSettings &settings)
{
    require(settings.use_dhcp <= 1, "use_dhcp neither 0 nor 1", "");
    check_field(settings.address);
    check_field(settings.broadcast);
    check_field(settings.netmask);
    check_field(settings.gateway);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    input_fd = memfd_create("interfaces", 0);
    if (input_fd < 0) {
        perror("memfd_create");
        abort();
    }
    snprintf(input_path, sizeof input_path, "/proc/self/fd/%d", input_fd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (ftruncate(input_fd, 0) != 0 ||
        pwrite(input_fd, data, size, 0) != static_cast<ssize_t>(size)) {
        perror("writing the input file");
        abort();
    }

    // A global record: a write past its end reaches an ASan red zone.
    static NetSettings settings;
    net_settings_default(settings);
    read_interfaces_from(settings, input_path);
    check_settings(settings);

    char *const fields[] = {settings.address, settings.broadcast, settings.netmask,
                            settings.gateway};
    static char line[kLineCopy];
    size_t start = 0;
    for (int n = 0; start < size; ++n) {
        const void *newline = memchr(data + start, '\n', size - start);
        const size_t end = newline ? static_cast<size_t>(static_cast<const uint8_t *>(newline) - data)
                                   : size;
        const size_t length = end - start < kLineCopy - 1 ? end - start : kLineCopy - 1;
        memcpy(line, data + start, length);
        line[length] = '\0';
        char *field = fields[n % 4];
        normalize_ip(line, field);
        check_field(field);
        start = end + 1;
    }
    return 0;
}
