#pragma once
// The file picker for a game's program. Engines on Linux carry no extension, so
// its first filter, "Programs", shows the files this user may run, whatever their
// names; "All files" shows the rest.
#include <QFileDialog>
#include <QString>

namespace fdk {

inline constexpr const char* kProgramsFilter = "Programs (*)";
inline constexpr const char* kAllFilesFilter = "All files (*)";

// A picker opened on start (the game folder), "Programs" chosen. It is Qt's own
// dialog, not the desktop's, because only that one can be told which files run.
QFileDialog* MakeProgramPicker(QWidget* parent, const QString& title, const QString& start);

// Runs the picker; the chosen file, or nothing when the player cancelled.
QString PickProgram(QWidget* parent, const QString& title, const QString& start);

}  // namespace fdk
