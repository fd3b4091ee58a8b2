#pragma once
// What one page changes that other pages and the player editors show. Each page
// connects to the signals it cares about itself, so no page knows another and the
// main window only hosts them.
#include <QObject>
#include <string>
#include <vector>

namespace fdk {

class ContentEvents : public QObject {
  Q_OBJECT
 public:
  // What the Q2 Models page's Installed and Choosen lists show at this moment;
  // the Quake 2 player editor offers these models.
  const std::vector<std::string>& shownInstalledModels() const { return installed_; }
  const std::vector<std::string>& shownChosenModels() const { return chosen_; }
  void showInstalledModels(std::vector<std::string> models);
  void showChosenModels(std::vector<std::string> models);

 signals:
  // The Q2 Models page shows other models: models were deleted, chosen or given
  // up, or the Installed list opened to one model's skins or back.
  void q2ModelsShown();
  // Installed maps were deleted on either Maps page.
  void mapsInstalledChanged();
  // The setup dialog's QuakeWorld switch was flipped.
  void quakeWorldChanged(bool on);

 private:
  std::vector<std::string> installed_, chosen_;
};

}  // namespace fdk
