// Every command is where the command table puts it, with its caption and
// shortcut, and does something when chosen.
#include "main_form_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidgetAction>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tollmark_test {
namespace {

struct MenuEntry {
  std::vector<std::string> path;  // menu captions down to the command's own
  std::string shortcut;           // in QKeySequence::PortableText
};

// The menus, from the command table of the design.
const std::vector<MenuEntry> kMenuEntries = {
    {{"&File", "&New"}, "Ctrl+N"},
    {{"&File", "&Open..."}, "Ctrl+O"},
    {{"&File", "&Save"}, "Ctrl+S"},
    {{"&File", "Save &As..."}, ""},
    {{"&File", "Save As PDF File"}, ""},
    {{"&File", "P&rint Preview..."}, ""},
    {{"&File", "&Print..."}, "Ctrl+P"},
    {{"&File", "E&xit"}, "Alt+X"},
    {{"&Edit", "&Undo"}, "Ctrl+Z"},
    {{"&Edit", "&Redo"}, "Ctrl+Y"},
    {{"&Edit", "Cu&t"}, "Ctrl+X"},
    {{"&Edit", "&Copy"}, "Ctrl+C"},
    {{"&Edit", "&Paste"}, "Ctrl+V"},
    {{"&Edit", "Select &All"}, "Ctrl+A"},
    {{"&Edit", "&Find..."}, "Ctrl+F"},
    {{"&Edit", "Find &Next"}, "F3"},
    {{"&Edit", "&Replace..."}, "Ctrl+H"},
    {{"&Edit", "&Insert Page Break"}, "Ctrl+Return"},
    {{"&Edit", "&Remove Page Break"}, ""},
    {{"F&ont", "&Bold"}, "Ctrl+B"},
    {{"F&ont", "&Italic"}, "Ctrl+I"},
    {{"F&ont", "&Underline"}, "Ctrl+U"},
    {{"F&ont", "&All Capitals"}, ""},
    {{"F&ont", "S&hrink Font"}, ""},
    {{"F&ont", "&Grow Font"}, ""},
    {{"F&ont", "Shri&nk Font By One Point"}, ""},
    {{"F&ont", "G&row Font By One Point"}, ""},
    {{"F&ont", "Text &Color..."}, ""},
    {{"F&ont", "Text Bac&kground Color..."}, ""},
    {{"F&ont", "&Font..."}, ""},
    {{"&Paragraph", "&Paragraph..."}, ""},
    {{"&Paragraph", "Paragraph &Borders and Background..."}, ""},
    {{"&Paragraph", "Align &Left"}, ""},
    {{"&Paragraph", "Align &Center"}, ""},
    {{"&Paragraph", "Align &Right"}, ""},
    {{"&Paragraph", "&Justify"}, ""},
    {{"&Paragraph", "&Bullets and Numbering..."}, ""},
    {{"&Paragraph", "&Bullets"}, ""},
    {{"&Paragraph", "&Numbering"}, ""},
    {{"&Paragraph", "&Word Wrap"}, ""},
    {{"&Paragraph", "&Decrease Indent"}, ""},
    {{"&Paragraph", "&Increase Indent"}, ""},
    {{"&Paragraph", "&Single Line Spacing"}, ""},
    {{"&Paragraph", "1.5 Li&ne Spacing"}, ""},
    {{"&Paragraph", "&Double Line Spacing"}, ""},
    {{"&Paragraph", "Paragraph &Background Color..."}, ""},
    {{"&Insert", "&File..."}, ""},
    {{"&Insert", "&Picture..."}, ""},
    {{"&Insert", "&Horizontal Line"}, ""},
    {{"&Insert", "&Symbol..."}, ""},
    {{"&Table", "&Insert Table..."}, ""},
    {{"&Table", "Insert Column &Left"}, ""},
    {{"&Table", "Insert Column &Right"}, ""},
    {{"&Table", "Insert Row &Above"}, ""},
    {{"&Table", "Insert Row &Below"}, ""},
    {{"&Table", "Delete R&ows"}, ""},
    {{"&Table", "Delete &Columns"}, ""},
    {{"&Table", "&Delete Table"}, ""},
    {{"&Table", "Select", "Select &Table"}, "Alt+Clear"},
    {{"&Table", "Select", "Select Col&umns"}, ""},
    {{"&Table", "Select", "Select Ro&ws"}, ""},
    {{"&Table", "Select", "Select C&ell"}, ""},
    {{"&Table", "Align Cell Contents", "&Top"}, ""},
    {{"&Table", "Align Cell Contents", "&Middle"}, ""},
    {{"&Table", "Align Cell Contents", "&Bottom"}, ""},
    {{"&Table", "Align Cell Contents", "&Default"}, ""},
    {{"&Table", "Cell Borders Submenu", "&Left Border"}, ""},
    {{"&Table", "Cell Borders Submenu", "&Top Border"}, ""},
    {{"&Table", "Cell Borders Submenu", "&Right Border"}, ""},
    {{"&Table", "Cell Borders Submenu", "&Bottom Border"}, ""},
    {{"&Table", "Cell Borders Submenu", "&All Borders"}, ""},
    {{"&Table", "Cell Borders Submenu", "&No Borders"}, ""},
    {{"&Table", "&Split Cells..."}, ""},
    {{"&Table", "&Merge Cells"}, ""},
    {{"&Table", "Show &Grid Lines"}, ""},
    {{"&Table", "Table &Properties..."}, ""},
    {{"&Help", "&About..."}, ""},
    {{"&Help", "Home"}, ""},
    {{"&Help", "Update"}, ""},
};

// Toolbars in order: their buttons by caption (the font boxes by name).
const std::vector<std::vector<std::string>> kToolbars = {
    {"&New", "&Open...", "&Save", "Save As PDF File", "P&rint Preview...", "&Print..."},
    {"&Find...", "Cu&t", "&Copy", "&Paste", "&Undo", "&Redo", "&Picture...", "&Insert Table..."},
    {"&Left Border", "&Top Border", "&Right Border", "&Bottom Border", "&All Borders",
     "&No Borders"},
    {"Insert Column &Left", "Insert Column &Right", "Insert Row &Above", "Insert Row &Below",
     "Delete R&ows", "Delete &Columns", "&Delete Table", "&Split Cells...", "&Merge Cells"},
    {"cmbFont", "cmbFontSize", "&Bold", "&Italic", "&Underline", "Align &Left", "Align &Center",
     "Align &Right", "&Justify", "&Bullets", "&Numbering", "Shri&nk Font By One Point",
     "G&row Font By One Point"},
    {"Text &Color...", "Text Bac&kground Color...", "&Decrease Indent", "&Increase Indent",
     "Paragraph &Background Color..."},
};

const std::vector<std::string> kPopupMenu = {
    "Cu&t", "&Copy", "&Paste", "&Font...", "&Paragraph...", "&Bullets and Numbering..."};

void Walk(QMenu* menu, std::vector<std::string> path, std::vector<MenuEntry>& out,
          std::vector<QAction*>& actions) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    std::vector<std::string> here = path;
    here.push_back(action->text().toStdString());
    if (action->menu()) {
      Walk(action->menu(), here, out, actions);
    } else {
      out.push_back({here, action->shortcut().toString(QKeySequence::PortableText).toStdString()});
      actions.push_back(action);
    }
  }
}

