#pragma once

// Support for the pane tests: an inspector with a plain view, a host that keeps floating
// panels as the manager does, and mouse events with explicit screen positions.

#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXInspectorPanel.h"
#include "Inspectors/IXInspectorPanelHost.h"
#include "Inspectors/IXInspectorPanelView.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <vector>

class PlainInspector : public IXInspectorController {
    Q_OBJECT
public:
    explicit PlainInspector(const QString& title, QSize size = QSize(220, 100))
        : m_title(title)
    {
        m_view.resize(size);
    }
    bool isApplicable() const override { return applicable; }
    QString inspectorTitle() const override { return m_title; }
    QWidget* inspectorView() override { return &m_view; }

    bool applicable = true;

private:
    QString m_title;
    QWidget m_view;
};

class FakePanelHost : public IXInspectorPanelHost {
public:
    QList<IXInspectorPanel*> inspectorPanels() const override
    {
        QList<IXInspectorPanel*> result;
        for (const auto& panel : m_panels) result << panel.get();
        return result;
    }
    IXInspectorPanel* makeWindowForPanelView(IXInspectorPanelView* pane) override
    {
        m_panels.push_back(std::make_unique<IXInspectorPanel>());
        pane->setParent(m_panels.back().get());
        pane->show();
        return m_panels.back().get();
    }
    void closeWindow(IXInspectorPanel* panel) override
    {
        std::erase_if(m_panels, [panel](const auto& owned) { return owned.get() == panel; });
    }
    void closeInspectorPanel(IXInspectorPanel* panel) override
    {
        panel->setInspectorVisible(false);
        panel->hidePanel();
    }

    // A shown panel at the position holding a pane for each inspector.
    IXInspectorPanel* panelWith(const QList<IXInspectorController*>& inspectors, QPoint position)
    {
        IXInspectorPanel* panel = nullptr;
        for (IXInspectorController* inspector : inspectors) {
            auto* pane = new IXInspectorPanelView(this);
            pane->setController(inspector);
            if (!panel) {
                panel = makeWindowForPanelView(pane);
            } else {
                pane->setParent(panel);
                pane->show();
            }
            pane->updateInspectorView();
        }
        panel->move(position);
        panel->show();
        return panel;
    }

private:
    std::vector<std::unique_ptr<IXInspectorPanel>> m_panels;
};

// Sends a mouse event at a point of the widget, its screen position given by the widget's.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::KeyboardModifiers modifiers = {},
                      std::optional<QPoint> global = std::nullopt)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const QPoint screen = global ? *global : widget->mapToGlobal(local);
    const QPoint inWidget = global ? widget->mapFromGlobal(*global) : local;
    QMouseEvent event(type, QPointF(inWidget), QPointF(screen), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}
