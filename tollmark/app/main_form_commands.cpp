// The commands of the main window: their captions, shortcuts and places in
// the menus, toolbars and popup menu, and what each one does.
#include "tollmark/app/main_form.h"

#include "tollmark/app/dialogs/bullets_numbering_dialog.h"
#include "tollmark/app/dialogs/color_picker.h"
#include "tollmark/app/dialogs/find_replace_dialog.h"
#include "tollmark/app/dialogs/insert_table_dialog.h"
#include "tollmark/app/dialogs/paragraph_borders_dialog.h"
#include "tollmark/app/dialogs/paragraph_dialog.h"
#include "tollmark/app/dialogs/split_cells_dialog.h"
#include "tollmark/app/dialogs/symbol_dialog.h"
#include "tollmark/app/dialogs/table_properties_dialog.h"
#include "tollmark/app/insert_commands.h"
#include "tollmark/app/paragraph_format.h"
#include "tollmark/app/resources/artwork.h"
#include "tollmark/app/rich_view_edit.h"
#include "tollmark/app/table_commands.h"
#include "tollmark/app/text_format.h"
#include "tollmark/app/ui_hooks.h"
#include "tollmark/io/document_io.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenuBar>
#include <QTextList>
#include <QTextTable>
#include <QToolBar>
#include <QToolButton>
#include <memory>

namespace tollmark {
namespace {

struct IconFor {
  const char* command;
  IconId icon;
};

constexpr IconFor kIcons[] = {
    {"rvActionNew1", IconId::kNew},
    {"rvActionOpen1", IconId::kOpen},
    {"rvActionSave1", IconId::kSave},
    {"SaveAsPDFItem", IconId::kSaveAsPdf},
    {"rvActionPrintPreview1", IconId::kPrintPreview},
    {"rvActionPrint1", IconId::kPrint},
    {"rvActionFind1", IconId::kFind},
    {"rvActionCut1", IconId::kCut},
    {"rvActionCopy1", IconId::kCopy},
    {"rvActionPaste1", IconId::kPaste},
    {"rvActionUndo1", IconId::kUndo},
    {"rvActionRedo1", IconId::kRedo},
    {"rvActionInsertPicture1", IconId::kInsertPicture},
    {"rvActionInsertTable1", IconId::kInsertTable},
    {"rvActionFontBold1", IconId::kBold},
    {"rvActionFontItalic1", IconId::kItalic},
    {"rvActionFontUnderline1", IconId::kUnderline},
    {"rvActionAlignLeft1", IconId::kAlignLeft},
    {"rvActionAlignCenter1", IconId::kAlignCenter},
    {"rvActionAlignRight1", IconId::kAlignRight},
    {"rvActionAlignJustify1", IconId::kAlignJustify},
    {"rvActionParaBullets1", IconId::kBullets},
    {"rvActionParaNumbering1", IconId::kNumbering},
    {"rvActionFontShrinkOnePoint1", IconId::kShrinkFont},
    {"rvActionFontGrowOnePoint1", IconId::kGrowFont},
    {"rvActionFontShrink1", IconId::kShrinkFont},
    {"rvActionFontGrow1", IconId::kGrowFont},
    {"rvActionColor1", IconId::kTextColor},
    {"rvActionFontBackColor1", IconId::kTextBackground},
    {"rvActionIndentDec1", IconId::kDecreaseIndent},
    {"rvActionIndentInc1", IconId::kIncreaseIndent},
    {"rvActionParaColor1", IconId::kParagraphBackground},
    {"rvActionTableCellLeftBorder1", IconId::kBorderLeft},
    {"rvActionTableCellTopBorder1", IconId::kBorderTop},
    {"rvActionTableCellRightBorder1", IconId::kBorderRight},
    {"rvActionTableCellBottomBorder1", IconId::kBorderBottom},
    {"rvActionTableCellAllBorders1", IconId::kBorderAll},
    {"rvActionTableCellNoBorders1", IconId::kBorderNone},
    {"rvActionTableInsertColLeft1", IconId::kInsertColumnLeft},
    {"rvActionTableInsertColRight1", IconId::kInsertColumnRight},
    {"rvActionTableInsertRowsAbove1", IconId::kInsertRowAbove},
    {"rvActionTableInsertRowsBelow1", IconId::kInsertRowBelow},
    {"rvActionTableDeleteRows1", IconId::kDeleteRows},
    {"rvActionTableDeleteCols1", IconId::kDeleteColumns},
    {"rvActionTableDeleteTable1", IconId::kDeleteTable},
    {"rvActionTableSplitCells1", IconId::kSplitCells},
    {"rvActionTableMergeCells1", IconId::kMergeCells},
};

// Commands that only make sense inside a table.
constexpr const char* kTableCommands[] = {
    "rvActionTableInsertColLeft1",     "rvActionTableInsertColRight1",
    "rvActionTableInsertRowsAbove1",   "rvActionTableInsertRowsBelow1",
    "rvActionTableDeleteRows1",        "rvActionTableDeleteCols1",
    "rvActionTableDeleteTable1",       "rvActionTableSelectTable1",
    "rvActionTableSelectCols1",        "rvActionTableSelectRows1",
    "rvActionTableSelectCell1",        "rvActionTableCellVAlignTop1",
    "rvActionTableCellVAlignMiddle1",  "rvActionTableCellVAlignBottom1",
    "rvActionTableCellVAlignDefault1", "rvActionTableCellLeftBorder1",
    "rvActionTableCellTopBorder1",     "rvActionTableCellRightBorder1",
    "rvActionTableCellBottomBorder1",  "rvActionTableCellAllBorders1",
    "rvActionTableCellNoBorders1",     "rvActionTableSplitCells1",
    "rvActionTableProperties1",
};

}  // namespace

QAction* TMForm::AddCommand(const char* name, const char* caption, const QKeySequence& shortcut,
                            std::function<void()> handler) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setShortcut(shortcut);
  QString hint = QString(caption).remove('&');
  if (hint.endsWith("...")) hint.chop(3);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  for (const IconFor& entry : kIcons) {
    if (qstrcmp(entry.command, name) == 0) action->setIcon(CommandIcon(entry.icon));
  }
  connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  return action;
}

