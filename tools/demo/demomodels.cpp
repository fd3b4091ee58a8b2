#include "demoparts.h"

namespace demo {

bool writeModels(const std::string& /*modelStore*/, const std::string& /*quake2Folder*/) { return true; }

}  // namespace demo
