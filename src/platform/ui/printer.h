// The printer the whole program prints with. The printer setup, the page
// setup, printing and the print preview share it, so that a printer or paper
// chosen in one holds for the others until the program ends.
#pragma once

class QPrinter;

// Made on first use; it lives until the application object goes.
QPrinter &AppPrinter();