void TMForm::CreateCommands() {
  RichViewEdit& edit = *RichViewEdit1;
  const auto checked = [](QAction* action) {
    action->setCheckable(true);
    return action;
  };

  // File
  AddCommand("rvActionNew1", "&New", QKeySequence(Qt::CTRL | Qt::Key_N),
             [this] { NewItemClick(); });
  AddCommand("rvActionOpen1", "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O),
             [this] { OpenItemClick(); });
  AddCommand("rvActionSave1", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S),
             [this] { SaveItemClick(); });
  AddCommand("rvActionSaveAs1", "Save &As...", {}, [this] { SaveAsItemClick(); });
  AddCommand("SaveAsPDFItem", "Save As PDF File", {}, [this] {
    SaveAsPDFItemClick();
  })->setToolTip("Save As PDF File");
  AddCommand("rvActionPrintPreview1", "P&rint Preview...", {}, [this] { PrintPreviewItemClick(); });
  AddCommand("rvActionPrint1", "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P),
             [this] { PrintItemClick(); });
  AddCommand("ExitItem", "E&xit", QKeySequence(Qt::ALT | Qt::Key_X), [this] { ExitItemClick(); });

  // Edit
  AddCommand("rvActionUndo1", "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z),
             [&edit] { edit.undo(); });
  AddCommand("rvActionRedo1", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_Y),
             [&edit] { edit.redo(); });
  AddCommand("rvActionCut1", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X), [&edit] { edit.cut(); });
  AddCommand("rvActionCopy1", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C),
             [&edit] { edit.copy(); });
  AddCommand("rvActionPaste1", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
             [&edit] { edit.paste(); });
  AddCommand("rvActionSelectAll1", "Select &All", QKeySequence(Qt::CTRL | Qt::Key_A),
             [&edit] { edit.selectAll(); });
  AddCommand("rvActionFind1", "&Find...", QKeySequence(Qt::CTRL | Qt::Key_F),
             [this] { ShowFindDialog(false); });
  AddCommand("rvActionFindNext1", "Find &Next", QKeySequence(Qt::Key_F3),
             [this] { FindNextItemClick(); });
  AddCommand("rvActionReplace1", "&Replace...", QKeySequence(Qt::CTRL | Qt::Key_H),
             [this] { ShowFindDialog(true); });
  AddCommand("rvActionInsertPageBreak1", "&Insert Page Break",
             QKeySequence(Qt::CTRL | Qt::Key_Return), [&edit] { InsertPageBreak(edit); });
  AddCommand("rvActionRemovePageBreak1", "&Remove Page Break", {},
             [&edit] { RemovePageBreak(edit); });

  // Font
  checked(AddCommand("rvActionFontBold1", "&Bold", QKeySequence(Qt::CTRL | Qt::Key_B),
                     [this, &edit] { SetBold(edit, Command("rvActionFontBold1")->isChecked()); }));
  checked(
      AddCommand("rvActionFontItalic1", "&Italic", QKeySequence(Qt::CTRL | Qt::Key_I),
                 [this, &edit] { SetItalic(edit, Command("rvActionFontItalic1")->isChecked()); }));
  checked(AddCommand(
      "rvActionFontUnderline1", "&Underline", QKeySequence(Qt::CTRL | Qt::Key_U),
      [this, &edit] { SetUnderline(edit, Command("rvActionFontUnderline1")->isChecked()); }));
  checked(AddCommand("rvActionFontAllCaps1", "&All Capitals", {}, [this, &edit] {
    SetAllCapitals(edit, Command("rvActionFontAllCaps1")->isChecked());
  }));
  AddCommand("rvActionFontShrink1", "S&hrink Font", {},
             [&edit] { StepFontSize(edit, SizeStep::kShrink); });
  AddCommand("rvActionFontGrow1", "&Grow Font", {},
             [&edit] { StepFontSize(edit, SizeStep::kGrow); });
  AddCommand("rvActionFontShrinkOnePoint1", "Shri&nk Font By One Point", {},
             [&edit] { StepFontSize(edit, SizeStep::kShrinkOnePoint); });
  AddCommand("rvActionFontGrowOnePoint1", "G&row Font By One Point", {},
             [&edit] { StepFontSize(edit, SizeStep::kGrowOnePoint); });
  AddCommand("rvActionColor1", "Text &Color...", {}, [this, &edit] {
    ChooseColor(Command("rvActionColor1"), "Text Color",
                edit.currentCharFormat().foreground().color(),
                [&edit](const QColor& color) { SetTextColor(edit, color); });
  });
  AddCommand("rvActionFontBackColor1", "Text Bac&kground Color...", {}, [this, &edit] {
    ChooseColor(Command("rvActionFontBackColor1"), "Text Background Color",
                edit.currentCharFormat().background().color(),
                [&edit](const QColor& color) { SetTextBackgroundColor(edit, color); });
  });
  AddCommand("rvActionFonts1", "&Font...", {}, [this] { FontDialogItemClick(); });

  // Paragraph
  AddCommand("rvActionParagraph1", "&Paragraph...", {}, [this] { ParagraphItemClick(); });
  AddCommand("rvActionParaBorder1", "Paragraph &Borders and Background...", {},
             [this] { ParagraphBordersItemClick(); });
  auto* alignments = new QActionGroup(this);
  const struct {
    const char* name;
    const char* caption;
    Qt::Alignment alignment;
  } kAlignCommands[] = {{"rvActionAlignLeft1", "Align &Left", Qt::AlignLeft},
                        {"rvActionAlignCenter1", "Align &Center", Qt::AlignHCenter},
                        {"rvActionAlignRight1", "Align &Right", Qt::AlignRight},
                        {"rvActionAlignJustify1", "&Justify", Qt::AlignJustify}};
  for (const auto& command : kAlignCommands) {
    const Qt::Alignment alignment = command.alignment;
    alignments->addAction(checked(AddCommand(
        command.name, command.caption, {}, [&edit, alignment] { SetAlignment(edit, alignment); })));
  }
  AddCommand("rvActionParaList1", "&Bullets and Numbering...", {},
             [this] { BulletsNumberingItemClick(); });
  checked(AddCommand("rvActionParaBullets1", "&Bullets", {}, [this, &edit] {
    ToggleList(edit, QTextListFormat::ListDisc);
    UpdateCommandStates();
  }));
  checked(AddCommand("rvActionParaNumbering1", "&Numbering", {}, [this, &edit] {
    ToggleList(edit, QTextListFormat::ListDecimal);
    UpdateCommandStates();
  }));
  checked(AddCommand("rvActionWordWrap1", "&Word Wrap", {}, [this, &edit] {
    SetWordWrap(edit, Command("rvActionWordWrap1")->isChecked());
  }));
  AddCommand("rvActionIndentDec1", "&Decrease Indent", {}, [&edit] { ChangeIndent(edit, -1); });
  AddCommand("rvActionIndentInc1", "&Increase Indent", {}, [&edit] { ChangeIndent(edit, 1); });
  auto* spacings = new QActionGroup(this);
  const struct {
    const char* name;
    const char* caption;
    int percent;
  } kSpacingCommands[] = {{"rvActionLineSpacing1001", "&Single Line Spacing", 100},
                          {"rvActionLineSpacing1501", "1.5 Li&ne Spacing", 150},
                          {"rvActionLineSpacing2001", "&Double Line Spacing", 200}};
  for (const auto& command : kSpacingCommands) {
    const int percent = command.percent;
    spacings->addAction(checked(AddCommand(command.name, command.caption, {},
                                           [&edit, percent] { SetLineSpacing(edit, percent); })));
  }
  AddCommand("rvActionParaColor1", "Paragraph &Background Color...", {}, [this, &edit] {
    ChooseColor(Command("rvActionParaColor1"), "Paragraph Background Color",
                edit.textCursor().blockFormat().background().color(),
                [&edit](const QColor& color) { SetParagraphBackground(edit, color); });
  });

  // Insert
  AddCommand("rvActionInsertFile1", "&File...", {}, [this] { InsertFileItemClick(); });
  AddCommand("rvActionInsertPicture1", "&Picture...", {}, [this] { InsertPictureItemClick(); });
  AddCommand("rvActionInsertHLine1", "&Horizontal Line", {},
             [&edit] { InsertHorizontalLine(edit); });
  AddCommand("rvActionInsertSymbol1", "&Symbol...", {}, [this] { InsertSymbolItemClick(); });

  // Table
  AddCommand("rvActionInsertTable1", "&Insert Table...", {}, [this] { InsertTableItemClick(); });
  AddCommand("rvActionTableInsertColLeft1", "Insert Column &Left", {},
             [&edit] { InsertColumn(edit, Side::kLeft); });
  AddCommand("rvActionTableInsertColRight1", "Insert Column &Right", {},
             [&edit] { InsertColumn(edit, Side::kRight); });
  AddCommand("rvActionTableInsertRowsAbove1", "Insert Row &Above", {},
             [&edit] { InsertRow(edit, Side::kAbove); });
  AddCommand("rvActionTableInsertRowsBelow1", "Insert Row &Below", {},
             [&edit] { InsertRow(edit, Side::kBelow); });
  AddCommand("rvActionTableDeleteRows1", "Delete R&ows", {}, [&edit] { DeleteRows(edit); });
  AddCommand("rvActionTableDeleteCols1", "Delete &Columns", {}, [&edit] { DeleteColumns(edit); });
  AddCommand("rvActionTableDeleteTable1", "&Delete Table", {}, [&edit] { DeleteTable(edit); });
  AddCommand("rvActionTableSelectTable1", "Select &Table", QKeySequence(Qt::ALT | Qt::Key_Clear),
             [&edit] { SelectTable(edit); });
  AddCommand("rvActionTableSelectCols1", "Select Col&umns", {}, [&edit] { SelectColumns(edit); });
  AddCommand("rvActionTableSelectRows1", "Select Ro&ws", {}, [&edit] { SelectRows(edit); });
  AddCommand("rvActionTableSelectCell1", "Select C&ell", {}, [&edit] { SelectCell(edit); });
  const struct {
    const char* name;
    const char* caption;
    QTextCharFormat::VerticalAlignment alignment;
  } kCellAlignCommands[] = {
      {"rvActionTableCellVAlignTop1", "&Top", QTextCharFormat::AlignTop},
      {"rvActionTableCellVAlignMiddle1", "&Middle", QTextCharFormat::AlignMiddle},
      {"rvActionTableCellVAlignBottom1", "&Bottom", QTextCharFormat::AlignBottom},
      {"rvActionTableCellVAlignDefault1", "&Default", QTextCharFormat::AlignNormal}};
  for (const auto& command : kCellAlignCommands) {
    const auto alignment = command.alignment;
    AddCommand(command.name, command.caption, {},
               [&edit, alignment] { AlignCellContents(edit, alignment); });
  }
  const struct {
    const char* name;
    const char* caption;
    CellBorder border;
  } kBorderCommands[] = {{"rvActionTableCellLeftBorder1", "&Left Border", CellBorder::kLeft},
                         {"rvActionTableCellTopBorder1", "&Top Border", CellBorder::kTop},
                         {"rvActionTableCellRightBorder1", "&Right Border", CellBorder::kRight},
                         {"rvActionTableCellBottomBorder1", "&Bottom Border", CellBorder::kBottom},
                         {"rvActionTableCellAllBorders1", "&All Borders", CellBorder::kAll},
                         {"rvActionTableCellNoBorders1", "&No Borders", CellBorder::kNone}};
  for (const auto& command : kBorderCommands) {
    const CellBorder border = command.border;
    AddCommand(command.name, command.caption, {},
               [&edit, border] { SetCellBorders(edit, border); });
  }
  AddCommand("rvActionTableSplitCells1", "&Split Cells...", {}, [this] { SplitCellsItemClick(); });
  AddCommand("rvActionTableMergeCells1", "&Merge Cells", {}, [&edit] { MergeCells(edit); });
  checked(AddCommand("rvActionTableGrid1", "Show &Grid Lines", {}, [this, &edit] {
    edit.SetGridLinesShown(Command("rvActionTableGrid1")->isChecked());
  }))->setChecked(edit.GridLinesShown());
  AddCommand("rvActionTableProperties1", "Table &Properties...", {},
             [this] { TablePropertiesItemClick(); });

  // Help
  AddCommand("AboutItem", "&About...", {}, [this] { AboutItemClick(); });
  AddCommand("HomeItem", "Home", {}, [this] { HomeItemClick(); });
  AddCommand("UpdateItem", "Update", {}, [this] { UpdateItemClick(); });

  connect(&edit, &QTextEdit::undoAvailable, this, [this] { UpdateCommandStates(); });
  connect(&edit, &QTextEdit::redoAvailable, this, [this] { UpdateCommandStates(); });
  connect(&edit, &QTextEdit::selectionChanged, this, [this] { UpdateCommandStates(); });
  connect(&edit, &QTextEdit::cursorPositionChanged, this, [this] { UpdateCommandStates(); });
  connect(&edit, &QTextEdit::textChanged, this, [this] { UpdateCommandStates(); });
}

