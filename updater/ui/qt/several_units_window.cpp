// The "Several units" window: rows made at run time from the shared row template, runs through
// the shared model, its reports carried over to this window's thread.
#include "ui/qt/several_units_window.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <iostream>
#include <optional>
#include <utility>

#include "ui/qt/dialog_operation_ui.h"
#include "ui/qt/dialog_template.h"

namespace quillmar::ui {
namespace {

// How often the port list is read again while no run is under way, to find adapters plugged
// in or pulled out.
constexpr int kPortPollMs = 2000;
// The one event the window posts itself: the units' threads noted changes.
const auto kUnitsChanged = static_cast<QEvent::Type>(QEvent::User + 1);

// The colour of a failed or stopped row's texts.
const QColor kMarkedColour(0xc0, 0x00, 0x00);

// The buttons that start a run, each with its operation.
struct RunButton {
  int id;
  boot::Operation operation;
};
constexpr RunButton kRunButtons[] = {
    {kIdOk, boot::Operation::Update},
    {kIdRead, boot::Operation::Read},
    {kIdVersion, boot::Operation::Version},
    {kIdRestore, boot::Operation::Restore},
};

// Shows `text` on one line of `label`: line ends as spaces, the end cut off where it does not
// fit; the whole text in the tooltip when it is cut.
void showLine(QLabel& label, const std::string& text) {
  QString whole = QString::fromStdString(text);
  whole.replace('\n', ' ');
  const QString shown = label.fontMetrics().elidedText(whole, Qt::ElideRight, label.width());
  label.setText(shown);
  label.setToolTip(shown == whole ? QString() : QString::fromStdString(text));
}

// Red text for a marked row, the window's own otherwise.
void markLabel(QLabel& label, bool marked) {
  QPalette palette = label.parentWidget()->palette();
  if (marked)
    palette.setColor(QPalette::WindowText, kMarkedColour);
  label.setPalette(palette);
}

}  // namespace

SeveralUnitsWindow::SeveralUnitsWindow(const DialogSettings& settings, FileChoiceControls& files,
                                       const RunChoices& choices, QWidget* parent)
    : QDialog(parent), model_(settings, std::cerr), files_(files), choices_(choices) {
  buildDialog(*this, kSeveralUnitsDialogLayout);
  // The frame of the template becomes a scrolling one, so that any number of ports fits.
  QGroupBox* frame = control<QGroupBox>(*this, kIdUnitRows);
  auto* scroller = new QScrollArea(this);
  scroller->setGeometry(frame->geometry());
  scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  delete frame;
  scroller->setObjectName(controlName(kIdUnitRows));
  nextEvent_ = std::make_unique<QEvent>(kUnitsChanged);
  model_.onRowChanged([this](std::size_t row) { noteChange(row); });
  model_.onRunEnded([this] { noteChange(std::nullopt); });
  makeRows();
  connectButtons();
  portPoll_.setInterval(kPortPollMs);
  connect(&portPoll_, &QTimer::timeout, this, &SeveralUnitsWindow::readPorts);
  portPoll_.start();
}

void SeveralUnitsWindow::reject() {
  if (!running()) {
    QDialog::reject();
    return;
  }
  if (askYesNo(*this, kStopQuestion, QMessageBox::No))
    model_.stop();
}

void SeveralUnitsWindow::readPorts() {
  if (model_.readPorts())
    makeRows();
}

// One row per port from the row template, in a widget the frame scrolls; each tick box tells
// the model.
void SeveralUnitsWindow::makeRows() {
  auto& scroller = *control<QScrollArea>(*this, kIdUnitRows);
  rows_ = new QWidget;
  rows_->setFont(font());
  const DialogUnits units(font());
  const std::size_t count = model_.size();
  for (std::size_t index = 0; index < count; ++index) {
    const int down = static_cast<int>(index) * kUnitRowLayout.h;
    addControls(*rows_, kUnitRowLayout.controls, down, unitRowControlId(0, index));
    for (const int id : {kIdRowDescription, kIdRowStatus, kIdRowOutcome})
      control<QLabel>(*rows_, unitRowControlId(id, index))->setWordWrap(false);
    QCheckBox& tick = *control<QCheckBox>(*rows_, unitRowControlId(kIdRowTick, index));
    connect(&tick, &QCheckBox::toggled, this,
            [this, index](bool ticked) { model_.tick(index, ticked); });
    showRow(index);
  }
  // As wide as the frame's inside, less the scroll bar where the rows need one.
  const int height = units.toPixels(0, 0, 0, static_cast<int>(count) * kUnitRowLayout.h).height();
  const int inside = 2 * scroller.frameWidth();
  const int bar = height > scroller.height() - inside
                      ? scroller.style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                      : 0;
  rows_->setFixedSize(scroller.width() - inside - bar, height);
  scroller.setWidget(rows_);  // deletes the rows there were
  enableControls(!running());
}

void SeveralUnitsWindow::noteChange(std::optional<std::size_t> row) {
  QEvent* event = nullptr;
  {
    const std::lock_guard<std::mutex> lock(changesMutex_);
    if (row)
      changedRows_.insert(*row);
    else
      runEnded_ = true;
    if (std::exchange(told_, true))
      return;
    event = nextEvent_.release();
  }
  QCoreApplication::postEvent(this, event);
}

void SeveralUnitsWindow::customEvent(QEvent*) {
  std::set<std::size_t> rows;
  bool ended = false;
  {
    const std::lock_guard<std::mutex> lock(changesMutex_);
    rows.swap(changedRows_);
    ended = std::exchange(runEnded_, false);
    told_ = false;
    nextEvent_ = std::make_unique<QEvent>(kUnitsChanged);
  }
  for (const std::size_t row : rows)
    showRow(row);
  if (ended)
    finishRun();
}

void SeveralUnitsWindow::showRow(std::size_t index) {
  if (rows_ == nullptr || index >= model_.size())
    return;
  auto* tick = control<QCheckBox>(*rows_, unitRowControlId(kIdRowTick, index));
  if (tick == nullptr)
    return;  // reported before the rows were made anew
  const UnitRow row = model_.row(index);
  {
    const QSignalBlocker quiet(tick);
    tick->setText(QString::fromStdString(row.name));
    tick->setChecked(row.ticked);
    tick->setToolTip(QString::fromStdString(row.device));
  }
  QProgressBar& bar = *control<QProgressBar>(*rows_, unitRowControlId(kIdRowProgress, index));
  bar.setRange(0, row.progressRange);
  bar.setValue(row.progressPosition);
  showLine(*control<QLabel>(*rows_, unitRowControlId(kIdRowDescription, index)),
           row.usbSerial.empty() ? row.description : row.description + " (" + row.usbSerial + ")");
  QLabel& status = *control<QLabel>(*rows_, unitRowControlId(kIdRowStatus, index));
  QLabel& outcome = *control<QLabel>(*rows_, unitRowControlId(kIdRowOutcome, index));
  showLine(status, row.status);
  showLine(outcome, row.outcome);
  markLabel(status, marked(row));
  markLabel(outcome, marked(row));
}

void SeveralUnitsWindow::connectButtons() {
  for (const RunButton& button : kRunButtons) {
    connect(control<QPushButton>(*this, button.id), &QPushButton::clicked, this,
            [this, operation = button.operation] { startRun(operation); });
  }
  connect(control<QPushButton>(*this, kIdCancel), &QPushButton::clicked, this,
          &SeveralUnitsWindow::reject);
}

void SeveralUnitsWindow::startRun(boot::Operation operation) {
  if (running())
    return;
  if (operation == boot::Operation::Restore) {
    startRestore();
    return;
  }
  if (const std::optional<boot::OperationFiles> files = files_.filesFor(operation))
    runWith(operation, *files);
}

// Each unit gets its own newest kept copy; the question names them, No its default, as the
// restore erases every unit.
void SeveralUnitsWindow::startRestore() {
  const SeveralUnits::RestoreCheck check = model_.restoreCheck();
  if (!check.ready) {
    showInformation(*this, check.text);
    return;
  }
  if (askYesNo(*this, check.text, QMessageBox::No))
    runWith(boot::Operation::Restore, files_.filesFor(boot::Operation::Restore).value());
}

// What keeps a run from starting (no tick, a refused image) is said in a box: no unit has
// started then.
void SeveralUnitsWindow::runWith(boot::Operation operation, const boot::OperationFiles& files) {
  if (const std::optional<std::string> refused = model_.start(operation, files, choices_)) {
    showWarning(*this, *refused);
    return;
  }
  control<QLabel>(*this, kIdSummary)->clear();
  enableControls(false);
  for (std::size_t index = 0; index < model_.size(); ++index)
    showRow(index);
}

void SeveralUnitsWindow::finishRun() {
  if (running())
    return;  // a report of an earlier run, queued behind a new start
  for (std::size_t index = 0; index < model_.size(); ++index)
    showRow(index);
  control<QLabel>(*this, kIdSummary)->setText(QString::fromStdString(model_.summary()));
  enableControls(true);
  readPorts();
}

// While units run, the ticks and the operations' buttons wait; Cancel stays, to stop them.
void SeveralUnitsWindow::enableControls(bool idle) {
  for (const RunButton& button : kRunButtons)
    control<QPushButton>(*this, button.id)->setEnabled(idle);
  for (std::size_t index = 0; index < model_.size(); ++index) {
    if (auto* tick = control<QCheckBox>(*rows_, unitRowControlId(kIdRowTick, index)))
      tick->setEnabled(idle);
  }
}

}  // namespace quillmar::ui
