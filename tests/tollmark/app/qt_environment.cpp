// The widgets need a QApplication; window placement goes to a temporary
// settings folder instead of the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>
#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    QStandardPaths::setTestModeEnabled(true);
    const char* tmp = std::getenv("QUILLORA_TEST_TMP");
    const QString settings = QDir(tmp ? tmp : QDir::tempPath()).filePath("tollmark-app-settings");
    QDir(settings).removeRecursively();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    static int argc = 1;
    static char name[] = "test_tollmark_app";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName("Tollmark");
    QApplication::setOrganizationName("Marrowind Systems");
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