void TMForm::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("TBMenuBar");
  const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (qstrcmp(name, "-") == 0) {
        menu->addSeparator();
      } else {
        menu->addAction(Command(name));
      }
    }
  };
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("FileMenu");
  add(file, {"rvActionNew1", "rvActionOpen1", "rvActionSave1", "rvActionSaveAs1", "SaveAsPDFItem",
             "-", "rvActionPrintPreview1", "rvActionPrint1", "-", "ExitItem"});
  QMenu* edit = bar->addMenu("&Edit");
  edit->setObjectName("EditMenu");
  add(edit, {"rvActionUndo1", "rvActionRedo1", "-", "rvActionCut1", "rvActionCopy1",
             "rvActionPaste1", "rvActionSelectAll1", "-", "rvActionFind1", "rvActionFindNext1",
             "rvActionReplace1", "-", "rvActionInsertPageBreak1", "rvActionRemovePageBreak1"});
  QMenu* font = bar->addMenu("F&ont");
  font->setObjectName("FontMenu");
  add(font, {"rvActionFontBold1", "rvActionFontItalic1", "rvActionFontUnderline1",
             "rvActionFontAllCaps1", "-", "rvActionFontShrink1", "rvActionFontGrow1",
             "rvActionFontShrinkOnePoint1", "rvActionFontGrowOnePoint1", "-", "rvActionColor1",
             "rvActionFontBackColor1", "-", "rvActionFonts1"});
  QMenu* paragraph = bar->addMenu("&Paragraph");
  paragraph->setObjectName("ParagraphMenu");
  add(paragraph, {"rvActionParagraph1",
                  "rvActionParaBorder1",
                  "-",
                  "rvActionAlignLeft1",
                  "rvActionAlignCenter1",
                  "rvActionAlignRight1",
                  "rvActionAlignJustify1",
                  "-",
                  "rvActionParaList1",
                  "rvActionParaBullets1",
                  "rvActionParaNumbering1",
                  "-",
                  "rvActionWordWrap1",
                  "rvActionIndentDec1",
                  "rvActionIndentInc1",
                  "-",
                  "rvActionLineSpacing1001",
                  "rvActionLineSpacing1501",
                  "rvActionLineSpacing2001",
                  "-",
                  "rvActionParaColor1"});
  QMenu* insert = bar->addMenu("&Insert");
  insert->setObjectName("InsertMenu");
  add(insert, {"rvActionInsertFile1", "rvActionInsertPicture1", "-", "rvActionInsertHLine1",
               "rvActionInsertSymbol1"});
  QMenu* table = bar->addMenu("&Table");
  table->setObjectName("TableMenu");
  add(table,
      {"rvActionInsertTable1", "-", "rvActionTableInsertColLeft1", "rvActionTableInsertColRight1",
       "rvActionTableInsertRowsAbove1", "rvActionTableInsertRowsBelow1", "-",
       "rvActionTableDeleteRows1", "rvActionTableDeleteCols1", "rvActionTableDeleteTable1", "-"});
  QMenu* select = table->addMenu("Select");
  select->setObjectName("SelectMenu");
  add(select, {"rvActionTableSelectTable1", "rvActionTableSelectCols1", "rvActionTableSelectRows1",
               "rvActionTableSelectCell1"});
  QMenu* align = table->addMenu("Align Cell Contents");
  align->setObjectName("AlignCellContentsMenu");
  add(align, {"rvActionTableCellVAlignTop1", "rvActionTableCellVAlignMiddle1",
              "rvActionTableCellVAlignBottom1", "-", "rvActionTableCellVAlignDefault1"});
  QMenu* borders = table->addMenu("Cell Borders Submenu");
  borders->setObjectName("CellBordersMenu");
  add(borders, {"rvActionTableCellLeftBorder1", "rvActionTableCellTopBorder1",
                "rvActionTableCellRightBorder1", "rvActionTableCellBottomBorder1", "-",
                "rvActionTableCellAllBorders1", "rvActionTableCellNoBorders1"});
  table->addSeparator();
  add(table, {"rvActionTableSplitCells1", "rvActionTableMergeCells1", "-", "rvActionTableGrid1",
              "-", "rvActionTableProperties1"});
  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("HelpMenu");
  add(help, {"AboutItem", "-", "HomeItem", "UpdateItem"});

  TBPopupMenu1 = new QMenu(this);
  TBPopupMenu1->setObjectName("TBPopupMenu1");
  add(TBPopupMenu1, {"rvActionCut1", "rvActionCopy1", "rvActionPaste1", "-", "rvActionFonts1",
                     "rvActionParagraph1", "rvActionParaList1"});
  RichViewEdit1->SetPopupMenu(TBPopupMenu1);
}

