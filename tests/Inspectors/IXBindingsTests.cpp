// Controls showing a value read over many objects, or the marker for none, differing values
// or an attribute that does not apply; filling a control never writes back.
#include "Inspectors/IXBindings.h"

#include "Inspectors/IXColorWell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(BindingsTest, ControlsShowTheValueOrTheMarker)
{
    struct Case {
        const char* name;
        IXMixedState state;
        QString placeholder;
        bool enabled;
        Qt::CheckState check;
    };
    const QList<Case> cases = {
        {"value", IXMixedState::Value, {}, true, Qt::Checked},
        {"no selection", IXMixedState::NoSelection, "No Selection", false, Qt::Unchecked},
        {"multiple", IXMixedState::MultipleValues, "Multiple Values", true, Qt::PartiallyChecked},
        {"not applicable", IXMixedState::NotApplicable, "Not Applicable", false, Qt::Unchecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto make = [&](auto value) {
            using V = IXMixedValue<decltype(value)>;
            switch (c.state) {
            case IXMixedState::Value:
                return V(value);
            case IXMixedState::NoSelection:
                return V::noSelection();
            case IXMixedState::MultipleValues:
                return V::multipleValues();
            case IXMixedState::NotApplicable:
                break;
            }
            return V::notApplicable();
        };
        QLineEdit field("old");
        QSignalSpy edited(&field, &QLineEdit::textChanged);
        IXBindings::show(&field, make(QStringLiteral("Title")));
        EXPECT_EQ(field.text(), c.state == IXMixedState::Value ? QStringLiteral("Title") : QString());
        EXPECT_EQ(field.placeholderText(), c.placeholder);
        EXPECT_EQ(field.isEnabled(), c.enabled);
        EXPECT_EQ(edited.count(), 0);

        QCheckBox box;
        QSignalSpy toggled(&box, &QCheckBox::stateChanged);
        IXBindings::show(&box, make(true));
        EXPECT_EQ(box.checkState(), c.check);
        EXPECT_EQ(box.isEnabled(), c.enabled);
        EXPECT_EQ(toggled.count(), 0);

        QDoubleSpinBox spin;
        spin.setRange(0, 10);
        IXBindings::show(&spin, make(2.5));
        EXPECT_EQ(spin.text(), c.state == IXMixedState::Value ? spin.textFromValue(2.5) : c.placeholder);
        EXPECT_EQ(spin.isEnabled(), c.enabled);

        QComboBox popUp;
        popUp.addItem("Left", 0);
        popUp.addItem("Right", 1);
        QSignalSpy chosen(&popUp, &QComboBox::currentIndexChanged);
        IXBindings::show(&popUp, make(1));
        EXPECT_EQ(popUp.currentText(), c.state == IXMixedState::Value ? QStringLiteral("Right") : QString());
        EXPECT_EQ(popUp.placeholderText(), c.placeholder);
        EXPECT_EQ(popUp.isEnabled(), c.enabled);
        EXPECT_EQ(chosen.count(), 0);

        IXColorWell well;
        QSignalSpy picked(&well, &IXColorWell::colorChosen);
        IXBindings::show(&well, make(PLColor::rgb(1, 0, 0)));
        EXPECT_EQ(well.mixedColor().state(), c.state);
        EXPECT_EQ(well.isEnabled(), c.enabled);
        EXPECT_EQ(picked.count(), 0);
    }
}

}  // namespace
