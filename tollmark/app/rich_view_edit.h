// The rich-text editor of the main window: a QTextEdit that follows links on
// Ctrl+click, marks page breaks, can show the grid of borderless tables and
// keeps a selection on right-click only when the click lands inside it.
#pragma once

#include <QTextEdit>

class QMenu;

namespace tollmark {

class RichViewEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit RichViewEdit(QWidget* parent = nullptr);

  // The menu shown on right-click (not owned).
  void SetPopupMenu(QMenu* menu) { popup_menu_ = menu; }

  bool GridLinesShown() const { return grid_lines_shown_; }
  void SetGridLinesShown(bool shown);

  // Font of a new document ("Normal" style).
  static QFont NormalFont();

  // A new empty document in the "Normal" style, for NewDocument and for
  // loading into.
  static QTextDocument* MakeDocument();

  // Replaces the document with an empty one: empty undo history, no
  // modified mark.
  void NewDocument();

  // Makes `doc` the edited document (the editor owns it from now on and frees
  // the previous one), with an empty undo history and no modified mark.
  void ReplaceDocument(QTextDocument* doc);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void PaintPageBreaks(QPainter& painter);
  void PaintTableGrids(QPainter& painter);
  void PaintParagraphBorders(QPainter& painter);
  QPointF ViewportOffset() const;

  QMenu* popup_menu_ = nullptr;
  bool grid_lines_shown_ = true;
  QString pressed_anchor_;
};

}  // namespace tollmark
