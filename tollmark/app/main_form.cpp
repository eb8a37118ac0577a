#include "tollmark/app/main_form.h"

#include "tollmark/app/dialogs/about_form.h"
#include "tollmark/app/print_document.h"
#include "tollmark/app/resources/artwork.h"
#include "tollmark/app/rich_view_edit.h"
#include "tollmark/app/text_format.h"
#include "tollmark/app/ui_hooks.h"
#include "tollmark/io/document_io.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>

namespace tollmark {
namespace {

constexpr char kOrganisation[] = "Marrowind Systems";
constexpr char kApplication[] = "Tollmark";

QString FileFilters() {
  return QString(kRtfFilter) + ";;" + kTextFilter;
}

// Clears a flag however the scope is left.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TMForm::TMForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TMForm");
  setWindowIcon(ApplicationIcon());
  RichViewEdit1 = new RichViewEdit(this);
  setCentralWidget(RichViewEdit1);

  CreateFontBoxes();
  CreateCommands();
  CreateMenus();
  CreateToolbars();

  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar");
  QFont panel_font("Tahoma");
  panel_font.setBold(true);
  for (int i = 0; i < 2; ++i) {
    status_panels_[i] = new QLabel(status);
    status_panels_[i]->setObjectName(QString("StatusPanel%1").arg(i + 1));
    status_panels_[i]->setFixedWidth(i == 0 ? 220 : 50);
    status_panels_[i]->setAlignment(i == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    status_panels_[i]->setFont(panel_font);
    status_panels_[i]->setFrameShape(QFrame::Panel);
    status_panels_[i]->setFrameShadow(QFrame::Sunken);
    status->addWidget(status_panels_[i]);
  }
  setStatusBar(status);

  connect(RichViewEdit1, &QTextEdit::currentCharFormatChanged, this,
          &TMForm::RichViewEdit1CurTextStyleChanged);
  resize(1003, 501);
  FormCreate();
  RestorePlacement();
}

TMForm::~TMForm() {
  // The boxes outlive this part of the window's destruction; focus changes
  // while the children go must not reach the filter.
  for (QComboBox* box : {cmbFont, cmbFontSize}) {
    box->removeEventFilter(this);
    box->lineEdit()->removeEventFilter(this);
  }
}

void TMForm::FormCreate() {
  connect(this, &TMForm::DocumentFileChange, this, &TMForm::rvActionSave1DocumentFileChange);
  RichViewEdit1->NewDocument();
  emit DocumentFileChange(QString(), true);
  UpdateCommandStates();
  RichViewEdit1CurTextStyleChanged();
  cmbFont->setCompleter(nullptr);
  cmbFontSize->setCompleter(nullptr);
}

QAction* TMForm::Command(const QString& name) const {
  return findChild<QAction*>(name);
}

void TMForm::rvActionSave1DocumentFileChange(const QString& file_name, bool is_new) {
  document_name_ = QFileInfo(file_name).fileName();
  print_title_ = document_name_;
  if (is_new) document_name_ = kUntitled;
  UpdateCaption();
}

void TMForm::UpdateCaption() {
  setWindowTitle(document_name_ + " - " + QCoreApplication::applicationName());
}

// ---------------------------------------------------------------------------
// File commands

bool TMForm::SaveChangesPrompt() {
  if (!RichViewEdit1->document()->isModified()) return true;
  const QMessageBox::StandardButton answer =
      Hooks().ask_yes_no_cancel(this, "Confirm", "Save changes to " + document_name_);
  if (answer == QMessageBox::No) return true;
  if (answer != QMessageBox::Yes) return false;  // Cancel, or the box was closed
  if (!document_has_file_) return SaveAsItemClick();
  const bool saved = SaveFile(document_path_);
  if (saved) RichViewEdit1->document()->setModified(false);
  return saved;
}

void TMForm::NewItemClick() {
  if (SaveChangesPrompt()) {
    RichViewEdit1->document()->setModified(false);
    RichViewEdit1->NewDocument();
    document_has_file_ = false;
    document_path_.clear();
    emit DocumentFileChange(QString(), true);
  }
  RichViewEdit1->setFocus();
}

void TMForm::OpenItemClick() {
  // Opening replaces the document, so unsaved changes are offered for saving
  // first, as New does.
  if (!SaveChangesPrompt()) {
    RichViewEdit1->setFocus();
    return;
  }
  FileDialogRequest request;
  request.caption = "Open";
  request.directory = document_has_file_ ? QFileInfo(document_path_).absolutePath() : QString();
  request.filter = FileFilters();
  request.selected_filter = kRtfFilter;
  const FileDialogAnswer answer = Hooks().open_file(this, request);
  if (!answer.file_name.isEmpty()) OpenFile(answer.file_name);
  RichViewEdit1->setFocus();
}

bool TMForm::OpenFile(const QString& path) {
  QTextDocument* doc = RichViewEdit::MakeDocument();
  QString error;
  if (!io::LoadDocument(path, *doc, io::FormatForFileName(path), &error)) {
    delete doc;
    Hooks().warn(this, "Open", error.isEmpty() ? "Cannot open " + path : error);
    return false;
  }
  RichViewEdit1->ReplaceDocument(doc);
  document_path_ = QFileInfo(path).absoluteFilePath();
  document_name_ = QFileInfo(path).fileName();
  print_title_ = document_name_;
  UpdateCaption();
  document_has_file_ = true;
  UpdateCommandStates();
  RichViewEdit1CurTextStyleChanged();
  RichViewEdit1->setFocus();
  return true;
}

bool TMForm::SaveFile(const QString& file_name) {
  QString error;
  const bool saved = io::SaveDocument(file_name, *RichViewEdit1->document(),
                                      io::FormatForFileName(file_name), &error);
  document_has_file_ = true;
  if (!saved) Hooks().warn(this, "Save", error.isEmpty() ? "Cannot save " + file_name : error);
  return saved;
}

void TMForm::SaveItemClick() {
  if (document_has_file_) {
    if (SaveFile(document_path_)) RichViewEdit1->document()->setModified(false);
  } else {
    SaveAsItemClick();
  }
  RichViewEdit1->setFocus();
}

bool TMForm::SaveAsItemClick() {
  FileDialogRequest request;
  request.caption = "Save As";
  // The name without its extension; a name without one is kept whole.
  const int dot = document_name_.lastIndexOf('.');
  request.file_name = dot > 0 ? document_name_.left(dot) : document_name_;
  request.directory = document_has_file_ ? QFileInfo(document_path_).absolutePath() : QString();
  request.filter = FileFilters();
  request.selected_filter =
      io::FormatForFileName(document_name_) == io::FileFormat::Rtf ? kRtfFilter : kTextFilter;
  const FileDialogAnswer answer = Hooks().save_file(this, request);
  if (answer.file_name.isEmpty()) {
    RichViewEdit1->setFocus();
    return false;
  }
  QString file_name = answer.file_name;
  if (QFileInfo(file_name).suffix().isEmpty()) {
    file_name += answer.selected_filter == kTextFilter ? ".txt" : ".rtf";
  }
  const bool saved = SaveFile(file_name);
  document_path_ = QFileInfo(file_name).absoluteFilePath();
  document_name_ = QFileInfo(file_name).fileName();
  print_title_ = document_name_;
  UpdateCaption();
  if (saved) RichViewEdit1->document()->setModified(false);
  RichViewEdit1->setFocus();
  return saved;
}

void TMForm::ExitItemClick() {
  close();
}

void TMForm::closeEvent(QCloseEvent* event) {
  if (!SaveChangesPrompt()) {
    event->ignore();
    return;
  }
  SavePlacement();
  event->accept();
}

// ---------------------------------------------------------------------------
// Printing

void TMForm::PrintDocument(QPrinter& printer) {
  printer.setDocName(print_title_);
  tollmark::PrintDocument(*RichViewEdit1->document(), printer);
}

namespace {

void SetUpPrinter(QPrinter& printer) {
  printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
}

}  // namespace

void TMForm::PrintPreviewItemClick() {
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(printer);
  QPrintPreviewDialog dialog(&printer, this);
  dialog.setObjectName("PrintPreviewDialog");
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* target) { PrintDocument(*target); });
  Hooks().exec_dialog(dialog);
  RichViewEdit1->setFocus();
}