void TMForm::CreateToolbars() {
  const auto toolbar = [this](const char* name, const QString& title,
                              std::initializer_list<const char*> commands) {
    auto* bar = new QToolBar(title, this);
    bar->setObjectName(name);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    for (const char* command : commands) {
      if (qstrcmp(command, "-") == 0) {
        bar->addSeparator();
      } else {
        bar->addAction(Command(command));
      }
    }
    addToolBar(Qt::TopToolBarArea, bar);
    toolbars_.append(bar);
    return bar;
  };
  toolbar("TBToolbar1", "Standard",
          {"rvActionNew1", "rvActionOpen1", "rvActionSave1", "-", "SaveAsPDFItem", "-",
           "rvActionPrintPreview1", "rvActionPrint1"});
  toolbar(
      "TBToolbar2", "Edit",
      {"rvActionFind1", "-", "rvActionCut1", "rvActionCopy1", "rvActionPaste1", "-",
       "rvActionUndo1", "rvActionRedo1", "-", "rvActionInsertPicture1", "rvActionInsertTable1"});
  toolbar("TBCellBordersToolbar", "Cell Borders",
          {"rvActionTableCellLeftBorder1", "rvActionTableCellTopBorder1",
           "rvActionTableCellRightBorder1", "rvActionTableCellBottomBorder1",
           "rvActionTableCellAllBorders1", "rvActionTableCellNoBorders1"});
  toolbar("TBTableToolbar", "Table",
          {"rvActionTableInsertColLeft1", "rvActionTableInsertColRight1",
           "rvActionTableInsertRowsAbove1", "rvActionTableInsertRowsBelow1", "-",
           "rvActionTableDeleteRows1", "rvActionTableDeleteCols1", "rvActionTableDeleteTable1", "-",
           "rvActionTableSplitCells1", "rvActionTableMergeCells1"});
  addToolBarBreak(Qt::TopToolBarArea);
  QToolBar* format = toolbar("TBFormatToolbar", "Format", {});
  format->addWidget(cmbFont);
  format->addWidget(cmbFontSize);
  format->addSeparator();
  for (const char* command :
       {"rvActionFontBold1", "rvActionFontItalic1", "rvActionFontUnderline1", "-",
        "rvActionAlignLeft1", "rvActionAlignCenter1", "rvActionAlignRight1",
        "rvActionAlignJustify1", "-", "rvActionParaBullets1", "rvActionParaNumbering1", "-",
        "rvActionFontShrinkOnePoint1", "rvActionFontGrowOnePoint1"}) {
    if (qstrcmp(command, "-") == 0) {
      format->addSeparator();
    } else {
      format->addAction(Command(command));
    }
  }
  toolbar("TBColorToolbar", "Colors",
          {"rvActionColor1", "rvActionFontBackColor1", "-", "rvActionIndentDec1",
           "rvActionIndentInc1", "-", "rvActionParaColor1"});
}

