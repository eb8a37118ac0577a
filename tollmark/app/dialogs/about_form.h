// The about box.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>

namespace tollmark {

// The maker's addresses, also used by the Help menu.
inline constexpr char kHomeAddress[] = "https://www.marrowind.example/";
inline constexpr char kOrderAddress[] = "https://www.marrowind.example/tollmark/order.html";
inline constexpr char kSupportMail[] = "support@marrowind.example";

// An underlined blue label that opens its address when clicked.
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  LinkLabel(const QString& text, const QUrl& url, QWidget* parent = nullptr);
  QUrl Url() const { return url_; }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QUrl url_;
};

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace tollmark
