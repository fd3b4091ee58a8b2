#pragma once
// Fields show stored text values and give back the stored bytes untouched unless
// the user edited the text (see core/storedtext.h).
#include <QString>
#include <string>

#include "core/store/storedtext.h"

namespace fdk {

inline QString ShowStored(const std::string& stored) { return QString::fromStdString(TextForDisplay(stored)); }

inline std::string FromField(const QString& shown, const std::string& stored) {
  return StoredAfterEdit(shown.toStdString(), stored);
}

}  // namespace fdk