void TMForm::UpdateCommandStates() {
  RichViewEdit& edit = *RichViewEdit1;
  const QTextCursor cursor = edit.textCursor();
  QTextDocument* doc = edit.document();
  const auto set = [this](const char* name, bool enabled) {
    if (QAction* action = Command(name)) action->setEnabled(enabled);
  };
  const auto check = [this](const char* name, bool on) {
    if (QAction* action = Command(name)) action->setChecked(on);
  };
  set("rvActionUndo1", doc->isUndoAvailable());
  set("rvActionRedo1", doc->isRedoAvailable());
  set("rvActionCut1", cursor.hasSelection());
  set("rvActionCopy1", cursor.hasSelection());
  set("rvActionRemovePageBreak1", HasPageBreak(edit));
  const bool in_table = CurrentTable(edit) != nullptr;
  for (const char* name : kTableCommands) set(name, in_table);
  set("rvActionTableMergeCells1", CanMergeCells(edit));

  const QFont font = CurrentFont(edit);
  check("rvActionFontBold1", font.bold());
  check("rvActionFontItalic1", font.italic());
  check("rvActionFontUnderline1", font.underline());
  check("rvActionFontAllCaps1", IsAllCapitals(edit));
  const Qt::Alignment alignment = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
  check("rvActionAlignCenter1", alignment & Qt::AlignHCenter);
  check("rvActionAlignJustify1", alignment & Qt::AlignJustify);
  const bool right = (alignment & Qt::AlignRight) ||
                     ((alignment & Qt::AlignTrailing) && !(alignment & Qt::AlignAbsolute));
  check("rvActionAlignRight1", right);
  if (!(alignment & (Qt::AlignHCenter | Qt::AlignJustify)) && !right) {
    check("rvActionAlignLeft1", true);
  }
  const auto list = CurrentListStyle(edit);
  check("rvActionParaBullets1", list == QTextListFormat::ListDisc);
  check("rvActionParaNumbering1", list == QTextListFormat::ListDecimal);
  check("rvActionWordWrap1", WordWrap(edit));
  const int spacing = LineSpacing(edit);
  check("rvActionLineSpacing1001", spacing == 100);
  check("rvActionLineSpacing1501", spacing == 150);
  check("rvActionLineSpacing2001", spacing == 200);
  if (spacing != 100 && spacing != 150 && spacing != 200) {
    for (const char* name :
         {"rvActionLineSpacing1001", "rvActionLineSpacing1501", "rvActionLineSpacing2001"}) {
      QAction* action = Command(name);
      action->actionGroup()->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
      action->setChecked(false);
      action->actionGroup()->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    }
  }
}

