#include "DocumentWindow/IXDialogs.h"

#include "DocumentWindow/IXWidgetDialogs.h"

namespace {

IXDialogs* installed = nullptr;

} // namespace

IXDialogs::~IXDialogs()
{
    if (installed == this) installed = nullptr;
}

IXDialogs& IXDialogs::shared()
{
    if (installed) return *installed;
    static IXWidgetDialogs widgets;
    return widgets;
}

void IXDialogs::install(IXDialogs* dialogs)
{
    installed = dialogs;
}

bool IXDialogs::runPrintPanel(QPrinter&, QWidget*)
{
    return false;
}
