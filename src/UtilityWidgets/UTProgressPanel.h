#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The window long work reports through: a label saying what is being done, a progress bar
// and a Cancel button. The worker updates the label and the bar, and checks isCancelled()
// (or listens to cancelled()) to stop. The window owns its controls.
class UTProgressPanel : public QDialog {
    Q_OBJECT

public:
    explicit UTProgressPanel(QWidget* parent = nullptr);

    QPushButton* cancelButton() const { return m_cancelButton; }
    QProgressBar* progressIndicator() const { return m_progressIndicator; }
    QLabel* labelTextField() const { return m_labelTextField; }

    // Whether Cancel was pressed since the panel was last shown.
    bool isCancelled() const { return m_cancelled; }

signals:
    void cancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QPushButton* m_cancelButton;
    QProgressBar* m_progressIndicator;
    QLabel* m_labelTextField;
    bool m_cancelled = false;
};
