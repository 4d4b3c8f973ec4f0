#include "files/descriptor_posix.h"

#include <unistd.h>

namespace obturix {

int Descriptor::close() { return fd_ < 0 ? 0 : ::close(release()); }

} // namespace obturix