// ---------------------------------------------------------------------------
// Commands with dialogs

void TMForm::ShowFindDialog(bool replace) {
  if (RichViewEdit1->textCursor().hasSelection()) {
    const QString selected = RichViewEdit1->textCursor().selectedText();
    if (!selected.contains(QChar::ParagraphSeparator)) search_.text = selected;
  }
  FindReplaceDialog dialog(
      replace ? FindReplaceDialog::Mode::kReplace : FindReplaceDialog::Mode::kFind, *RichViewEdit1,
      search_, this);
  Hooks().exec_dialog(dialog);
  RichViewEdit1->setFocus();
}

void TMForm::FindNextItemClick() {
  if (search_.text.isEmpty()) {
    ShowFindDialog(false);
    return;
  }
  if (!FindNext(*RichViewEdit1, search_)) {
    Hooks().inform(this, "Find", QString("Cannot find \"%1\".").arg(search_.text));
  }
}

void TMForm::ChooseColor(QAction* action, const QString& title, const QColor& initial,
                         const std::function<void(const QColor&)>& apply) {
  // The toolbar button that called stays pressed while the colours are shown.
  QToolButton* button = nullptr;
  for (QToolBar* bar : toolbars_) {
    auto* candidate = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    if (candidate && candidate->underMouse()) button = candidate;
  }
  if (button) button->setDown(true);
  const std::optional<QColor> color = PickColor(this, initial, title);
  if (button) button->setDown(false);
  if (color) apply(*color);
  RichViewEdit1->setFocus();
}

