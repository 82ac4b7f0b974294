// The web page of a printer's pen table: the 255 pens of the driver's pen
// settings file (width in millimetres, gray in percent), shown and edited
// in a form with PAPPL's CSRF protection. Every job of the printer prints
// with the table saved here.
#pragma once

#include <pappl/pappl.h>

namespace tavix::printerapp {

// Adds the page (PRINTER-PATH/pens) and its link on the printer's pages.
void addPenPage(pappl_printer_t* printer);

}  // namespace tavix::printerapp