void TMForm::PrintItemClick() {
  QPrinter printer(QPrinter::HighResolution);
  SetUpPrinter(printer);
  printer.setDocName(print_title_);
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName("PrintDialog");
  if (RichViewEdit1->textCursor().hasSelection()) {
    dialog.setOption(QAbstractPrintDialog::PrintSelection);
  }
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) PrintDocument(printer);
  RichViewEdit1->setFocus();
}

// ---------------------------------------------------------------------------
// Help

void TMForm::AboutItemClick() {
  TAboutForm form(this);
  Hooks().exec_dialog(form);
  RichViewEdit1->setFocus();
}

void TMForm::HomeItemClick() {
  Hooks().open_url(QUrl(kHomeAddress));
}

void TMForm::UpdateItemClick() {
  Hooks().open_url(QUrl(kOrderAddress));
}

// ---------------------------------------------------------------------------
// Font boxes

void TMForm::CreateFontBoxes() {
  cmbFont = new QComboBox(this);
  cmbFont->setObjectName("cmbFont");
  cmbFont->setEditable(true);
  cmbFont->setInsertPolicy(QComboBox::NoInsert);
  cmbFont->setMaxVisibleItems(20);
  cmbFont->setFixedWidth(145);
  cmbFont->setToolTip("Font");
  QStringList families = QFontDatabase::families();
  // The usual names of documents from other systems, which the font system
  // maps to its metric-compatible fonts.
  for (const char* common : {"Arial", "Courier New", "Times New Roman"}) {
    if (!families.contains(common)) families.append(common);
  }
  families.sort(Qt::CaseInsensitive);
  families.removeDuplicates();
  cmbFont->addItems(families);

  cmbFontSize = new QComboBox(this);
  cmbFontSize->setObjectName("cmbFontSize");
  cmbFontSize->setEditable(true);
  cmbFontSize->setInsertPolicy(QComboBox::NoInsert);
  cmbFontSize->setMaxVisibleItems(20);
  cmbFontSize->setFixedWidth(62);
  cmbFontSize->setToolTip("Font Size");

  connect(cmbFont, &QComboBox::activated, this, [this] { cmbFontClick(); });
  connect(cmbFontSize, &QComboBox::activated, this, [this] { cmbFontSizeClick(); });
  for (QComboBox* box : {cmbFont, cmbFontSize}) {
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
  }
}

