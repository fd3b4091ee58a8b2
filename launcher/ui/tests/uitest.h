#pragma once
// A launcher run inside the test process: a temporary program folder with its
// pictures, the three windows, and a fatal handler that records instead of exiting.
#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "testing/tempdir.h"
#include "app/context.h"
#include "hub/hub.h"
#include "dialogs/setup.h"
#include "app/startup.h"
#include "work/picturewindow.h"
#include "work/progresswindow.h"
#include "work/scanwindow.h"

namespace fdk::test {

// Writes the launcher's pictures into folder: logo only as ".jpg", the rest as ".bmp".
void WritePictures(const TempDir& folder);

// Runs the event loop until done() holds or the time runs out; returns done().
bool WaitFor(const std::function<bool()>& done, int ms = 5000);

// The control or page of type T called name below root (with no name: the first
// of its type). One that is missing fails the test with its name, not a crash.
template <class T>
T* Find(const QObject* root, const char* name = nullptr) {
  T* found = name != nullptr ? root->findChild<T*>(QString::fromLatin1(name)) : root->findChild<T*>();
  if (found == nullptr)
    throw std::runtime_error(name != nullptr ? std::string("nothing called \"") + name + "\" of the type asked for"
                                             : std::string("nothing of the type asked for"));
  return found;
}

struct Launcher {
  TempDir prog;
  TempDir games;
  LauncherContext ctx;
  QStringList fatals;
  QStringList warnings;
  QStringList notes;  // what the player was told of work done
  QStringList questions;  // every Yes/No question asked
  bool answerYes = false;
  std::unique_ptr<Tffatpic> ffatpic;
  std::unique_ptr<Tfbar> fbar;
  std::unique_ptr<Tfscan> fscan;
  std::unique_ptr<Tfsetup> setup;
  std::unique_ptr<Tfhub> hub;
  std::unique_ptr<Tfstartup> splash;

  explicit Launcher(bool withPictures = true);
  ~Launcher();
  // Creates the windows (after the test has prepared files).
  void create();
  // Shows the splash and waits until the main window has loaded (or a fatal stop).
  bool start();
};

}  // namespace fdk::test
