#include "rt/dbf/range_lock.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

namespace rt::dbf {

int range_lock(int fd, short type, uint64_t start, uint64_t len, bool wait) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(start);
    fl.l_len = static_cast<off_t>(len);
#ifdef F_OFD_SETLK
    for (;;) {
        if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl) == 0) return 0;
        if (errno == EINTR) continue;
        if (errno != EINVAL) return errno;
        break;  // a kernel without open-file-description locks
    }
#endif
    for (;;) {
        if (::fcntl(fd, wait ? F_SETLKW : F_SETLK, &fl) == 0) return 0;
        if (errno == EINTR) continue;
        return errno;
    }
}

}  // namespace rt::dbf
