// The open and save dialogs of the main window: their filters, what they remember between showings, the
// missing-file and replace rules.
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "support/modal_answerer.h"
#include "support/printing.h"
#include "support/test_folder.h"
#include "ui/main_window.h"

namespace mozenta::testing {
namespace {

struct FilterCase {
  const char* name;
  std::string filter;
  std::vector<FilterEntry> entries;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
  *out << c.name;
}

class ParseFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ParseFilterTest, SplitsDescriptionsAndPatterns) {
  EXPECT_EQ(ParseFilter(GetParam().filter), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ParseFilterTest,
    ::testing::Values(FilterCase{"OpenDialog",
                                 OpenDialogFilter(),
                                 {{"すべての画像",
                                   "*.bmp;*.jpeg;*.jpg;*.png;*.gif;*.tif;*.tiff;*.webp;*.heic;*.heif;*.avif"},
                                  {"BMP画像", "*.bmp"},
                                  {"JPEG画像", "*.jpeg;*.jpg"},
                                  {"PNG画像", "*.png"},
                                  {"GIF画像", "*.gif"},
                                  {"TIFF画像", "*.tif;*.tiff"},
                                  {"WebP画像", "*.webp"},
                                  {"HEIF画像", "*.heic;*.heif"},
                                  {"AVIF画像", "*.avif"},
                                  {"すべてのファイル", "*.*"}}},
                      FilterCase{"SaveDialog", kSaveDialogFilter, {{"モザイク画", "*txt;*.bmp;*.csv"}}},
                      FilterCase{"Empty", "", {}},
                      FilterCase{"DescriptionWithoutPatterns", "a|*.a|b", {{"a", "*.a"}}}),
    CaseName());

TEST(NameFilter, ListsEveryPatternForQt) {
  EXPECT_EQ(NameFilter({"JPEG画像", "*.jpg;*.jpeg"}), QString::fromUtf8("JPEG画像 (*.jpg *.jpeg)"));
  EXPECT_EQ(NameFilter({"モザイク画", "*txt;*.bmp;*.csv"}),
            QString::fromUtf8("モザイク画 (*txt *.bmp *.csv)"));
  EXPECT_EQ(NameFilter({"すべてのファイル", "*.*"}), QString::fromUtf8("すべてのファイル (*)"))
      << "every file, also one without an extension";
}

class FileDialogTest : public ::testing::Test {
 protected:
  QString PathOf(const char* name) const { return folder_.PathOf(name); }
  void Touch(const char* name) const { folder_.Write(name); }
  static std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

  TestFolder folder_;
  ModalAnswerer answers_;
};

TEST_F(FileDialogTest, OpenDialogOffersEveryFormatAndAcceptsAMissingFile) {
  FileDialog dialog(FileDialog::Kind::kOpen, QStringLiteral("OpenDialog1"), OpenDialogFilter());
  QStringList filters;
  QString selectedFilter;
  answers_.Then([&](QWidget* widget) {
    auto* files = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->objectName(), QStringLiteral("OpenDialog1"));
    EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptOpen);
    filters = files->nameFilters();
    selectedFilter = files->selectedNameFilter();
    ChooseFile(PathOf("missing.bmp"))(widget);
  });
  ASSERT_TRUE(dialog.Execute(nullptr));
  ASSERT_EQ(filters.size(), 10);
  EXPECT_EQ(filters[0],
            QString::fromUtf8("すべての画像 (*.bmp *.jpeg *.jpg *.png *.gif *.tif *.tiff *.webp *.heic "
                              "*.heif *.avif)"));
  EXPECT_EQ(filters[9], QString::fromUtf8("すべてのファイル (*)"));
  EXPECT_EQ(selectedFilter, QString::fromUtf8("すべての画像"))
      << "the first entry the first time, patterns hidden";
  EXPECT_EQ(dialog.FileName(), Local(PathOf("missing.bmp")));
  EXPECT_EQ(dialog.FilterIndex(), 1);
}

