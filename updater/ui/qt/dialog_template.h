// Builds a dialog from its template: dialog units mapped through the dialog font, controls
// created in tab order and named by their ids.
#pragma once

#include <QComboBox>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <span>

#include "ui/common/dialog_resources.h"

class QDialog;

namespace quillmar::ui {

// Converts dialog units to pixels: a unit is a quarter of the font's average character width
// across and an eighth of its character height down.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  // Pixels for a rectangle given in dialog units.
  QRect toPixels(int x, int y, int w, int h) const;

 private:
  int baseX_;
  int baseY_;
};

// The drop-down list of a template: it calls `aboutToUse` before it opens and when it gains
// the keyboard focus, so that its entries can be read again first.
class DropDownList : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void showPopup() override;
  std::function<void()> aboutToUse;

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

// "MS Sans Serif" 8 pt where installed, else the platform's own dialog font.
QFont dialogFont();

// The application icon, 32 x 32 and 16 x 16.
QIcon applicationIcon();

// Gives `dialog` the template's font, caption, icon, fixed client size and controls.
void buildDialog(QDialog& dialog, const DialogLayout& layout);

// Creates `controls` on `parent` in its font, `down` dialog units lower than the template
// places them, each named by its id plus `idOffset` (the rows a window repeats).
void addControls(QWidget& parent, std::span<const ControlRow> controls, int down, int idOffset);

// The object name of the control with `id`.
QString controlName(int id);

// The control of `dialog` with `id` (null when absent or of another type).
template <class W>
W* control(const QWidget& dialog, int id) {
  return dialog.findChild<W*>(controlName(id));
}

}  // namespace quillmar::ui
