#pragma once

#include <QGroupBox>

// A titled frame whose enabled state is that of every control inside it, at any depth.
// While disabled it takes every mouse event meant for the widgets inside it, so none of
// them reacts; the frame and its title stay as they are.
class UTControlsFrameBox : public QGroupBox {
    Q_OBJECT

public:
    explicit UTControlsFrameBox(QWidget* parent = nullptr);
    explicit UTControlsFrameBox(const QString& title, QWidget* parent = nullptr);

    // The state of the controls; these hide QWidget's own, which would grey the frame too.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Gives each view and, recursively, its children the state.
    void setEnabledViews(bool enabled, const QList<QWidget*>& views);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    bool m_enabled = true;
};