std::string Joined(const std::vector<std::string>& path) {
  std::string s;
  for (const std::string& part : path) s += (s.empty() ? "" : " > ") + part;
  return s;
}

// True when choosing the command reaches a handler. Finds out by cutting the
// connection, so the form is not used afterwards.
bool IsConnected(QAction* action) {
  return QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
}

class CommandTableTest : public MainFormTest {};

TEST_F(CommandTableTest, MenusMatchTheCommandTable) {
  std::vector<MenuEntry> found;
  std::vector<QAction*> actions;
  for (QAction* top : form->menuBar()->actions()) {
    Walk(top->menu(), {top->text().toStdString()}, found, actions);
  }
  ASSERT_EQ(found.size(), kMenuEntries.size());
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(Joined(found[i].path), Joined(kMenuEntries[i].path));
    EXPECT_EQ(found[i].shortcut, kMenuEntries[i].shortcut) << Joined(found[i].path);
    EXPECT_TRUE(IsConnected(actions[i])) << "dead item " << Joined(found[i].path);
  }
  std::vector<std::string> titles;
  for (QAction* top : form->menuBar()->actions()) titles.push_back(top->text().toStdString());
  EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "F&ont", "&Paragraph", "&Insert",
                                              "&Table", "&Help"}));
}

TEST_F(CommandTableTest, ToolbarsHoldTheirCommandsAndCannotFloat) {
  const QList<QToolBar*> bars = form->findChildren<QToolBar*>();
  ASSERT_EQ(static_cast<size_t>(bars.size()), kToolbars.size());
  for (size_t i = 0; i < kToolbars.size(); ++i) {
    QToolBar* bar = bars[static_cast<int>(i)];
    SCOPED_TRACE(bar->objectName().toStdString());
    EXPECT_FALSE(bar->isFloatable());
    std::vector<std::string> items;
    for (QAction* action : bar->actions()) {
      if (action->isSeparator()) continue;
      if (auto* widget_action = qobject_cast<QWidgetAction*>(action)) {
        items.push_back(widget_action->defaultWidget()->objectName().toStdString());
      } else if (QWidget* widget = bar->widgetForAction(action);
                 widget && !action->text().isEmpty()) {
        items.push_back(action->text().toStdString());
      } else {
        items.push_back(widget ? widget->objectName().toStdString() : "?");
      }
      if (!qobject_cast<QWidgetAction*>(action) && !action->text().isEmpty()) {
        EXPECT_TRUE(IsConnected(action)) << action->text().toStdString();
        EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
      }
    }
    EXPECT_EQ(items, kToolbars[i]);
  }
  // The second row starts with the format toolbar.
  EXPECT_TRUE(form->toolBarBreak(bars[4]));
  EXPECT_EQ(form->findChild<QAction*>("SaveAsPDFItem")->toolTip(), "Save As PDF File");
}

TEST_F(CommandTableTest, PopupMenuHoldsTheClipboardAndFormatDialogs) {
  auto* popup = form->findChild<QMenu*>("TBPopupMenu1");
  ASSERT_NE(popup, nullptr);
  std::vector<std::string> items;
  for (QAction* action : popup->actions()) {
    if (!action->isSeparator()) items.push_back(action->text().toStdString());
  }
  EXPECT_EQ(items, kPopupMenu);
}

TEST_F(CommandTableTest, FormComponentsKeepTheirNames) {
  EXPECT_EQ(form->objectName(), "TMForm");
  for (const char* name : {"RichViewEdit1", "cmbFont", "cmbFontSize", "StatusBar"}) {
    EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(form->FontBox()->width(), 145);
  EXPECT_EQ(form->FontSizeBox()->width(), 62);
  EXPECT_EQ(form->FontBox()->maxVisibleItems(), 20);
  EXPECT_EQ(form->FontBox()->completer(), nullptr);
}

}  // namespace
}  // namespace tollmark_test
