#include "work/barhost.h"

namespace fdk {

bool BarInstallHost::ask(const std::string& question) {
  const bool yes = ctx_.messages.ask(QString::fromStdString(question));
  bar_.repaint();  // the box covered part of the window
  return yes;
}

}  // namespace fdk
