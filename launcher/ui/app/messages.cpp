#include "app/messages.h"

#include <iostream>

namespace fdk {

void UserMessages::log(const QString& text) const { std::cerr << "fragdock: " << text.toStdString() << std::endl; }

void UserMessages::warn(const QString& text) const {
  log(text);
  if (showBox) showBox(Kind::Warning, text);
}

void UserMessages::inform(const QString& text) const {
  log(text);
  if (showBox) showBox(Kind::Information, text);
}

bool UserMessages::ask(const QString& question) const {
  const bool yes = askBox && askBox(question);
  log(question + (yes ? QStringLiteral(" Yes.") : QStringLiteral(" No.")));
  return yes;
}

void UserMessages::fatal(const QString& text) const {
  log(text);
  if (showBox) showBox(Kind::Fatal, text);
  if (endProgram) endProgram();
}

}  // namespace fdk
