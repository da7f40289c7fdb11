#pragma once
// State of the main program that the command handlers share: the view flags
// handed to the map view, the file names and the texts the grid dialogs keep
// between commands.
#include <array>
#include <cstdint>
#include <numbers>
#include <string>

#include "lib/window/messages.h"

// pi as the main program computes it, four times the arc tangent of 1 in
// extended precision; every conversion between degrees and radians uses it.
inline constexpr long double MainPi = std::numbers::pi_v<long double>;

// Indices of the eight grid-dialog texts in `gridtexts`.
enum GridText { TxX0 = 0, TxY0, TxX1, TxY1, TxNx, TxNy, TxRot, TxCell, GridTextCount };
constexpr int GridTextLength = 12;

struct MainState {
    std::int32_t plotmode = 0;      // 0 none, 1 filled contours, -1 iso-lines
    std::int32_t showmesh = 0;
    std::int32_t showmaps = 0;
    std::int32_t showcontour = 0;   // a grid has been calculated
    std::int32_t showgridpts = 0;
    std::int32_t mfgrid = 0;        // the current grid is a MODFLOW grid
    std::int32_t loaded = 0;
    std::int32_t shownodal = 0;
    std::int32_t showriver = 0;
    std::int32_t autosave = 0;      // Calculation writes each grid to its own file
    std::int32_t profwin = 0;       // the profile window is open
    std::int32_t profslot = 0;      // its window slot
    std::int32_t nprofpts = 100;
    std::int32_t selflags = 10;
    std::string femname = std::string(80, ' ');
    std::string gridname = std::string(80, ' ');
    std::string profname = std::string(80, ' ');
    std::string wmfname = std::string(80, ' ');
    std::int32_t lname = 0;
    std::array<std::int32_t, 52> optstate{};   // check states of the GridOption boxes
    float px = 0, py = 0;                      // pointer position in world units
    // The texts the grid dialogs show: txx0, txy0, txx1, txy1, txnx, txny,
    // txrot, txcell, 12 characters each.
    std::array<std::string, GridTextCount> gridtexts;
    // The value read-out's last text (12 characters), written again while
    // the pointer is off the mesh.
    std::string readout = std::string(12, ' ');
    // The last message the loop or a command took.
    std::int32_t msgtype = 0;
    WindowMessage msg{};
    // The program has stopped (the process ends then; a test's stand-in for
    // the process end returns, and the loop sees this).
    bool ended = false;
    MainState() { gridtexts.fill(std::string(GridTextLength, ' ')); }
};

extern MainState mainstate;

// Field identifier of the Options dialog's check box of GridOption k (0..51).
int optfield(int k);
// The short caption beside that box, 28 characters: "reference head",
// "aquitard i, resistance/leak", "aquifer i, transmissivity", "aquifer i, head".
std::string optcaption(int k);

// Back to the start values, with the texts and choices the commands keep
// between their runs. Used by tests.
void reset_main_state();

// Redraws the map view with the current nine view flags.
void redraw_view();

// The grid values were calculated now, for the model and grid definition in
// force (Calculation and the settings start call this).
void note_grid_calculated();
// Whether the grid values belong to the model and grid definition in force:
// false before the first calculation and once the model, the grid, its
// rotation, type or row order, or the MODFLOW cells changed since.
bool grid_calculated();
