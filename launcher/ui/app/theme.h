#pragma once
class QApplication;
namespace fdk {
// One dark look for every window: light text that stays readable over the backgrounds.
void ApplyTheme(QApplication& app);
}  // namespace fdk
