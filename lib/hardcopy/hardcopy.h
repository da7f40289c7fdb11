#pragma once
// The hardcopy front end: driver selection, the start and stop of a run,
// the option table, the options entry, the image print options, the
// printer, plotter and HP-GL/2 device models, and the output channel with
// its spool file and print command that every file driver writes through.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lib/hardcopy/hcstate.h"

struct HardcopyOptionTable;

// ---------------------------------------------------------------- front end

// KIND 1 selects driver N and sends it operation 1; other kinds do nothing.
void igrhardcopyselect(int kind, int n);
// Ends the active run; then NAME "S" or "s" (exactly one character) stops,
// runs a pending print command and removes its spool file; anything else
// starts a run with NAME as output name or print command ("... @ ...").
void igrhardcopy(std::optional<std::string_view> name = std::nullopt,
                 std::optional<std::string_view> title = std::nullopt);
// Where the last printed job went when no printer took it but the PDF file
// that stands in for one; empty otherwise.
std::string printed_file();

// ---------------------------------------------------------------- options

// Checks and stores one option; values that fail their check are ignored.
void igrhardcopyoptions(int code, int value);

// Shows the set-up of the selected driver: the page set-up dialog for the
// Windows printer, the library's own dialogs for the others. MEASURE: 0
// points, 1 inches, 2 centimetres, 3 millimetres; negative restricts the
// library dialogs; absent or above 3 follows the locale. With NAME the
// dialog edits it instead of the driver's output name.
void WHardcopyOptions(std::optional<int> measure = std::nullopt, std::string* name = nullptr);

// The set-up dialog of the drivers that write for a device chosen from a
// list (1 HP-GL plotter, 2 PostScript, 4 raster printer, 12 HP-GL/2): the
// output name, the page in a unit (0 points, 1 inches, 2 centimetres, 3
// millimetres), the orientation, the device (PostScript: the format) and
// the driver's option dialog. OPTIONS is the option table the dialog edits
// in place. A non-zero FIXED_FORMAT keeps PostScript to printer PostScript
// and the option dialog shut; RESTRICTED locks the colour and line options
// of the option dialog. The dialog result is 1 after OK, 0 after Cancel,
// unchanged when the dialog cannot be loaded.
void yypgdlg1(std::int32_t units, std::string& name, std::int32_t driver, HardcopyOptionTable& options,
              std::int32_t fixed_format, std::int32_t restricted);
// The option dialog of resource RESOURCE: field 1000 + k shows option k of
// the selected driver, and OK hands every changed value to
// igrhardcopyoptions. MODE 3 shows it semi-modeless with the output name
// (a browse button, the format lists' extensions, the metafile driver's
// file or clipboard choice); any other mode shows it modal without them.
void yypgdlg2(std::int32_t units, std::string& name, std::int32_t resource, std::int32_t mode,
              std::int32_t restricted);

// Chooses the device of image prints (2 PostScript, 4 raster printer,
// otherwise the Windows printer) and fills ImagePrintOptions.
void igrprintimageselect(std::optional<int> idriver = std::nullopt);
// The start's choice: the Windows printer, as igrprintimageselect(0) makes
// it, with the printer asked only when something first needs it
// (settle_printer_query).
void choose_start_image_printer();

// ---------------------------------------------------------------- models

void iprinter(int model);
void iplotter(int model);
void iprinter2(int device);
// Display name of the selected model: 1 raster printer, 2 plotter (27
// characters), 3 HP-GL/2 device type (31); blank for other kinds or while
// nothing is selected.
std::string model_display_name(int kind);
// Display names by number (blank outside the tables).
std::string printer_model_name(int model);
std::string plotter_model_name(int model);
std::string hpgl2_device_name(int device);

// ---------------------------------------------------------------- output channel

// The channel gathers what is written into blocks of hcstate.channel_block
// bytes and writes a block when it is full, at the close, and before it
// hands out its handle. A failed write sets HardcopyErrorFlag at once and is
// reported (error 2, its operating-system code) at the close; a regular file
// is then left as it was, since only a whole file is renamed onto it.

// Opens DriverText (the working output name) for writing on channel UNIT.
void yyprop(int unit);
// TEXT, its full length, and CR LF, together.
void yyprwl(int unit, std::string_view text);
// BUFFER, its full length, unchanged.
void yyprou(int unit, std::string_view buffer);
// The first N bytes of quin01 (N within 0..40000), then CR LF when crlf is
// non-zero.
void yyprbu(int unit, int n, int crlf);
// Writes what is gathered, puts the file in place and reports the first
// failed write.
void yyprcl(int unit);
// The operating-system handle of channel UNIT (-1 when closed), after what
// the channel gathered is written.
void yyprfh(int unit, std::int32_t& handle);
// The operating-system code of the first write of the open channel that
// failed; 0 while none has.
int channel_write_status(int unit);
// Every open channel closed without writing what it gathered or reporting;
// a file beside a target is removed. For the state's reset.
void discard_output_channels();

// Replaces the extension of a fixed-length name, or appends one when the
// last path component has none; what does not fit is cut.
void set_extension(std::string& name, std::string_view extension);

// Builds SpoolPlotName and SpoolDumpName.
void yytmpprn();
// Runs LINE through the shell and waits, the windows serviced meanwhile.
void yyprncmd(std::string_view line);

// ---------------------------------------------------------------- drivers

// Enters every hardcopy driver that exists in grlinks.hardcopy_drivers.
void install_hardcopy_drivers();
