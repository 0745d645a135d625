#include "MapLayout/IXStartupServices.h"

#include "DocumentModel/IXIconsFolderStorage.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Text/PLFontSubstitutions.h"

#include <clocale>

void IXStartupServices::install()
{
    static const bool installed = [] {
        std::setlocale(LC_NUMERIC, "C");
        PLFontSubstitutions::install();
        IXIconsFolderStorage::installShared();
        // Lives as long as the process: cells are made until the last context goes.
        static IXMapCellFactory cells;
        IXLayoutCellFactory::install(&cells);
        return true;
    }();
    (void)installed;
}
