#include "app/contentevents.h"

namespace fdk {

void ContentEvents::showInstalledModels(std::vector<std::string> models) {
  installed_ = std::move(models);
  emit q2ModelsShown();
}

void ContentEvents::showChosenModels(std::vector<std::string> models) {
  chosen_ = std::move(models);
  emit q2ModelsShown();
}

}  // namespace fdk
