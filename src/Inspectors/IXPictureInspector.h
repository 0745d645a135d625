#pragma once

#include "Inspectors/IXReferencesInspector.h"

class IXColorWell;
class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

// Shows and changes the selected pictures, floating ones and those of branches: name, export
// flag, size (while the aspect ratio is kept, a change of one side scales the other), opacity,
// the line to the branch a floating picture points at, and the file a picture refers to,
// which the user may replace through an open panel. Pictures are not inspected in the print
// view.
class IXPictureInspector : public IXReferencesInspector {
    Q_OBJECT
public:
    IXPictureInspector() = default;
    ~IXPictureInspector() override;

    QString inspectorTitle() const override;

    IXMixedValue<QString> pictureTargetRef() const;
    IXMixedValue<bool> pictureKeepAspect() const;
    void setPictureKeepAspect(bool keep);
    IXMixedValue<double> pictureSizeWidth() const;
    void setPictureSizeWidth(double width);
    IXMixedValue<double> pictureSizeHeight() const;
    void setPictureSizeHeight(double height);
    IXMixedValue<double> pictureOpacity() const;
    void setPictureOpacity(double opacity);
    // Whether every picture refers to a file.
    bool refersToFiles() const;
    // Asks for a picture file and gives it to every picture.
    void browseForPictureFile();
    // Gives every picture the file (one undo step).
    void setPictureFilePath(const QString& path);

    QWidget* pictureView() const { return m_pictureView; }
    QWidget* keepAspectSizeView() const { return m_size1View; }
    QWidget* freeSizeView() const { return m_size2View; }
    QWidget* connectionLineView() const { return m_connLineView; }
    QWidget* filePathView() const { return m_filePathView; }
    QLineEdit* nameField() const { return m_nameField; }
    QCheckBox* exportBox() const { return m_exportBox; }
    QCheckBox* keepAspectBox() const { return m_keepAspectBox1; }
    QDoubleSpinBox* widthBox() const { return m_widthBox2; }
    QDoubleSpinBox* heightBox() const { return m_heightBox2; }
    QDoubleSpinBox* scaledWidthBox() const { return m_widthBox1; }
    QDoubleSpinBox* opacityBox() const { return m_opacityBox; }
    IXColorWell* lineColorWell() const { return m_lineColorWell; }
    QLineEdit* filePathField() const { return m_filePathField; }
    QPushButton* browseButton() const { return m_browseButton; }

protected:
    QList<std::shared_ptr<IXNode>> nodesOfSelection() const override;
    void makeSections() override;
    QList<QWidget*> sectionsToShow() const override;
    bool rebuildsViewForStyleProperty(const QString& property) const override;
    void refreshControls() override;

private:
    QWidget* makeSizeSection(const QString& name, QCheckBox** keepAspect, QDoubleSpinBox** width,
                             QDoubleSpinBox** height);

    QWidget* m_pictureView = nullptr;
    QWidget* m_size1View = nullptr;
    QWidget* m_size2View = nullptr;
    QWidget* m_connLineView = nullptr;
    QWidget* m_filePathView = nullptr;
    QLineEdit* m_nameField = nullptr;
    QCheckBox* m_exportBox = nullptr;
    QDoubleSpinBox* m_opacityBox = nullptr;
    QCheckBox* m_keepAspectBox1 = nullptr;
    QCheckBox* m_keepAspectBox2 = nullptr;
    QDoubleSpinBox* m_widthBox1 = nullptr;
    QDoubleSpinBox* m_heightBox1 = nullptr;
    QDoubleSpinBox* m_widthBox2 = nullptr;
    QDoubleSpinBox* m_heightBox2 = nullptr;
    IXColorWell* m_lineColorWell = nullptr;
    QDoubleSpinBox* m_lineWidthBox = nullptr;
    QLineEdit* m_filePathField = nullptr;
    QPushButton* m_browseButton = nullptr;
};
