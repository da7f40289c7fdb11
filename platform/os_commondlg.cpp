#include "platform/os_commondlg.h"

#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/os_app.h"
#include "platform/os_codepage_qt.h"
#include "platform/os_config.h"
#include "platform/os_file.h"
#include "platform/os_msgbox.h"
#include "platform/os_printer.h"
#include "platform/os_window.h"
#include "platform/os_window_p.h"

namespace {

OsCommonDialogResponder g_responder;
std::string g_grab;

// A refused answer asks again; a responder that keeps giving refused
// answers is taken as a user who gave up.
constexpr int MaxRounds = 16;

QColor qcolour_of(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}


// A real dialog can be shown: a display, or a grab asked for.
bool can_show() {
    if (!g_grab.empty()) return os_app_gui();
    if (!QCoreApplication::instance() && !os_app_display_expected()) return false;
    return os_app_gui() && os_app_interactive();
}

// Runs a dialog as a modal phase of our own: the toolkit delivers its
// events, our windows get their paint messages, until the dialog ends.
// With a grab asked for, the dialog is drawn to the file and cancelled.
int run_modal(QDialog& dialog) {
    if (!g_grab.empty()) {
        const std::string file = g_grab;
        g_grab.clear();
        // A file or folder dialog lists its directory from a thread of its
        // own: on a busy machine the listing can take longer than the moment
        // every dialog is given, so such a dialog waits for it (up to a
        // bound, should it never come).
        bool listed = true;
        if (auto* model = dialog.findChild<QFileSystemModel*>()) {
            listed = false;
            QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&listed](const QString&) { listed = true; });
        }
        dialog.resize(dialog.sizeHint().expandedTo(QSize(560, 380)));
        dialog.show();
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 400 || (!listed && shown.elapsed() < 10000)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
        dialog.grab().save(QString::fromUtf8(file.c_str()), "PNG");
        dialog.reject();
        return QDialog::Rejected;
    }
    dialog.setModal(true);
    dialog.open();
    while (dialog.isVisible()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
        OsMsg m;
        while (os_peek_message(m, 0, OSM_PAINT, OSM_PAINT, OS_PM_REMOVE)) os_dispatch_message(m);
    }
    // What the caller does next may take a while: the dialog is off the
    // screen before it starts.
    os_show_now();
    return dialog.result();
}

bool is_directory(const std::string& path) {
    OsFileInfo info;
    return os_file_info(path, info) == 0 && (info.attributes & 0x10) != 0;
}

bool exists(const std::string& path) {
    OsFileInfo info;
    return os_file_info(path, info) == 0;
}