void TMForm::FontDialogItemClick() {
  // The dialog lists installed families; a name the font system substitutes
  // (Arial for Liberation Sans) is shown as its substitute and kept when the
  // user leaves the family as it is.
  const QFont current = CurrentFont(*RichViewEdit1);
  QFont shown = current;
  const QString installed = QFontInfo(current).family();
  shown.setFamilies(QStringList{installed});
  QFontDialog dialog(shown, this);
  dialog.setObjectName("FontDialog");
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    QFont chosen = dialog.currentFont();
    if (chosen.family() == installed) chosen.setFamilies(QStringList{current.family()});
    QTextCharFormat format;
    format.setFont(chosen, QTextCharFormat::FontPropertiesSpecifiedOnly);
    MergeCharFormat(*RichViewEdit1, format);
  }
  RichViewEdit1->setFocus();
}

void TMForm::ParagraphItemClick() {
  const QTextBlockFormat current = RichViewEdit1->textCursor().blockFormat();
  ParagraphDialog dialog(ParagraphSettings::From(current, RichViewEdit1->document()->indentWidth()),
                         this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    MergeBlockFormat(*RichViewEdit1, dialog.Settings().ToFormat());
  }
  RichViewEdit1->setFocus();
}

void TMForm::ParagraphBordersItemClick() {
  ParagraphBordersDialog dialog(CurrentParagraphBorders(*RichViewEdit1), this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    ApplyParagraphBorders(*RichViewEdit1, dialog.Borders());
  }
  RichViewEdit1->setFocus();
}

