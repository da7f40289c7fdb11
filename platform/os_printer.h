#pragma once
// Printers: the system's printers (through the toolkit, CUPS where present)
// and a PDF printer that is always there and is the default when the machine
// names no printer. A printer device context draws on the printer's pages as
// vectors, in the printer's pixels, with the screen's font faces; its device
// pixel (0, 0) is the corner of the printable area, as the library expects.
//
// The PDF printer: Letter paper, 600 pixels per inch, colour, unprintable
// margins of a quarter inch; each job becomes "<document name>.pdf" in the
// directory os_config().print_directory (the current directory when empty).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_dc.h"

using OsPrinter = std::int32_t;

// Name of the printer that is always there.
constexpr std::string_view OsPdfPrinterName = "Quindarolex PDF";

// The default printer as "name,driver,port": the machine's entry
// (os_config().printer_name as it stands) or, when that is empty, the PDF
// printer's.
std::string os_default_printer_device();
// Names of the printers there are, the PDF printer first.
std::vector<std::string> os_printer_names();

// Fields of a device mode and their flags; only the fields below are
// reported, each with its flag in `fields`.
enum : std::uint32_t {
    OS_DM_ORIENTATION = 0x1,
    OS_DM_PAPERSIZE = 0x2,
    OS_DM_PAPERLENGTH = 0x4,
    OS_DM_PAPERWIDTH = 0x8,
    OS_DM_SCALE = 0x10,
    OS_DM_COPIES = 0x100,
    OS_DM_DEFAULTSOURCE = 0x200,
    OS_DM_PRINTQUALITY = 0x400,
    OS_DM_COLOR = 0x800,
    OS_DM_DUPLEX = 0x1000,
    OS_DM_YRESOLUTION = 0x2000,
    OS_DM_TTOPTION = 0x4000,
    OS_DM_COLLATE = 0x8000,
    OS_DM_MEDIATYPE = 0x2000000,
    OS_DM_DITHERTYPE = 0x4000000,
};
struct OsDevMode {
    std::uint32_t fields = 0;
    std::int16_t orientation = 1;    // 1 portrait, 2 landscape
    std::int16_t paper_size = 1;     // Windows paper number (1 Letter, 9 A4, ...)
    std::int16_t paper_length = 0, paper_width = 0, scale = 100;
    std::int16_t copies = 1;
    std::int16_t default_source = 0;
    std::int16_t print_quality = 600;  // pixels per inch
    std::int16_t colour = 2;         // 1 monochrome, 2 colour
    std::int16_t duplex = 1;         // 1 simplex, 2 long edge, 3 short edge
    std::int16_t y_resolution = 0, tt_option = 0;
    std::int16_t collate = 0;        // 0 no, 1 yes
    std::uint32_t media_type = 0, dither_type = 0;
};

// Opens a printer by name; 0 (and the last error) when there is none.
OsPrinter os_open_printer(std::string_view name);
bool os_close_printer(OsPrinter printer);
// The printer's device mode.
bool os_printer_devmode(OsPrinter printer, OsDevMode& mode);
// Merges the flagged fields of MODE into the printer's settings, keeping
// what the printer can do (a paper it does not know stays as it was), and
// gives the result back in MODE.
bool os_printer_merge_devmode(OsPrinter printer, OsDevMode& mode);

// An information context: asks about the printer, draws nothing. The
// driver name is not looked at.
OsDC os_create_ic(std::string_view driver, std::string_view device);
// A printer device context with a device mode (none: the printer's own).
OsDC os_create_printer_dc(std::string_view driver, std::string_view device, std::string_view port,
                          const OsDevMode* mode);

// Documents and pages on a printer device context. Start returns a positive
// job number, 0 or less on failure (last error set); a page is started
// explicitly and ended explicitly; ending the document ends the job (a page
// left open is ended with it). Deleting the context ends an open job.
std::int32_t os_start_doc(OsDC dc, std::string_view name);
bool os_start_page(OsDC dc);
bool os_end_page(OsDC dc);
bool os_end_doc(OsDC dc);

// The file the PDF printer wrote its last job to (UTF-8 path); empty when
// the last job went to a real printer or none was started. A job never
// replaces an earlier file: a name in use gets " (2)", " (3)", ... added.
std::string os_printer_output_file();

// The operating-system code of the last failed printer, metafile or
// clipboard call.
int os_last_error();
void os_set_last_error(int code);
