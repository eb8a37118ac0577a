// The main window: editor, menus, toolbars, font boxes, file commands and
// the save-changes prompt.
#pragma once

#include "tollmark/app/search.h"

#include <QMainWindow>
#include <QString>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QTextCharFormat;
class QToolBar;

namespace tollmark {

class RichViewEdit;

// "Rich Text Files (*.RTF)|*.rtf|Text Files (*.TXT)|*.txt" in Qt's notation.
inline constexpr char kRtfFilter[] = "Rich Text Files (*.RTF) (*.rtf)";
inline constexpr char kTextFilter[] = "Text Files (*.TXT) (*.txt)";
inline constexpr char kUntitled[] = "Untitled.rtf";

class TMForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMForm(QWidget* parent = nullptr);
  ~TMForm() override;

  RichViewEdit* Editor() const { return RichViewEdit1; }
  QComboBox* FontBox() const { return cmbFont; }
  QComboBox* FontSizeBox() const { return cmbFontSize; }
  // The command with this object name (e.g. "rvActionSave1"), or null.
  QAction* Command(const QString& name) const;

  // File name shown in the caption, without its folder.
  const QString& DocumentName() const { return document_name_; }
  bool DocumentHasFile() const { return document_has_file_; }
  // Where Save writes: the full path of the opened or saved file.
  const QString& DocumentPath() const { return document_path_; }
  bool UpdatingFontBoxes() const { return updating_font_boxes_; }

  // Opens `path` as the document (the program's argument). False, after a
  // message, when it cannot be read; the current document then stays.
  bool OpenFile(const QString& path);

  // File and help commands.
  void NewItemClick();
  void OpenItemClick();
  void SaveItemClick();
  bool SaveAsItemClick();
  void SaveAsPDFItemClick();
  void PrintPreviewItemClick();
  void PrintItemClick();
  void ExitItemClick();
  void AboutItemClick();
  void HomeItemClick();
  void UpdateItemClick();

  // Font boxes.
  void cmbFontClick();
  void cmbFontSizeClick();

 signals:
  // The Save action's document-file-change event.
  void DocumentFileChange(const QString& file_name, bool is_new);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void rvActionSave1DocumentFileChange(const QString& file_name, bool is_new);
  void RichViewEdit1CurTextStyleChanged();

  // The save routine: RTF when the name ends in exactly "rtf", else text.
  bool SaveFile(const QString& file_name);
  // The save-changes prompt; false when the caller must stop.
  bool SaveChangesPrompt();
  void UpdateCaption();
  void FillFontSizes(const QString& family);
  void PrintDocument(QPrinter& printer);
  void RestorePlacement();
  void SavePlacement();

  // Commands (main_form_commands.cpp).
  void CreateCommands();
  void CreateMenus();
  void CreateToolbars();
  void CreateFontBoxes();
  void UpdateCommandStates();
  QAction* AddCommand(const char* name, const char* caption, const QKeySequence& shortcut,
                      std::function<void()> handler);
  void ShowFindDialog(bool replace);
  void FindNextItemClick();
  void ChooseColor(QAction* action, const QString& title, const QColor& initial,
                   const std::function<void(const QColor&)>& apply);
  void ParagraphItemClick();
  void ParagraphBordersItemClick();
  void BulletsNumberingItemClick();
  void FontDialogItemClick();
  void InsertFileItemClick();
  void InsertPictureItemClick();
  void InsertSymbolItemClick();
  void InsertTableItemClick();
  void SplitCellsItemClick();
  void TablePropertiesItemClick();

  RichViewEdit* RichViewEdit1 = nullptr;
  QComboBox* cmbFont = nullptr;
  QComboBox* cmbFontSize = nullptr;
  QMenu* TBPopupMenu1 = nullptr;
  QLabel* status_panels_[2] = {nullptr, nullptr};
  QList<QToolBar*> toolbars_;

  QString document_name_ = kUntitled;
  QString document_path_;
  bool document_has_file_ = false;
  bool updating_font_boxes_ = false;
  bool keep_focus_on_leave_ = false;  // a box left by the user applies without refocusing
  QString print_title_;
  SearchOptions search_;
};

}  // namespace tollmark
