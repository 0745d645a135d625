#include "UtilityWidgets/UTFontTextField.h"

#include "Platform/Drawing/PLColor.h"
#include "TestSupport/QStringPrinter.h"
#include "Utilities/UTConversions.h"
#include "UtilityWidgets/UTColorToStringTransformer.h"
#include "UtilityWidgets/UTFontAttributesToStringTransformer.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(UTFontTextField, FontPickedInTheDialogBecomesTheValue)
{
    UTFontTextField field;
    field.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
    QSignalSpy changes(&field, &UTFontTextField::valueChanged);
    field.startFontEditing();
    QFontDialog* dialog = field.fontDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->currentFont().family(), QApplication::font().family());
    EXPECT_EQ(changes.count(), 0);

    QFont picked(QStringLiteral("Liberation Serif"), 14);
    picked.setBold(true);
    dialog->setCurrentFont(picked);
    ASSERT_GE(changes.count(), 1);
    const QFont value = field.property("value").value<QFont>();
    EXPECT_EQ(value.family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(value.pointSizeF(), 14);
    EXPECT_TRUE(value.bold());
    EXPECT_EQ(changes.last().at(0).value<QFont>(), value);
    EXPECT_EQ(field.text(), QStringLiteral("Liberation Serif Bold - 14"));

    // Writing the property (a binding) updates the field without the dialog.
    const qsizetype before = changes.count();
    field.setProperty("value", QFont(QStringLiteral("Liberation Sans"), 9));
    EXPECT_EQ(changes.count(), before + 1);
    EXPECT_EQ(field.text(), QStringLiteral("Liberation Sans - 9"));
    field.startFontEditing();
    EXPECT_EQ(dialog->currentFont().family(), QStringLiteral("Liberation Sans"));
}

TEST(UTValueTransformers, RegisteredByName)
{
    UTFontAttributesToStringTransformer::registerTransformers();
    auto colour = PLValueTransformer::valueTransformerForName(QStringLiteral("UTColorToStringTransformer"));
    auto font = PLValueTransformer::valueTransformerForName(QStringLiteral("UTFontAttributesToStringTransformer"));
    ASSERT_TRUE(colour);
    ASSERT_TRUE(font);
    EXPECT_TRUE(colour->allowsReverseTransformation());
    EXPECT_FALSE(font->allowsReverseTransformation());
    EXPECT_FALSE(PLValueTransformer::valueTransformerForName(QStringLiteral("Nothing")));

    const PLColor colours[] = {PLColor::rgb(1, 0.5f, 0), PLColor::grey(0.25f), PLColor::cmyk(0, 1, 0, 0.5f)};
    for (const PLColor& value : colours) {
        const QString text = UTConversions::stringFromColor(value);
        EXPECT_EQ(colour->transformedValue(text).value<PLColor>(), UTConversions::colorFromString(text));
        EXPECT_EQ(colour->reverseTransformedValue(QVariant::fromValue(value)).toString(), text);
    }
    EXPECT_EQ(colour->transformedValue(QVariant()).value<PLColor>(), PLColor::black());

    QFont italic(QStringLiteral("Liberation Mono"), 11);
    italic.setItalic(true);
    EXPECT_EQ(font->transformedValue(italic).toString(), QStringLiteral("Liberation Mono Italic - 11"));
    QFont half(QStringLiteral("Liberation Sans"));
    half.setPointSizeF(12.5);
    EXPECT_EQ(font->transformedValue(half).toString(), QStringLiteral("Liberation Sans - 12.5"));
    EXPECT_EQ(font->transformedValue(QStringLiteral("Arial")).toString(), QString());
}
