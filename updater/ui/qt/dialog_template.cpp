// Dialog templates turned into Qt widgets.
#include "ui/qt/dialog_template.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>

namespace quillmar::ui {
namespace {

// a * b / c rounded to the nearest integer, for the non-negative values of dialog geometry.
int mulDiv(int a, int b, int c) {
  return (a * b + c / 2) / c;
}

// Size of the icon a static icon control shows, as the platform draws it unscaled.
constexpr int kIconPixels = 32;

// A push button; the default one also answers Enter.
QWidget* makeButton(QWidget& parent, const ControlRow& row) {
  auto* button = new QPushButton(QString::fromUtf8(row.text), &parent);
  button->setDefault(row.kind == ControlKind::DefaultButton);
  return button;
}

// Static text: top-left aligned and wrapped at the control's width, shown as given.
QWidget* makeLabel(QWidget& parent, const ControlRow& row) {
  auto* label = new QLabel(QString::fromUtf8(row.text), &parent);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

QWidget* makeProgressBar(QWidget& parent) {
  auto* bar = new QProgressBar(&parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}

QWidget* makeIcon(QWidget& parent) {
  auto* label = new QLabel(&parent);
  label->setPixmap(applicationIcon().pixmap(kIconPixels, kIconPixels));
  return label;
}

// Creates the widget for one template row, parented to `parent`.
QWidget* makeControl(QWidget& parent, const ControlRow& row) {
  switch (row.kind) {
    case ControlKind::DefaultButton:
    case ControlKind::Button:
      return makeButton(parent, row);
    case ControlKind::GroupBox:
      return new QGroupBox(QString::fromUtf8(row.text), &parent);
    case ControlKind::Label:
      return makeLabel(parent, row);
    case ControlKind::ProgressBar:
      return makeProgressBar(parent);
    case ControlKind::RadioButton:
      return new QRadioButton(QString::fromUtf8(row.text), &parent);
    case ControlKind::Icon:
      return makeIcon(parent);
    case ControlKind::ComboBox:
      return new DropDownList(&parent);
    case ControlKind::CheckBox:
      return new QCheckBox(QString::fromUtf8(row.text), &parent);
  }
  return nullptr;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  // The average width of the alphabet in both cases, rounded up: a font whose text runs wider
  // than its alphabet suggests then still fits the controls sized for the template's font.
  const QFontMetrics metrics(font);
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = (metrics.horizontalAdvance(alphabet) + alphabet.size() - 1) / alphabet.size();
  baseY_ = metrics.height();
}

QRect DialogUnits::toPixels(int x, int y, int w, int h) const {
  return QRect(mulDiv(x, baseX_, 4), mulDiv(y, baseY_, 8), mulDiv(w, baseX_, 4),
               mulDiv(h, baseY_, 8));
}

QFont dialogFont() {
  const QString family = QStringLiteral("MS Sans Serif");
  if (QFontDatabase::families().contains(family))
    return QFont(family, 8);
  return QApplication::font("QDialog");
}

QIcon applicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 256})
    icon.addFile(QStringLiteral(":/quillmar/icon-%1.png").arg(size), QSize(size, size));
  return icon;
}

void buildDialog(QDialog& dialog, const DialogLayout& layout) {
  dialog.setFont(dialogFont());
  dialog.setWindowTitle(QString::fromUtf8(layout.caption));
  dialog.setWindowIcon(applicationIcon());
  const DialogUnits units(dialog.font());
  dialog.setFixedSize(units.toPixels(0, 0, layout.w, layout.h).size());
  addControls(dialog, layout.controls, 0, 0);
}

void addControls(QWidget& parent, std::span<const ControlRow> controls, int down, int idOffset) {
  const DialogUnits units(parent.font());
  QLabel* mnemonicLabel = nullptr;  // gives its mnemonic to the next control
  for (const ControlRow& row : controls) {
    QWidget* widget = makeControl(parent, row);
    if (mnemonicLabel != nullptr)
      mnemonicLabel->setBuddy(widget);
    mnemonicLabel = row.kind == ControlKind::Label && std::strchr(row.text, '&') != nullptr
                        ? static_cast<QLabel*>(widget)
                        : nullptr;
    if (row.id != -1)
      widget->setObjectName(controlName(row.id + idOffset));
    QRect place = units.toPixels(row.x, row.y + down, row.w, row.h);
    if (row.kind == ControlKind::Icon)
      place.setSize(QSize(kIconPixels, kIconPixels));
    widget->setGeometry(place);
  }
}

void DropDownList::showPopup() {
  if (aboutToUse)
    aboutToUse();
  // The list opens as wide as its longest entry, which the closed control may cut off.
  view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
  QComboBox::showPopup();
}

void DropDownList::focusInEvent(QFocusEvent* event) {
  if (aboutToUse)
    aboutToUse();
  QComboBox::focusInEvent(event);
}

QString controlName(int id) {
  return QStringLiteral("control%1").arg(id);
}

}  // namespace quillmar::ui
