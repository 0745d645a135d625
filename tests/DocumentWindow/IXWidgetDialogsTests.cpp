// The dialogs on screen answer with the index of the button the user chose.
#include "DocumentWindow/IXWidgetDialogs.h"
#include "DocumentWindow/IXShellErrors.h"
#include "TestSupport/QStringPrinter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Once the alert is up, presses the button with the title, or Escape when the title is empty.
void answerWhenShown(const QString& title, QString* shownText = nullptr)
{
    QTimer::singleShot(0, [title, shownText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return answerWhenShown(title, shownText);
        if (shownText) *shownText = box->text() + QStringLiteral("|") + box->informativeText();
        if (title.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == title) button->click();
        }
    });
}

TEST(IXWidgetDialogsTest, AlertAnswersTheChosenButtonsIndex)
{
    IXWidgetDialogs dialogs;
    IXDialogs::Alert alert;
    alert.title = QStringLiteral("Do you want to save the changes?");
    alert.message = QStringLiteral("Your changes will be lost if you don't save them.");
    alert.buttons = {QStringLiteral("Save"), QStringLiteral("Cancel"), QStringLiteral("Don't Save")};
    alert.cancelButton = 1;
    struct Case {
        QString press;
        int answer;
    };
    const Case cases[] = {{QStringLiteral("Save"), 0}, {QStringLiteral("Don't Save"), 2}, {QStringLiteral("Cancel"), 1}, {QString(), 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press.toStdString());
        answerWhenShown(c.press);
        EXPECT_EQ(dialogs.runAlert(alert, nullptr), c.answer);
    }
}

TEST(IXWidgetDialogsTest, ErrorShowsTheReasonAndTheLowerLayersText)
{
    IXWidgetDialogs dialogs;
    const PLError error = IXShellErrors::error(QStringLiteral("The document “map” could not be saved as “map.ixd”."),
                                               QStringLiteral("No space left on device"));
    QString shown;
    answerWhenShown(QStringLiteral("OK"), &shown);
    dialogs.presentError(error, nullptr);
    EXPECT_EQ(shown, "The document “map” could not be saved as “map.ixd”.|No space left on device");
}

} // namespace