// The second showing also lists the folder with every column wide enough for its entries.
TEST_F(FileDialogTest, OpenDialogRemembersEntryAndPathOfTheLastChoiceOnly) {
  folder_.Write("photo.jpg", QByteArray(360054, 'x'));
  ASSERT_TRUE(QDir().mkdir(PathOf("folder")));
  FileDialog dialog(FileDialog::Kind::kOpen, QStringLiteral("OpenDialog1"), OpenDialogFilter());
  QString secondFilter, secondFile, thirdFilter;
  answers_
      .Then([&](QWidget* widget) {
        auto* files = qobject_cast<QFileDialog*>(widget);
        files->selectNameFilter(files->nameFilters()[2]);
        ChooseFile(PathOf("photo.jpg"))(widget);
      })
      .Then([&](QWidget* widget) {
        auto* files = qobject_cast<QFileDialog*>(widget);
        secondFilter = files->selectedNameFilter();
        secondFile = files->selectedFiles().value(0);
        auto* list = files->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) == 2; }));
        for (int column = 1; column <= 3; ++column)
          EXPECT_GE(list->header()->sectionSize(column),
                    static_cast<QAbstractItemView*>(list)->sizeHintForColumn(column))
              << column;
        files->selectNameFilter(files->nameFilters()[5]);
        CancelDialog(widget);
      })
      .Then([&](QWidget* widget) {
        thirdFilter = qobject_cast<QFileDialog*>(widget)->selectedNameFilter();
        CancelDialog(widget);
      });
  ASSERT_TRUE(dialog.Execute(nullptr));
  EXPECT_EQ(dialog.FilterIndex(), 3);
  EXPECT_FALSE(dialog.Execute(nullptr));
  EXPECT_EQ(secondFilter, QString::fromUtf8("JPEG画像"));
  EXPECT_EQ(secondFile, PathOf("photo.jpg"));
  EXPECT_FALSE(dialog.Execute(nullptr));
  EXPECT_EQ(thirdFilter, secondFilter) << "a cancelled showing remembers nothing";
  EXPECT_EQ(dialog.FileName(), Local(PathOf("photo.jpg")));
  EXPECT_EQ(dialog.FilterIndex(), 3);
}

TEST_F(FileDialogTest, SaveDialogAsksBeforeReplacingTheChosenNameOnly) {
  Touch("pic.bmp");
  Touch("pic.txt");
  FileDialog dialog(FileDialog::Kind::kSave, QStringLiteral("SaveDialog1"), kSaveDialogFilter);
  QString question;
  QStringList filters;
  bool openAfterNo = false;
  answers_
      .Then([&](QWidget* widget) {
        auto* files = qobject_cast<QFileDialog*>(widget);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        filters = files->nameFilters();
        if (QWidget* focus = files->focusWidget()) focus->clearFocus();  // else the name stays as typed
        files->selectFile(PathOf("pic.bmp"));
        QMetaObject::invokeMethod(files, "accept");  // asks, and hears "no"
        openAfterNo = files->isVisible();
        files->selectFile(PathOf("pic"));  // only pic.txt exists: no question
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
      })
      .Then(AnswerQuestion(false, &question));
  ASSERT_TRUE(dialog.Execute(nullptr));
  EXPECT_EQ(filters, QStringList{QString::fromUtf8("モザイク画 (*txt *.bmp *.csv)")});
  EXPECT_EQ(question, QString::fromUtf8("pic.bmp は既に存在します。\n置き換えますか?"));
  EXPECT_TRUE(openAfterNo) << "a no returns to the dialog";
  EXPECT_EQ(dialog.FileName(), Local(PathOf("pic"))) << "no default extension";
}

TEST_F(FileDialogTest, SaveDialogStartsWithTheNameChosenLastTime) {
  Touch("old.bmp");
  FileDialog dialog(FileDialog::Kind::kSave, QStringLiteral("SaveDialog1"), kSaveDialogFilter);
  QString firstName, secondName;
  answers_
      .Then([&](QWidget* widget) {
        firstName = qobject_cast<QFileDialog*>(widget)->selectedFiles().value(0);
        ChooseFile(PathOf("old.bmp"))(widget);
      })
      .Then(AnswerQuestion(true))
      .Then([&](QWidget* widget) {
        secondName = qobject_cast<QFileDialog*>(widget)->selectedFiles().value(0);
        CancelDialog(widget);
      });
  ASSERT_TRUE(dialog.Execute(nullptr));
  EXPECT_EQ(dialog.FileName(), Local(PathOf("old.bmp")));
  EXPECT_FALSE(dialog.Execute(nullptr));
  EXPECT_FALSE(firstName.endsWith(QStringLiteral(".bmp"))) << "empty name at the first save";
  EXPECT_EQ(secondName, PathOf("old.bmp"));
}

}  // namespace
}  // namespace mozenta::testing
