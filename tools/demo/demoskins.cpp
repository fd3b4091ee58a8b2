#include "demoparts.h"

namespace demo {

bool writeSkins(const std::string& /*skinFolder*/) { return true; }

}  // namespace demo