std::string join(const std::string& dir, const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string dir_of(const std::string& path) {
    const auto p = path.rfind('/');
    if (p == std::string::npos) return {};
    return p == 0 ? std::string("/") : path.substr(0, p);
}

std::string name_of(const std::string& path) {
    const auto p = path.rfind('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

// The extension of a filter's first pattern ("*.grd" gives "grd"); none for "*.*" and the like.
std::string filter_extension(const OsCommonDialogRequest& rq, int index) {
    if (index < 1 || index > static_cast<int>(rq.filters.size())) return {};
    std::string pat = rq.filters[static_cast<std::size_t>(index - 1)].pattern;
    pat = pat.substr(0, pat.find(';'));
    const auto dot = pat.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = pat.substr(dot + 1);
    if (ext.empty() || ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

// Asks through the message box; true for Yes.
bool ask(const std::string& text, const std::string& title) {
    return os_message_box(text, title, OS_MB_YESNO | OS_MB_ICONEXCLAMATION) == OS_IDYES;
}
void tell(const std::string& text, const std::string& title) {
    os_message_box(text, title, OS_MB_OK | OS_MB_ICONEXCLAMATION);
}

enum class Check { Accept, Again, Fail };

// The file dialog's checks of one answer; on Accept the result text is made.
Check check_files(const OsCommonDialogRequest& rq, OsCommonDialogAnswer& a, std::string& result,
                  std::uint32_t& error) {
    const bool save = rq.kind == OsCommonDialogKind::Save;
    if (a.files.empty()) return Check::Again;
    if (a.files.size() > 1 && (save || !(rq.flags & OS_OFN_ALLOWMULTISELECT))) a.files.resize(1);
    std::vector<std::string> full;
    for (std::string f : a.files) {
        if (f.empty()) return Check::Again;
        if (rq.add_extension && name_of(f).find('.') == std::string::npos) {
            const std::string ext = filter_extension(rq, a.filter_index);
            if (!ext.empty()) f += "." + ext;
        }
        full.push_back(join(a.directory, f));
    }
    for (const std::string& p : full) {
        const std::string dir = dir_of(p);
        if ((rq.flags & OS_OFN_PATHMUSTEXIST) && !dir.empty() && !is_directory(dir)) {
            tell(p + "\r\nPath does not exist.\r\nCheck the path and try again.", rq.title);
            return Check::Again;
        }
        if (is_directory(p)) return Check::Again;   // a folder was opened, not chosen
        const bool there = exists(p);
        if (!save && !there && (rq.flags & OS_OFN_FILEMUSTEXIST)) {
            tell(p + "\r\nFile not found.\r\nCheck the file name and try again.", rq.title);
            return Check::Again;
        }
        if (!save && !there && (rq.flags & OS_OFN_CREATEPROMPT)) {
            if (!ask(p + "\r\nThis file does not exist.\r\nDo you want to create it?", rq.title)) return Check::Again;
        }
        if (save && there && (rq.flags & OS_OFN_OVERWRITEPROMPT)) {
            if (!ask(p + " already exists.\r\nDo you want to replace it?", rq.title)) return Check::Again;
        }
    }
    // The result: one full path, or the directory and the names.
    std::string text;
    std::size_t room = 0;
    if (full.size() == 1) {
        text = full[0];
        room = text.size() + 1;
    } else {
        text = dir_of(full[0]);
        text += '\0';
        for (const std::string& p : full) {
            text += name_of(p);
            text += '\0';
        }
        room = text.size() + 1;
    }
    if (room > rq.buffer_length) {
        error = OS_FNERR_BUFFERTOOSMALL;
        return Check::Fail;
    }
    result = text;
    // The system's dialog leaves the process in the directory chosen from.
    const std::string d = dir_of(full[0]);
    if (!d.empty()) os_dir_set_current(d);
    return Check::Accept;
}

QString qt_filter(const OsFileFilter& f) {
    QString patterns = os_qstring(f.pattern);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return os_qstring(f.description) + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

// The answer of the real file dialog.
OsCommonDialogAnswer real_file_dialog(const OsCommonDialogRequest& rq, OsCommonDialogAnswer* last) {
    QFileDialog dlg(osw::toolkit_dialog_owner());
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);   // asked by our own check
    dlg.setWindowTitle(os_qstring(rq.title));
    const bool save = rq.kind == OsCommonDialogKind::Save;
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(!save && (rq.flags & OS_OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles
                    : !save && (rq.flags & OS_OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
    QStringList filters;
    for (const OsFileFilter& f : rq.filters) filters << qt_filter(f);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int i = std::clamp(last ? last->filter_index : rq.filter_index, 1, static_cast<int>(filters.size()));
        dlg.selectNameFilter(filters[i - 1]);
    }
    dlg.setDirectory(os_qstring(last ? last->directory : rq.directory));
    if (!rq.name.empty() && !last) dlg.selectFile(os_qstring(rq.name));
    OsCommonDialogAnswer a;
    if (run_modal(dlg) != QDialog::Accepted) return a;
    a.ok = true;
    a.directory = os_from_qstring(dlg.directory().absolutePath());
    for (const QString& f : dlg.selectedFiles()) a.files.push_back(os_from_qstring(f));
    a.filter_index = filters.isEmpty() ? 0 : static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
    return a;
}

// The page set-up of the printer, kept between dialogs. Papers are known
// by their numeric codes, the ones the printer's device mode carries.
constexpr int CustomPaperCode = 256;

int paper_code(const QPageSize& size) {
    const int code = size.windowsId();
    return code > 0 ? code : CustomPaperCode;
}

QPageSize page_size_of(int code, const OsPageSetup& s) {
    if (code > 0 && code != CustomPaperCode) {
        const QPageSize p(QPageSize::id(code));
        if (p.isValid()) return p;
    }
    // A paper of its own size, from the recorded width and length.
    if (s.prWidth > 0 && s.prLength > 0)
        return QPageSize(QSizeF(s.prWidth / 10.0, s.prLength / 10.0), QPageSize::Millimeter);
    return QPageSize(QPageSize::A4);
}

// The papers offered: every size of the toolkit's list that has a code,
// each once.
std::vector<QPageSize> paper_list() {
    std::vector<QPageSize> out;
    std::vector<int> seen;
    for (int i = 0; i <= static_cast<int>(QPageSize::LastPageSize); ++i) {
        const QPageSize p(static_cast<QPageSize::PageSizeId>(i));
        const int code = p.isValid() ? p.windowsId() : 0;
        if (code <= 0 || std::find(seen.begin(), seen.end(), code) != seen.end()) continue;
        seen.push_back(code);
        out.push_back(p);
    }
    return out;
}

bool is_pdf_printer(const std::string& name) { return name.empty() || name == "PDF" || name == OsPdfPrinterName; }

// A printer for the configured name, or the PDF printer that stands in.
std::unique_ptr<QPrinter> make_printer(const std::string& device) {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    std::string name = device.empty() ? os_app_printer_name() : device;
    name = name.substr(0, name.find(','));
    if (!is_pdf_printer(name) && !QPrinterInfo::printerInfo(os_qstring(name)).isNull()) {
        p->setPrinterName(os_qstring(name));
    } else {
        p->setOutputFormat(QPrinter::PdfFormat);
        // The stand-in's paper follows the user's measures: A4, or Letter where inches are used.
        p->setPageSize(QPageSize(os_config().measurement_system == 1 ? QPageSize::Letter : QPageSize::A4));
        p->setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    }
    return p;
}

int to_units(double mm, int units) {
    return static_cast<int>(units == 0 ? mm / 25.4 * 1000.0 + 0.5 : mm * 100.0 + 0.5);
}
double from_units(int v, int units) { return units == 0 ? v * 25.4 / 1000.0 : v / 100.0; }

void read_printer(const QPrinter& p, OsPageSetup& s) {
    const QPageLayout layout = p.pageLayout();
    const QSizeF paper = layout.fullRectPoints().size() * (25.4 / 72.0);   // as oriented, mm
    const QMarginsF m = layout.margins(QPageLayout::Millimeter);
    s.paper_width = to_units(paper.width(), s.units);
    s.paper_height = to_units(paper.height(), s.units);
    s.left = to_units(m.left(), s.units);
    s.top = to_units(m.top(), s.units);
    s.right = to_units(m.right(), s.units);
    s.bottom = to_units(m.bottom(), s.units);
    s.orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    s.copies = std::max(1, p.copyCount());
    const bool pdf = p.outputFormat() == QPrinter::PdfFormat;
    s.driver = pdf ? "PDF" : "CUPS";
    s.device = pdf ? std::string(OsPdfPrinterName) : os_from_qstring(p.printerName());
    s.port = pdf ? "FILE:" : os_from_qstring(p.printerName());
    const QSizeF portrait = layout.pageSize().size(QPageSize::Millimeter);
    s.paper_code = paper_code(layout.pageSize());
    s.prSize = s.paper_code;
    s.prWidth = static_cast<int>(portrait.width() * 10.0 + 0.5);
    s.prLength = static_cast<int>(portrait.height() * 10.0 + 0.5);
    s.prScale = 100;
    s.prSource = 7;                       // automatic paper feed
    s.prQuality = p.resolution();
    s.prYRes = p.resolution();
    s.prColor = p.colorMode() == QPrinter::Color ? 2 : 1;
    s.prDuplex = p.duplex() == QPrinter::DuplexLongSide ? 2 : p.duplex() == QPrinter::DuplexShortSide ? 3 : 1;
    s.prTTOption = 1;                     // text drawn as graphics
    s.prCollate = p.collateCopies() ? 1 : 0;
    s.prMedia = 1;                        // standard paper
    s.prDither = 0;
    s.colours = p.colorMode() == QPrinter::Color ? 16777216 : 2;
}


// The page set-up: printer, paper, orientation and margins. It is ours, not
// the toolkit's, so that it serves the PDF printer as it serves the
// system's printers; OK fills the setup from the printer as chosen.
bool run_page_setup(OsPageSetup& setup) {
    QDialog dlg(osw::toolkit_dialog_owner());
    dlg.setWindowTitle(QStringLiteral("Page Setup"));
    auto* form = new QFormLayout;

    auto* printer = new QComboBox;
    std::string current = setup.device.empty() ? os_default_printer_device() : setup.device;
    current = current.substr(0, current.find(','));
    for (const std::string& n : os_printer_names()) {
        const std::string shown = n == OsPdfPrinterName ? n + " (file)" : n;
        printer->addItem(os_qstring(shown), os_qstring(n));
        if (n == current || (is_pdf_printer(current) && n == OsPdfPrinterName)) printer->setCurrentIndex(printer->count() - 1);
    }
    form->addRow(QStringLiteral("&Printer:"), printer);

    auto* paper = new QComboBox;
    const QPageSize chosen = page_size_of(setup.paper_code, setup);
    const std::vector<QPageSize> papers = paper_list();
    for (const QPageSize& ps : papers) {
        paper->addItem(ps.name(), ps.windowsId());
        if (ps.windowsId() == chosen.windowsId()) paper->setCurrentIndex(paper->count() - 1);
    }
    if (paper_code(chosen) == CustomPaperCode) {
        paper->addItem(chosen.name(), CustomPaperCode);
        paper->setCurrentIndex(paper->count() - 1);
    }
    form->addRow(QStringLiteral("Paper si&ze:"), paper);

    auto* orientation = new QGroupBox(QStringLiteral("Orientation"));
    auto* portrait = new QRadioButton(QStringLiteral("P&ortrait"));
    auto* landscape = new QRadioButton(QStringLiteral("&Landscape"));
    (setup.orientation == 1 ? landscape : portrait)->setChecked(true);
    auto* orient_row = new QHBoxLayout(orientation);
    orient_row->addWidget(portrait);
    orient_row->addWidget(landscape);
    form->addRow(orientation);

    // Margins in the caller's measures: inches or millimetres.
    const bool inches = setup.units == 0;
    auto margin = [&](int value) {
        auto* box = new QDoubleSpinBox;
        box->setDecimals(inches ? 2 : 1);
        box->setRange(0.0, inches ? 20.0 : 500.0);
        box->setSingleStep(inches ? 0.1 : 1.0);
        box->setSuffix(inches ? QStringLiteral(" in") : QStringLiteral(" mm"));
        box->setValue(from_units(value, setup.units) / (inches ? 25.4 : 1.0));
        return box;
    };
    auto* left = margin(setup.left);
    auto* right = margin(setup.right);
    auto* top = margin(setup.top);
    auto* bottom = margin(setup.bottom);
    form->addRow(QStringLiteral("L&eft:"), left);
    form->addRow(QStringLiteral("&Right:"), right);
    form->addRow(QStringLiteral("&Top:"), top);
    form->addRow(QStringLiteral("&Bottom:"), bottom);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    form->addRow(buttons);
    dlg.setLayout(form);
    if (run_modal(dlg) != QDialog::Accepted) return false;

    auto p = make_printer(os_from_qstring(printer->currentData().toString()));
    const int code = paper->currentData().toInt();
    p->setPageSize(code == CustomPaperCode ? chosen : QPageSize(QPageSize::id(code)));
    p->setPageOrientation(landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    const double to_mm = inches ? 25.4 : 1.0;
    p->setPageMargins(QMarginsF(left->value() * to_mm, top->value() * to_mm, right->value() * to_mm,
                                bottom->value() * to_mm),
                      QPageLayout::Millimeter);
    p->setCopyCount(std::max(1, setup.copies));
    read_printer(*p, setup);
    return true;
}

}  // namespace

void os_common_dialog_set_responder(OsCommonDialogResponder responder) { g_responder = std::move(responder); }

void os_common_dialog_grab_next(const std::string& utf8_png) { g_grab = utf8_png; }

bool os_file_dialog(const OsCommonDialogRequest& request, std::string& result, int& filter_index,
                    std::uint32_t& error) {
    error = 0;
    OsCommonDialogRequest rq = request;
    OsCommonDialogAnswer last;
    const bool real = !g_responder;
    if (real && !can_show()) {
        error = OS_CDERR_DIALOGFAILURE;
        return false;
    }
    for (int round = 1; round <= MaxRounds; ++round) {
        rq.round = round;
        OsCommonDialogAnswer a = real ? real_file_dialog(rq, round > 1 ? &last : nullptr) : g_responder(rq);
        if (!a.ok) {
            error = a.error;
            return false;
        }
        if (rq.filters.empty()) a.filter_index = 0;
        else if (a.filter_index < 1 || a.filter_index > static_cast<int>(rq.filters.size())) a.filter_index = rq.filter_index;
        if (a.directory.empty()) a.directory = rq.directory;
        last = a;
        const Check c = check_files(rq, a, result, error);
        if (c == Check::Accept) {
            filter_index = a.filter_index;
            return true;
        }
        if (c == Check::Fail) return false;
        rq.directory = a.directory;
        rq.filter_index = std::max(1, a.filter_index);
    }
    return false;
}

bool os_colour_dialog(std::uint32_t& colour, std::array<std::uint32_t, 16>& custom, std::uint32_t& error) {
    error = 0;
    OsCommonDialogAnswer a;
    if (g_responder) {
        OsCommonDialogRequest rq;
        rq.kind = OsCommonDialogKind::Colour;
        rq.colour = colour;
        rq.custom = custom;
        a = g_responder(rq);
        if (a.ok) custom = a.custom;
    } else {
        if (!can_show()) {
            error = OS_CDERR_DIALOGFAILURE;
            return false;
        }
        for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, qcolour_of(custom[static_cast<std::size_t>(i)]));
        QColorDialog dlg(qcolour_of(colour), osw::toolkit_dialog_owner());
        dlg.setOption(QColorDialog::DontUseNativeDialog, true);
        a.ok = run_modal(dlg) == QDialog::Accepted;
        const QColor c = dlg.currentColor();
        a.colour = static_cast<std::uint32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
        // The custom colours keep what the user made of them, chosen or not.
        for (int i = 0; i < 16; ++i) {
            const QColor k = QColorDialog::customColor(i);
            custom[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(k.red() | (k.green() << 8) | (k.blue() << 16));
        }
    }
    if (!a.ok) {
        error = a.error;
        return false;
    }
    colour = a.colour & 0xFFFFFF;
    return true;
}

int os_folder_dialog(const std::string& title, std::string& path, bool allow_missing,
                     const std::function<bool(std::string& path)>& accept) {
    const bool real = !g_responder;
    if (real && !can_show()) return 2;
    std::string start = path;
    for (int round = 1; round <= MaxRounds; ++round) {
        std::string typed;
        if (real) {
            QFileDialog dlg(osw::toolkit_dialog_owner());
            dlg.setOption(QFileDialog::DontUseNativeDialog, true);
            dlg.setOption(QFileDialog::ShowDirsOnly, true);
            // A folder the user may create is typed as any name; the check of
            // the typed path is ours.
            dlg.setFileMode(allow_missing ? QFileDialog::AnyFile : QFileDialog::Directory);
            dlg.setWindowTitle(os_qstring(title));
            dlg.setDirectory(os_qstring(dir_of(start).empty() ? start : dir_of(start)));
            dlg.selectFile(os_qstring(start));
            if (run_modal(dlg) != QDialog::Accepted) return 2;
            const QStringList sel = dlg.selectedFiles();
            typed = sel.isEmpty() ? std::string() : os_from_qstring(sel.front());
        } else {
            OsCommonDialogRequest rq;
            rq.kind = OsCommonDialogKind::Folder;
            rq.title = title;
            rq.directory = start;
            rq.round = round;
            const OsCommonDialogAnswer a = g_responder(rq);
            if (!a.ok) return 2;
            typed = a.directory;
        }
        std::string candidate = typed;
        if (accept(candidate)) {
            path = candidate;
            return 1;
        }
        start = typed;
    }
    return 2;
}

bool os_page_setup_defaults(OsPageSetup& setup) {
    if (!os_app_gui()) return false;
    const int units = setup.units;
    auto p = make_printer({});
    setup = OsPageSetup{};
    setup.units = units;
    read_printer(*p, setup);
    return true;
}

bool os_page_setup_dialog(OsPageSetup& setup, std::uint32_t& error) {
    error = 0;
    if (g_responder) {
        OsCommonDialogRequest rq;
        rq.kind = OsCommonDialogKind::PageSetup;
        rq.page = setup;
        const OsCommonDialogAnswer a = g_responder(rq);
        if (!a.ok) {
            error = a.error;
            return false;
        }
        const int units = setup.units;
        setup = a.page;
        setup.units = units;
        return true;
    }
    if (!can_show()) {
        error = OS_CDERR_DIALOGFAILURE;
        return false;
    }
    return run_page_setup(setup);
}
