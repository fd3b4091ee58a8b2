#include "dialogs/programpicker.h"

#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <memory>

namespace fdk {

namespace {

// Keeps folders and runnable files while the dialog's "Programs" filter is chosen.
class ProgramsOnly : public QSortFilterProxyModel {
 public:
  explicit ProgramsOnly(QFileDialog* dialog) : QSortFilterProxyModel(dialog), dialog_(dialog) {
    connect(dialog, &QFileDialog::filterSelected, this, [this] { invalidateFilter(); });
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
    if (files == nullptr || dialog_->selectedNameFilter() != QLatin1String(kProgramsFilter)) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
  }

 private:
  QFileDialog* dialog_;
};

}  // namespace

QFileDialog* MakeProgramPicker(QWidget* parent, const QString& title, const QString& start) {
  auto* dialog = new QFileDialog(parent, title, start);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setNameFilters({QLatin1String(kProgramsFilter), QLatin1String(kAllFilesFilter)});
  dialog->selectNameFilter(QLatin1String(kProgramsFilter));
  dialog->setProxyModel(new ProgramsOnly(dialog));
  return dialog;
}

QString PickProgram(QWidget* parent, const QString& title, const QString& start) {
  const std::unique_ptr<QFileDialog> dialog(MakeProgramPicker(parent, title, start));
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  return dialog->selectedFiles().front();
}

}  // namespace fdk
