#include "DocumentWindow/IXPrintOperation.h"

#include "DocumentViews/IXPrintingView.h"
#include "DocumentWindow/IXDialogs.h"
#include "Platform/Core/PLError.h"
#include "Utilities/UTErrors.h"

#include <QCoreApplication>
#include <QPrinter>

#include <algorithm>

IXPrintOperation::IXPrintOperation(std::function<IXPrintingView*()> view, QWidget* window)
    : m_view(std::move(view))
    , m_window(window)
{
}

bool IXPrintOperation::print(const QVariantMap& settings, bool showPrintPanel, PLError* error)
{
    IXPrintingView* view = m_view ? m_view() : nullptr;
    if (!view || !view->layoutNode()) {
        PLSetError(error,
                   UTErrors::errorWithFailureReason(
                       QCoreApplication::translate("IXPrintOperation", "There is nothing to print in this window.")));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setCreator(QStringLiteral("Ideaflux"));
    printer.setFullPage(true);
    printer.setPageLayout(view->pageLayout());
    printer.setFromTo(1, view->pageCount());
    if (settings.contains(QStringLiteral("copies")))
        printer.setCopyCount(std::clamp(settings.value(QStringLiteral("copies")).toInt(), 1, 999));
    const QString outputFile = settings.value(QStringLiteral("outputFile")).toString();
    if (!outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile);
    }
    if (showPrintPanel && !IXDialogs::shared().runPrintPanel(printer, m_window)) return false;
    // The paper chosen in the panel is this view's from now on; its printable area is what
    // the printer can reach, or the view's own margins on a device without limits (a file).
    QPageLayout chosen = printer.pageLayout();
    chosen.setUnits(QPageLayout::Point);
    QMarginsF margins = chosen.minimumMargins();
    if (margins.isNull()) margins = view->basePageLayout().margins(QPageLayout::Point);
    QPageLayout paper(chosen.pageSize(), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    paper.setMinimumMargins(QMarginsF());
    paper.setMargins(margins);
    if (!(paper.pageSize() == view->basePageLayout().pageSize())
        || paper.margins() != view->basePageLayout().margins(QPageLayout::Point))
        view->setBasePageLayout(paper);
    return view->printPages(printer, error);
}
