#include "Inspectors/IXInspectorForms.h"

#include "Inspectors/IXColorWell.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QWidget>

QWidget* IXInspectorForms::section(const QString& name, QFormLayout** form)
{
    auto* section = new QWidget;
    section->setObjectName(name);
    section->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    *form = new QFormLayout(section);
    (*form)->setContentsMargins(8, 6, 8, 6);
    (*form)->setHorizontalSpacing(8);
    (*form)->setVerticalSpacing(4);
    (*form)->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    (*form)->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return section;
}

QWidget* IXInspectorForms::wellsRow(std::initializer_list<std::pair<IXColorWell*, QString>> wells)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (const auto& [well, tip] : wells) {
        well->setToolTip(tip);
        layout->addWidget(well);
    }
    layout->addStretch();
    return row;
}

QDoubleSpinBox* IXInspectorForms::spinBox(double minimum, double maximum, double step, int decimals)
{
    auto* box = new QDoubleSpinBox;
    // The minimum stays below every value, for the markers' text.
    box->setRange(minimum - step, maximum);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    // Wide enough for the markers' text.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("Multiple Values")) + 32);
    return box;
}

QString IXInspectorForms::localized(const char* text)
{
    return PLLocalizedStrings::string(QString::fromUtf8(text));
}

IXMixedValue<double> IXInspectorForms::toDouble(const IXMixedValue<float>& value)
{
    if (value.hasValue()) return IXMixedValue<double>(value.value());
    return marker<double>(value);
}