bool TMForm::eventFilter(QObject* watched, QEvent* event) {
  QComboBox* box = nullptr;
  for (QComboBox* candidate : {cmbFont, cmbFontSize}) {
    if (watched == candidate || watched == candidate->lineEdit()) box = candidate;
  }
  if (!box) return QMainWindow::eventFilter(watched, event);
  const auto click = [this, box] {
    if (box == cmbFont) {
      cmbFontClick();
    } else {
      cmbFontSizeClick();
    }
  };
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      click();
      return true;  // consumed: the box must not add the text as an item
    }
  } else if (event->type() == QEvent::FocusOut && watched == box->lineEdit() &&
             box->lineEdit()->isModified() && !box->view()->isVisible()) {
    // Leaving a box whose text the user changed applies it, without pulling
    // the focus away from where the user went.
    box->lineEdit()->setModified(false);
    const FlagGuard keep_focus(keep_focus_on_leave_);
    click();
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMForm::cmbFontClick() {
  const QString text = cmbFont->currentText();
  int index = cmbFont->currentIndex();
  if (index >= 0 && cmbFont->itemText(index) != text) index = -1;  // typed over
  const QString name = index >= 0 ? cmbFont->itemText(index) : text;
  FillFontSizes(name);
  if (updating_font_boxes_) return;
  if (index < 0) {
    index = cmbFont->findText(name, Qt::MatchFixedString);
    if (index >= 0) cmbFont->setCurrentIndex(index);
  }
  if (index >= 0) SetFontName(*RichViewEdit1, cmbFont->itemText(index));
  cmbFont->lineEdit()->setModified(false);
  if (!keep_focus_on_leave_) RichViewEdit1->setFocus();
}

void TMForm::cmbFontSizeClick() {
  if (updating_font_boxes_) return;
  const QString text = cmbFontSize->currentText().trimmed();
  int size = 10;
  bool valid = true;
  if (!text.isEmpty()) size = text.toInt(&valid);
  // Text that is not a size is ignored without a message.
  if (valid && size >= 1 && size <= 1638) SetFontSize(*RichViewEdit1, size);
  cmbFontSize->lineEdit()->setModified(false);
  if (!keep_focus_on_leave_) RichViewEdit1->setFocus();
}

void TMForm::FillFontSizes(const QString& family) {
  QList<int> sizes = QFontDatabase::pointSizes(family);
  if (sizes.isEmpty()) sizes = QFontDatabase::standardSizes();
  QStringList items;
  for (int size : sizes) items.append(QString::number(size));
  const QString text = cmbFontSize->currentText();
  bool same = cmbFontSize->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i) same = cmbFontSize->itemText(i) == items[i];
  if (same) return;
  const QSignalBlocker blocker(cmbFontSize);
  cmbFontSize->clear();
  cmbFontSize->addItems(items);
  cmbFontSize->setEditText(text);
}

