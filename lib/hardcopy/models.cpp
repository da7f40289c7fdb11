// Printer, plotter and HP-GL/2 device models: the selections and what the
// printer model's record says about resolutions, planes and compression.
#include <array>
#include <string_view>

#include "lib/hardcopy/hardcopy.h"
#include "lib/window/text.h"

namespace {

struct PrinterModelRecord {
    std::string_view record;  // family, planes, colour kind, option-24 limit, "2" for HP-GL/2
    std::string_view name;
};

// Models 2..38; model 27 has no record and is never selected.
constexpr std::array<PrinterModelRecord, 37> PrinterModelTable = {{
    {"M1M0 ", "IBM Graphics Printer"},
    {"F1M0 ", "Panasonic KX-P1081"},
    {"F1M0 ", "Amstrad DMP 3000"},
    {"F1M0 ", "Epson EX/FX/LX/RX"},
    {"F1M0 ", "Epson EX/FX/LX/RX   (wide)"},
    {"M1M0 ", "Epson MX-80 II/III"},
    {"M1M0 ", "Epson MX-100        (wide)"},
    {"S1M0 ", "Shinwa CP80"},
    {"L1M0 ", "HP LaserJet +"},
    {"L1M0 ", "HP LaserJet II"},
    {"M1M0 ", "IBM Graphics Printer(wide)"},
    {"P3R1 ", "HP PaintJet"},
    {"D1M2 ", "HP DeskJet/DeskJet +"},
    {"M1M0 ", "IBM Proprinter"},
    {"M1M0 ", "IBM Proprinter      (wide)"},
    {"Q1M0 ", "Epson LQ/SQ"},
    {"Q1M0 ", "Epson LQ/SQ         (wide)"},
    {"X1M0 ", "IBM Proprinter X24"},
    {"X1M0 ", "IBM Proprinter X24  (wide)"},
    {"D3R2 ", "HP DeskJet 310/500 colour"},
    {"D1M2 ", "HP DeskJet 310/500/510/520"},
    {"F3C0 ", "Epson JX/LX colour"},
    {"F3C0 ", "Epson JX/LX colour  (wide)"},
    {"Q3C0 ", "Epson LQ colour"},
    {"Q3C0 ", "Epson LQ colour     (wide)"},
    {"     ", ""},
    {"L1M22", "HP LaserJet III/4L"},
    {"41M22", "HP LaserJet 4/5 series"},
    {"33R1 ", "HP PaintJet XL 300"},
    {"D3C2 ", "HP DeskJet 550C/560C/660C"},
    {"D3C22", "HP DeskJet 1200C/1600C"},
    {"51M2 ", "HP DeskJet 540 colour"},
    {"53C2 ", "HP DeskJet 540 mono"},
    {"L3C22", "HP Color LaserJet"},
    {"21M1 ", "Epson Stylus"},
    {"23C1 ", "Epson Stylus colour"},
    {"43C22", "HP Color LaserJet 4500/8500"},
}};

constexpr std::array<std::string_view, 10> PlotterModelNames = {
    "Generic HP-GL 4-pen plotter", "HP 7475A A4 paper (6 pens)", "HP 7475A A3 paper (6 pens)",
    "Epson HI80/HP ROM (4 pens)",  "Facit 4550 A4     (6 pens)", "HP 7440A A4 paper (8 pens)",
    "HP 7550A A4 paper (8 pens)",  "HP 7550A A3 paper (8 pens)", "Facit 4551 A4     (6 pens)",
    "Facit 4551 A3     (6 pens)",
};

constexpr std::array<std::string_view, 5> Hpgl2DeviceNames = {
    "HP LaserJet III", "HP DJet 1200C/1600C, Color LJet", "HP LaserJet 4/5", "HP DesignJet",
    "HP Color LaserJet 4500/8500",
};

constexpr std::string_view FamilyLetters = "MFSXQ2LDP345";

struct FamilyResolutions {
    std::array<std::int32_t, 4> list;
    std::int32_t count;
    std::int32_t dots_per_pass;
    std::int32_t line_feed;  // 0: unchanged
};

// Families 1..12.
constexpr std::array<FamilyResolutions, 12> ResolutionTable = {{
    {{240, 120, 60, 0}, 3, 8, 23},
    {{240, 120, 90, 80}, 4, 8, 23},
    {{160, 80, 0, 0}, 2, 8, 22},
    {{360, 180, 120, 60}, 4, 24, 29},
    {{360, 180, 120, 90}, 4, 24, 24},
    {{720, 360, 180, 0}, 3, 1, 0},
    {{300, 150, 100, 75}, 4, 1, 0},
    {{300, 150, 100, 75}, 4, 1, 0},
    {{180, 90, 0, 0}, 2, 1, 0},
    {{300, 150, 100, 75}, 4, 1, 0},
    {{600, 300, 200, 150}, 4, 1, 0},
    {{300, 150, 75, 0}, 3, 1, 0},
}};

constexpr int DefaultPrinterModel = 28;

bool selectable_printer(int model) { return model >= 2 && model <= 38 && model != 27; }

int digit(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

void iprinter(int model) {
    DeviceModels& m = hcstate.models;
    m.printer_model = selectable_printer(model) ? model : DefaultPrinterModel;
    const std::string_view r = PrinterModelTable[static_cast<std::size_t>(m.printer_model - 2)].record;
    m.PrinterFamily = static_cast<std::int32_t>(FamilyLetters.find(r[0]) + 1);
    m.PrinterPlanes = digit(r[1]);
    m.PrinterColourKind = r[2] == 'R' ? 1 : r[2] == 'C' ? 2 : 0;
    m.Option24Limit = digit(r[3]);
    if (r[4] == '2' && m.hpgl2_chosen == 0) iprinter2(0);
    if (m.PrinterFamily > 5) {
        m.DotsPerPass = 1;
    } else {
        m.DotsPerPass = 8;
        m.LineFeedUnits = 23;
    }
    const FamilyResolutions& f = ResolutionTable[static_cast<std::size_t>(m.PrinterFamily - 1)];
    for (std::size_t i = 0; i < static_cast<std::size_t>(f.count); ++i) m.ResolutionList[i] = f.list[i];
    m.ResolutionCount = f.count;
    m.DotsPerPass = f.dots_per_pass;
    if (f.line_feed != 0) m.LineFeedUnits = f.line_feed;
    // Families 11 and 12 share the command sets of 7 and 8.
    if (m.PrinterFamily == 11) m.PrinterFamily = 7;
    if (m.PrinterFamily == 12) m.PrinterFamily = 8;
}

void iprinter2(int device) {
    DeviceModels& m = hcstate.models;
    if (device >= 1 && device <= 5) {
        m.hpgl2_device = device;
        m.hpgl2_chosen = 1;
        return;
    }
    switch (m.printer_model) {
        case 32:
        case 35: m.hpgl2_device = 2; break;
        case 29: m.hpgl2_device = 3; break;
        case 38: m.hpgl2_device = 5; break;
        default: m.hpgl2_device = 1; break;
    }
}

void iplotter(int model) {
    DeviceModels& m = hcstate.models;
    if (model >= 1 && model <= 10) {
        m.plotter_model = model;
    } else if (model >= 11 && model <= 15) {
        m.plotter_model = 1;
        m.hpgl2_device = model - 10;
        m.hpgl2_chosen = 1;
    } else {
        m.plotter_model = 1;
    }
}

std::string printer_model_name(int model) {
    const bool known = model >= 2 && model <= 38;
    return txt_fixed(known ? PrinterModelTable[static_cast<std::size_t>(model - 2)].name : "", 27);
}

std::string plotter_model_name(int model) {
    const bool known = model >= 1 && model <= 10;
    return txt_fixed(known ? PlotterModelNames[static_cast<std::size_t>(model - 1)] : "", 27);
}

std::string hpgl2_device_name(int device) {
    const bool known = device >= 1 && device <= 5;
    return txt_fixed(known ? Hpgl2DeviceNames[static_cast<std::size_t>(device - 1)] : "", 31);
}

std::string model_display_name(int kind) {
    switch (kind) {
        case 1: return printer_model_name(hcstate.models.printer_model);
        case 2: return plotter_model_name(hcstate.models.plotter_model);
        case 3: return hpgl2_device_name(hcstate.models.hpgl2_device);
        default: return {};
    }
}