void TMForm::BulletsNumberingItemClick() {
  const QTextList* list = RichViewEdit1->textCursor().currentList();
  BulletsNumberingDialog dialog(CurrentListStyle(*RichViewEdit1),
                                list ? list->format().indent() : 1, this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    ApplyListStyle(*RichViewEdit1, dialog.Style(), dialog.Level());
    UpdateCommandStates();
  }
  RichViewEdit1->setFocus();
}

void TMForm::InsertFileItemClick() {
  FileDialogRequest request;
  request.caption = "Insert File";
  request.filter = QString(kRtfFilter) + ";;" + kTextFilter;
  request.selected_filter = kRtfFilter;
  const FileDialogAnswer answer = Hooks().open_file(this, request);
  if (!answer.file_name.isEmpty()) {
    std::unique_ptr<QTextDocument> source(RichViewEdit::MakeDocument());
    QString error;
    if (io::LoadDocument(answer.file_name, *source, io::FormatForFileName(answer.file_name),
                         &error)) {
      InsertDocument(*RichViewEdit1, *source);
    } else {
      Hooks().warn(this, "Insert File", error);
    }
  }
  RichViewEdit1->setFocus();
}

void TMForm::InsertPictureItemClick() {
  FileDialogRequest request;
  request.caption = "Insert Picture";
  request.filter = "Pictures (*.png *.jpg *.jpeg *.bmp *.gif);;All files (*)";
  const FileDialogAnswer answer = Hooks().open_file(this, request);
  if (!answer.file_name.isEmpty()) {
    QString error;
    if (!InsertPictureFile(*RichViewEdit1, answer.file_name, &error)) {
      Hooks().warn(this, "Insert Picture", error);
    }
  }
  RichViewEdit1->setFocus();
}

void TMForm::InsertSymbolItemClick() {
  SymbolDialog dialog(CurrentFont(*RichViewEdit1), this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted && dialog.Symbol() != 0) {
    QTextCharFormat format = RichViewEdit1->currentCharFormat();
    if (dialog.FontFamily() != CurrentFont(*RichViewEdit1).family()) {
      format.setFontFamilies(QStringList{dialog.FontFamily()});
    }
    const char32_t symbol = dialog.Symbol();
    RichViewEdit1->textCursor().insertText(QString::fromUcs4(&symbol, 1), format);
  }
  RichViewEdit1->setFocus();
}

void TMForm::InsertTableItemClick() {
  InsertTableDialog dialog(this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) InsertTable(*RichViewEdit1, dialog.Shape());
  RichViewEdit1->setFocus();
}

void TMForm::SplitCellsItemClick() {
  if (!CurrentTable(*RichViewEdit1)) return;
  SplitCellsDialog dialog(this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    SplitCell(*RichViewEdit1, dialog.Rows(), dialog.Columns());
  }
  RichViewEdit1->setFocus();
}

void TMForm::TablePropertiesItemClick() {
  const QTextTable* table = CurrentTable(*RichViewEdit1);
  if (!table) return;
  TablePropertiesDialog dialog(PropertiesOf(*table), this);
  if (Hooks().exec_dialog(dialog) == QDialog::Accepted) {
    SetTableProperties(*RichViewEdit1, dialog.Properties());
  }
  RichViewEdit1->setFocus();
}

}  // namespace tollmark
