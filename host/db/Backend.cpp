// Out-of-line destructor of the backend interface; see Backend.h.
#include "host/db/Backend.h"

namespace sarvo::db {

Backend::~Backend() = default;

} // namespace sarvo::db
