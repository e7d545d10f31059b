// The file rows of the main dialog: choosing, dropping and showing the operations' files.
#include "ui/qt/file_choice.h"

#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include "ui/qt/dialog_template.h"

namespace quillmar::ui {
namespace {

const char* const kImageFilter = "Image files (*.hex *.bin);;All files (*)";
const char* const kReadbackFilter = "Intel HEX (*.hex);;Raw binary (*.bin);;All files (*)";

// The standard open and save dialogs.
QString askWithFileDialog(QWidget& parent, const FileQuestion& question) {
  return question.save ? QFileDialog::getSaveFileName(&parent, question.caption, question.start,
                                                      question.filter)
                       : QFileDialog::getOpenFileName(&parent, question.caption, question.start,
                                                      question.filter);
}

// The one local .hex or .bin file a drag carries; empty for anything else.
QString droppedImage(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
    return {};
  const QString path = data->urls().front().toLocalFile();
  return boot::isImageFileName(path.toStdString()) ? path : QString();
}

// Shows `path` on `label`, its start cut off where it is too long (the name stays in view), and
// whole in its tooltip.
void showPath(QLabel& label, const std::string& path) {
  const QString shown = QDir::toNativeSeparators(QString::fromStdString(path));
  label.setText(label.fontMetrics().elidedText(shown, Qt::ElideLeft, label.width()));
  label.setToolTip(shown);
}

}  // namespace

FileChoiceControls::FileChoiceControls(QDialog& dialog, const std::string& folder)
    : QObject(&dialog), dialog_(dialog), choice_(folder), ask_(askWithFileDialog) {
  for (const int id : {kIdImageName, kIdReadbackName})
    control<QLabel>(dialog, id)->setWordWrap(false);
  auto* image = control<QPushButton>(dialog, kIdChooseImage);
  image->setToolTip(QStringLiteral("Choose the image to program"));
  connect(image, &QPushButton::clicked, this, &FileChoiceControls::chooseImage);
  auto* readback = control<QPushButton>(dialog, kIdChooseReadback);
  readback->setToolTip(QStringLiteral("Choose the file to read the unit into"));
  connect(readback, &QPushButton::clicked, this, [this] { chooseReadback(); });
  dialog.setAcceptDrops(true);
  dialog.installEventFilter(this);
  showNames();
}

std::optional<boot::OperationFiles> FileChoiceControls::filesFor(boot::Operation operation) {
  if (operation == boot::Operation::Read && choice_.readbackNeedsChoice() && !chooseReadback())
    return std::nullopt;
  return choice_.files();
}

void FileChoiceControls::chooseImage() {
  const QString path = ask_(dialog_, {false, QStringLiteral("Choose the image to program"),
                                      QString::fromStdString(choice_.image().path), kImageFilter});
  if (path.isEmpty())
    return;
  choice_.chooseImage(path.toStdString());
  showNames();
}

bool FileChoiceControls::chooseReadback() {
  const std::string documents =
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
  const QString path = ask_(
      dialog_, {true, QStringLiteral("Read the unit into"),
                QString::fromStdString(choice_.readbackDialogStart(documents)), kReadbackFilter});
  if (path.isEmpty())
    return false;
  choice_.chooseReadback(path.toStdString());
  showNames();
  return true;
}

void FileChoiceControls::showNames() {
  showPath(*control<QLabel>(dialog_, kIdImageName), choice_.image().path);
  showPath(*control<QLabel>(dialog_, kIdReadbackName), choice_.readback().path);
}

bool FileChoiceControls::eventFilter(QObject* receiver, QEvent* event) {
  const QEvent::Type type = event->type();
  if (receiver != &dialog_ ||
      (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
    return false;
  auto* drop = static_cast<QDropEvent*>(event);
  const QString path = droppedImage(drop->mimeData());
  if (path.isEmpty()) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (type == QEvent::Drop) {
    choice_.chooseImage(path.toStdString());
    showNames();
  }
  return true;
}

}  // namespace quillmar::ui
