#include "platform/ui/printer.h"

#include <QCoreApplication>
#include <QPrinter>

namespace {

QPrinter *g_pPrinter = nullptr;

void DeletePrinter()
{
    delete g_pPrinter;
    g_pPrinter = nullptr;
}

} // namespace

QPrinter &AppPrinter()
{
    if (!g_pPrinter) {
        g_pPrinter = new QPrinter(QPrinter::HighResolution);
        // Printer plug-ins must not outlive the application they came with.
        qAddPostRoutine(DeletePrinter);
    }
    return *g_pPrinter;
}
