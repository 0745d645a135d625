#include "Inspectors/IXPictureInspector.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceTypeManager.h"
#include "DocumentModel/IXStyleKey.h"
#include "DocumentModel/IXStyleNode.h"
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace {

QString localized(const char* text)
{
    return IXInspectorForms::localized(text);
}

const QString LastPictureFolderKey = QStringLiteral("IXLastPictureFolder");

}  // namespace

IXPictureInspector::~IXPictureInspector() = default;

QString IXPictureInspector::inspectorTitle() const
{
    return localized("Picture");
}

QList<std::shared_ptr<IXNode>> IXPictureInspector::nodesOfSelection() const
{
    return selection().allPictures();
}

QWidget* IXPictureInspector::makeSizeSection(const QString& name, QCheckBox** keepAspect, QDoubleSpinBox** width,
                                             QDoubleSpinBox** height)
{
    QFormLayout* form = nullptr;
    QWidget* section = IXInspectorForms::section(name, &form);
    *keepAspect = new QCheckBox(localized("Keep aspect ratio"));
    form->addRow(QString(), *keepAspect);
    *width = IXInspectorForms::spinBox(1, 100000, 1, 0);
    *height = IXInspectorForms::spinBox(1, 100000, 1, 0);
    form->addRow(localized("Width:"), *width);
    form->addRow(localized("Height:"), *height);
    m_bindings.bind(
        *keepAspect, [this] { return pictureKeepAspect(); }, [this](bool v) { setPictureKeepAspect(v); });
    m_bindings.bind(
        *width, [this] { return pictureSizeWidth(); }, [this](double v) { setPictureSizeWidth(v); });
    m_bindings.bind(
        *height, [this] { return pictureSizeHeight(); }, [this](double v) { setPictureSizeHeight(v); });
    addSection(section);
    return section;
}

void IXPictureInspector::makeSections()
{
    QFormLayout* form = nullptr;
    m_pictureView = IXInspectorForms::section(QStringLiteral("IXPictureSection"), &form);
    m_nameField = new QLineEdit;
    form->addRow(localized("Name:"), m_nameField);
    m_exportBox = new QCheckBox(localized("Include in export"));
    form->addRow(QString(), m_exportBox);
    m_opacityBox = IXInspectorForms::spinBox(0, 1, 0.05, 2);
    form->addRow(localized("Opacity:"), m_opacityBox);
    m_bindings.bind(
        m_nameField, [this] { return name(); }, [this](const QString& v) { setName(v); });
    m_bindings.bind(
        m_exportBox, [this] { return includeInExport(); }, [this](bool v) { setIncludeInExport(v); });
    m_bindings.bind(
        m_opacityBox, [this] { return pictureOpacity(); }, [this](double v) { setPictureOpacity(v); });
    addSection(m_pictureView);

    // While the ratio is kept the two sides move together; otherwise each is free.
    m_size1View
        = makeSizeSection(QStringLiteral("IXPictureKeptSizeSection"), &m_keepAspectBox1, &m_widthBox1, &m_heightBox1);
    m_heightBox1->setToolTip(localized("The other side follows in proportion"));
    m_widthBox1->setToolTip(m_heightBox1->toolTip());
    m_size2View
        = makeSizeSection(QStringLiteral("IXPictureFreeSizeSection"), &m_keepAspectBox2, &m_widthBox2, &m_heightBox2);

    m_connLineView = IXInspectorForms::section(QStringLiteral("IXPictureLineSection"), &form);
    m_lineColorWell = new IXColorWell;
    m_lineWidthBox = IXInspectorForms::spinBox(0, 20, 0.5);
    auto* lineRow = IXInspectorForms::wellsRow({{m_lineColorWell, localized("Line color")}});
    static_cast<QHBoxLayout*>(lineRow->layout())->insertWidget(1, m_lineWidthBox);
    form->addRow(localized("Line:"), lineRow);
    m_bindings.bind(
        m_lineColorWell, [this] { return floatingLineColor(); }, [this](const PLColor& v) { setFloatingLineColor(v); });
    m_bindings.bind(
        m_lineWidthBox, [this] { return floatingLineWidth(); }, [this](double v) { setFloatingLineWidth(v); });
    addSection(m_connLineView);

    m_filePathView = IXInspectorForms::section(QStringLiteral("IXPictureFileSection"), &form);
    m_filePathField = new QLineEdit;
    m_filePathField->setReadOnly(true);
    m_browseButton = new QPushButton(localized("Browse..."));
    m_browseButton->setAutoDefault(false);
    auto* fileRow = new QWidget;
    auto* fileLayout = new QHBoxLayout(fileRow);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->addWidget(m_filePathField, 1);
    fileLayout->addWidget(m_browseButton);
    form->addRow(localized("File:"), fileRow);
    PLExceptionBoundary::connect(m_browseButton, &QPushButton::clicked, this, [this] { browseForPictureFile(); });
    addSection(m_filePathView);
}

