// UpdaterDialog: the main dialog of QUILLmar_Update. Its buttons run one whole operation each
// through the shared presenter, on a worker thread so that the dialog keeps painting; while
// an operation runs the dialog takes no input.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "boot/updater_presenter.h"
#include "link/serial_link.h"
#include "ui/dialog_operation_ui.h"
#include "ui/file_choice.h"
#include "ui/input_lock.h"

class QThread;

namespace quillmar::ui {

// What a program run gives the dialog.
struct UpdaterSettings {
  link::PortDevices devices = link::defaultPortDevices();  // behind Com1, Com2, ...
  std::array<std::string, 2> portTips;                     // Com1's, Com2's tooltip; "": device
  std::string programFolder;                               // holds quillmar.hex, quillread.hex
  uint16_t replyTimeoutMs = link::kReplyTimeoutMs;
  bool block = false;  // use the boot loader's block transfers when it offers them
};

class UpdaterDialog : public QDialog {
 public:
  explicit UpdaterDialog(const UpdaterSettings& settings, QWidget* parent = nullptr);
  // Waits for a running operation to end.
  ~UpdaterDialog() override;

  // True from a button press until its operation has shown its outcome.
  bool operationRunning() const { return lock_.engaged(); }
  // The port of the last operation: 0 for Com1, 1 for Com2; -1 before the first.
  int portChoice() const { return portChoice_; }
  // The file rows: the image and the read-back file the operations use.
  FileChoiceControls& fileChoice() { return *files_; }

 protected:
  // Opens the help dialog once the dialog first shows, so the user meets the instructions first.
  void showEvent(QShowEvent* event) override;

 private:
  // Opens the help dialog modally.
  void onHelp();
  // Opens the about box modally.
  void onAbout();
  void addAboutAction();
  void connectButtons();
  void startOperation(boot::Operation operation);
  void finishOperation();

  int portChoice_ = -1;
  bool helpShown_ = false;
  DialogOperationUi ui_;
  boot::UpdaterPresenter presenter_;
  InputLock lock_;
  FileChoiceControls* files_;  // owned by the dialog as its child
  QThread* worker_ = nullptr;
};

}  // namespace quillmar::ui
