// The station password: the permanent Ethernet hardware address of eth0 in
// its text form, as the kernel shows it in sysfs.
#include "crypt_tea.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char addr_assign_type[] = "/sys/class/net/eth0/addr_assign_type";
const char address[] = "/sys/class/net/eth0/address";
// "xx:xx:xx:xx:xx:xx"
const int mac_laenge = 17;

// Reads up to n bytes, continuing after partial reads and interruptions.
// Returns the number of bytes read, or -1 with errno set.
ssize_t lesen(int fd, char* ziel, size_t n)
{
    size_t gelesen = 0;
    while (gelesen < n) {
        ssize_t r = read(fd, ziel + gelesen, n - gelesen);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        gelesen += (size_t)r;
    }
    return (ssize_t)gelesen;
}

// Closes fd without disturbing errno.
void schliessen(int fd)
{
    int e = errno;
    close(fd);
    errno = e;
}

} // namespace

int get_mac(char* mac)
{
    int fd = open(addr_assign_type, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // '0' is the kernel's code for a permanent address; a random, stolen
    // or administratively set address is no station password.
    char typ;
    ssize_t r = lesen(fd, &typ, 1);
    schliessen(fd);
    if (r != 1 || typ != '0') {
        errno = EILSEQ;
        return 0;
    }

    fd = open(address, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    r = lesen(fd, mac, mac_laenge);
    schliessen(fd);
    if (r < 0)
        return 0;
    mac[r] = '\0';
    // A shorter address would leave part of the password undefined.
    if (r < mac_laenge) {
        errno = ENODATA;
        return 0;
    }
    return 1;
}