QList<QWidget*> IXPictureInspector::sectionsToShow() const
{
    QList<QWidget*> sections = {m_pictureView};
    const IXMixedValue<bool> keep = pictureKeepAspect();
    sections.append(keep.hasValue() && keep.value() ? m_size1View : m_size2View);
    if (hasConnectionTargets()) sections.append(m_connLineView);
    if (refersToFiles()) sections.append(m_filePathView);
    return sections;
}

bool IXPictureInspector::rebuildsViewForStyleProperty(const QString& property) const
{
    return property == IXStyleKeys::name(IXStyleKey::PictureKeepAspect);
}

void IXPictureInspector::refreshControls()
{
    IXBindings::show(m_filePathField, pictureTargetRef());
    const IXMixedValue<QString> target = pictureTargetRef();
    if (target.hasValue()) m_filePathField->setText(QUrl(target.value()).toLocalFile());
    m_browseButton->setEnabled(!nodes().empty());
}

IXMixedValue<QString> IXPictureInspector::pictureTargetRef() const
{
    return readNodes([](IXReferenceNode& node) { return node.targetRef(); });
}

bool IXPictureInspector::refersToFiles() const
{
    const IXMixedValue<int> location = readNodes([](IXReferenceNode& node) { return node.targetLocation(); });
    return location.hasValue() && location.value() == IXReferenceNode::LocationFile;
}

IXMixedValue<bool> IXPictureInspector::pictureKeepAspect() const
{
    return readStyles<bool>([](const IXStyleNode& s) { return s.pictureKeepAspect(); });
}

void IXPictureInspector::setPictureKeepAspect(bool keep)
{
    writeStyles([=](IXStyleNode& s) { s.setPictureKeepAspect(keep); });
}

IXMixedValue<double> IXPictureInspector::pictureSizeWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.pictureSizeWidth(); }));
}

void IXPictureInspector::setPictureSizeWidth(double width)
{
    writeStyles([=](IXStyleNode& s) { s.setPictureSizeWidth(float(width)); });
}

IXMixedValue<double> IXPictureInspector::pictureSizeHeight() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.pictureSizeHeight(); }));
}

void IXPictureInspector::setPictureSizeHeight(double height)
{
    writeStyles([=](IXStyleNode& s) { s.setPictureSizeHeight(float(height)); });
}

IXMixedValue<double> IXPictureInspector::pictureOpacity() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.pictureOpacity(); }));
}

void IXPictureInspector::setPictureOpacity(double opacity)
{
    writeStyles([=](IXStyleNode& s) { s.setPictureOpacity(float(opacity)); });
}

void IXPictureInspector::browseForPictureFile()
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!services || nodes().empty()) return;
    IXApplicationServices::OpenPanelOptions options;
    options.title = localized("Select Picture File");
    options.allowedFileTypes
        = IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypePicture).value_or(QStringList());
    // A stored folder that has gone leaves the panel its own choice.
    const QString folder = services->userDefault(LastPictureFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) options.directory = folder;
    const std::optional<IXApplicationServices::OpenPanelResult> result = services->runOpenPanel(options);
    if (!result || result->paths.isEmpty() || result->paths.first().isEmpty()) return;
    const QString directory
        = result->directory.isEmpty() ? QFileInfo(result->paths.first()).absolutePath() : result->directory;
    services->setUserDefault(LastPictureFolderKey, directory);
    setPictureFilePath(result->paths.first());
    updateControls();
}

void IXPictureInspector::setPictureFilePath(const QString& path)
{
    writeNodes([&](IXReferenceNode& node) { node.setFilePath(path); });
}
