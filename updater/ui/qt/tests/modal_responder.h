// ModalResponder: plays the user at every modal window the dialog opens. It notes what the
// window showed and clicks its default button with the mouse, so tests can run flows that open
// message boxes, the help dialog or the about box without blocking.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "ui/qt/dialog_template.h"

namespace quillmar::ui::testing {

// One modal window as the user saw it.
struct SeenWindow {
  std::string title;
  std::string text;         // a message box's text, else the dialog's labels joined by '\n'
  bool warningBox = false;  // a message box with the warning icon and one OK button
};

class ModalResponder {
 public:
  ModalResponder() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
  }

  // Texts of the message boxes seen so far, in order.
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const SeenWindow& window : seen) {
      if (window.warningBox)
        texts.push_back(window.text);
    }
    return texts;
  }

  std::vector<SeenWindow> seen;
  // Called with each modal window before it is closed; it may close a message box itself.
  std::function<void(QWidget&)> onShow = [](QWidget&) {};

 private:
  void poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible())
      return;
    onShow(*modal);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen.push_back(
          {box->windowTitle().toStdString(), box->text().toStdString(),
           box->icon() == QMessageBox::Warning && box->standardButtons() == QMessageBox::Ok});
      if (!box->isVisible())
        return;                                        // onShow answered it
      QAbstractButton* answer = box->defaultButton();  // Yes to a question
      QTest::mouseClick(answer != nullptr ? answer : box->button(QMessageBox::Ok), Qt::LeftButton);
      return;
    }
    QStringList labels;
    for (const QLabel* label : modal->findChildren<QLabel*>()) {
      if (!label->text().isEmpty())
        labels << label->text();
    }
    seen.push_back({modal->windowTitle().toStdString(), labels.join('\n').toStdString()});
    QTest::mouseClick(control<QPushButton>(*modal, kIdOk), Qt::LeftButton);
  }

  QTimer timer_;
};

}  // namespace quillmar::ui::testing