void TMForm::RichViewEdit1CurTextStyleChanged() {
  const FlagGuard updating(updating_font_boxes_);
  const QFont font = CurrentFont(*RichViewEdit1);
  const QString family = font.family();
  const int index = cmbFont->findText(family, Qt::MatchFixedString);
  if (index >= 0) {
    cmbFont->setCurrentIndex(index);
  } else {
    cmbFont->setCurrentIndex(-1);
    cmbFont->setEditText(family);
  }
  cmbFontClick();
  const int size = qRound(font.pointSizeF());
  const int size_index = cmbFontSize->findText(QString::number(size));
  if (size_index >= 0) {
    cmbFontSize->setCurrentIndex(size_index);
  } else {
    cmbFontSize->setEditText(QString::number(size));
  }
  UpdateCommandStates();
}

// ---------------------------------------------------------------------------
// Window placement

void TMForm::RestorePlacement() {
  QSettings settings(kOrganisation, kApplication);
  const QByteArray geometry = settings.value("Placement/Geometry").toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  const QByteArray state = settings.value("Placement/State").toByteArray();
  if (!state.isEmpty()) restoreState(state);
  const QString active = settings.value("Placement/ActiveControl").toString();
  QWidget* control = active.isEmpty() ? nullptr : findChild<QWidget*>(active);
  (control ? control : RichViewEdit1)->setFocus();
}

void TMForm::SavePlacement() {
  QSettings settings(kOrganisation, kApplication);
  settings.setValue("Placement/Geometry", saveGeometry());
  settings.setValue("Placement/State", saveState());
  QWidget* focus = QApplication::focusWidget();
  QString active = RichViewEdit1->objectName();
  for (QWidget* control : std::initializer_list<QWidget*>{cmbFont, cmbFontSize}) {
    if (focus && (focus == control || control->isAncestorOf(focus))) active = control->objectName();
  }
  settings.setValue("Placement/ActiveControl", active);
}

}  // namespace tollmark
