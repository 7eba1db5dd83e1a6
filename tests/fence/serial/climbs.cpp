// An include that climbs out of its folder, which the build must refuse.
#include "../platform/files.h"
