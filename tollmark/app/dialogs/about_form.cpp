#include "tollmark/app/dialogs/about_form.h"

#include "tollmark/app/resources/artwork.h"
#include "tollmark/app/ui_hooks.h"

#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace tollmark {

LinkLabel::LinkLabel(const QString& text, const QUrl& url, QWidget* parent)
    : QLabel(text, parent), url_(url) {
  QFont font = this->font();
  font.setUnderline(true);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  setPalette(palette);
  setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    Hooks().open_url(url_);
  }
  QLabel::mouseReleaseEvent(event);
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TAboutForm");
  setWindowTitle("About...");
  setFixedSize(531, 278);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC7));
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);

  // Top panel: the logo in a lowered frame, the banner beside it.
  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setGeometry(8, 8, 515, 170);
  auto* logo_frame = new QFrame(panel);
  logo_frame->setObjectName("LogoFrame");
  logo_frame->setFrameShape(QFrame::Panel);
  logo_frame->setFrameShadow(QFrame::Sunken);
  logo_frame->setGeometry(8, 8, 154, 154);
  auto* logo = new QLabel(logo_frame);
  logo->setObjectName("Image1");
  logo->setPixmap(AboutLogo(150));
  logo->setGeometry(2, 2, 150, 150);
  auto* banner = new QLabel(panel);
  banner->setObjectName("Image2");
  banner->setPixmap(AboutBanner(QSize(337, 60)));
  banner->setGeometry(170, 8, 337, 60);

  auto* product = new QLabel("Marrowind Tollmark", panel);
  product->setObjectName("ProductName");
  QFont product_font("Arial");
  product_font.setPixelSize(16);
  product_font.setBold(true);
  product->setFont(product_font);
  QPalette navy = product->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 0x80));
  product->setPalette(navy);
  product->setGeometry(170, 78, 337, 24);

  auto* version = new QLabel("v 3.6", panel);
  version->setObjectName("Version");
  version->setGeometry(170, 104, 337, 18);
  auto* copyright = new QLabel("Copyright \u00A9 2003-2026 Marrowind Systems", panel);
  copyright->setObjectName("Copyright");
  copyright->setGeometry(170, 124, 337, 18);

  auto* web = new QLabel("Web:", this);
  web->setObjectName("Label1");
  web->setGeometry(16, 190, 60, 18);
  auto* web_link = new LinkLabel(kHomeAddress, QUrl(kHomeAddress), this);
  web_link->setObjectName("WebLink");
  web_link->setGeometry(80, 190, 300, 18);
  auto* mail = new QLabel("E-Mail:", this);
  mail->setObjectName("Label2");
  mail->setGeometry(16, 212, 60, 18);
  auto* mail_link = new LinkLabel(kSupportMail, QUrl(QString("mailto:") + kSupportMail), this);
  mail_link->setObjectName("MailLink");
  mail_link->setGeometry(80, 212, 300, 18);

  auto* ok = new QPushButton("Ok", this);
  ok->setObjectName("OkButton");
  ok->setDefault(true);
  ok->setGeometry(431, 240, 88, 28);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace tollmark
