// Byte-range locks on table and index files: open-file-description locks where the kernel has
// them (so two work areas of one process exclude each other like two workstations), classic
// process locks otherwise.
#pragma once
#include <cstdint>

namespace rt::dbf {

// type: F_RDLCK, F_WRLCK or F_UNLCK. wait: block until granted. Returns 0 when done, else the
// errno of the refusal (EACCES / EAGAIN when another holder has the range).
int range_lock(int fd, short type, uint64_t start, uint64_t len, bool wait);

}  // namespace rt::dbf
