// The program's own dialogs as widgets.
#include "core/Texts.h"
#include "ui/Conversions.h"
#include "ui/NameDialog.h"
#include "ui/NoteDialog.h"
#include "ui/WidgetDialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(WidgetDialogs, AllFilesMeansEveryFileEvenWithoutADot)
{
    EXPECT_EQ(ui::WidgetDialogs::qtFilter(QStringLiteral("所有文件[*.*]|*.*")),
              QStringLiteral("所有文件[*.*] (*)"));
    EXPECT_EQ(ui::WidgetDialogs::qtFilter(QStringLiteral("网页|*.htm;*.html|文本|*.txt")),
              QStringLiteral("网页 (*.htm *.html);;文本 (*.txt)"));
}

TEST(WidgetDialogs, StoredColoursAndFontsConvert)
{
    EXPECT_EQ(ui::colorFromStored(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ui::colorFromStored(983295), QColor(255, 0, 15));
    EXPECT_EQ(ui::storedFromColor(QColor(0, 128, 255)), 0xFF8000);
    EXPECT_EQ(ui::colorFromStored(-2147483640), QApplication::palette().color(QPalette::Text));

    core::FontSpec spec;
    spec.size = 20; // a size the height does not match
    const QFont font = ui::fontFromSpec(spec);
    EXPECT_EQ(font.pixelSize(), 12) << "the height decides the size";
    EXPECT_EQ(ui::messageText("a\rb\r\nc"), "a\nb\nc");
}

TEST(NameDialog, StaysOpenUntilTheCommandTakesTheName)
{
    core::NameDialogSpec spec;
    spec.caption = QStringLiteral("软件分类库");
    spec.label = QStringLiteral("请输入分类库名...");
    spec.okText = QStringLiteral("确定(&Y)");
    spec.cancelText = QStringLiteral("取消(&C)");
    QStringList offered;
    ui::NameDialog dialog(spec, [&](const QString& text) {
        offered.append(text);
        return text == "good" ? core::OkResult::Close : core::OkResult::StaySelectInput;
    });
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), spec.caption);
    EXPECT_EQ(dialog.input()->maxLength(), 100);
    auto* ok = dialog.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    dialog.input()->setText("bad");
    ok->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.input()->selectedText(), "bad");
    dialog.input()->setText("good");
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(offered, QStringList({"bad", "good"}));
}

TEST(NoteDialog, HandsOverItsLinesAndKeepsOkOffWhenReadOnly)
{
    core::NoteDialogSpec spec;
    spec.caption = QStringLiteral("编辑软件说明");
    spec.text = QStringLiteral("旧注释");
    spec.okEnabled = false;
    QStringList got;
    ui::NoteDialog readOnly(spec, [&](const QStringList& lines) {
        got = lines;
        return core::OkResult::Close;
    });
    EXPECT_FALSE(readOnly.okButton()->isEnabled());
    EXPECT_EQ(readOnly.memo()->toPlainText(), QStringLiteral("旧注释"));

    spec.okEnabled = true;
    ui::NoteDialog dialog(spec, [&](const QStringList& lines) {
        got = lines;
        return core::OkResult::Close;
    });
    dialog.memo()->setPlainText("one\n\ttwo");
    dialog.okButton()->click();
    EXPECT_EQ(got, QStringList({"one", "\ttwo"}));
    dialog.memo()->clear();
    dialog.okButton()->click();
    EXPECT_TRUE(got.isEmpty());
}
