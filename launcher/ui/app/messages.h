#pragma once
// The one way the windows tell the player something: every message goes to
// stderr, so that scripts and logs see it, and to a message box where someone
// may answer one. Tests replace the box and the end of the program.
#include <QString>
#include <functional>

namespace fdk {

class UserMessages {
 public:
  enum class Kind { Fatal, Warning, Information };

  // Shows the box; the program shows a QMessageBox, tests record the text.
  std::function<void(Kind kind, const QString& text)> showBox;
  // Ends the program after a fatal message (settings are not saved); tests leave it empty.
  std::function<void()> endProgram;
  // Asks a Yes/No question and gives true for Yes; the program shows a box,
  // tests answer. Without one, the answer is No.
  std::function<bool(const QString& question)> askBox;

  // Stderr, a box, then the end of the program.
  void fatal(const QString& text) const;
  // Stderr and a box: a problem the launcher survives.
  void warn(const QString& text) const;
  // Stderr and a box: what something the player asked for did.
  void inform(const QString& text) const;
  // Stderr only: the detail behind a box, or a message that nobody may be there
  // to answer (a close asked for by a signal).
  void log(const QString& text) const;
  // Stderr (the question and the answer) and a Yes/No box.
  bool ask(const QString& question) const;
};

}  // namespace fdk
