#pragma once
// The model file reader: reads a finite-element model, builds its triangles
// from the nodes' neighbour rings and draws the mesh while building it.
//
// A model is read completely into a scratch model first and copied into the
// program's data blocks only when everything was read and built, so a file
// that is rejected leaves the loaded model as it was.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/appdata.h"
#include "app/uninitialised.h"
#include "platform/os_file.h"

// Exit codes of the reader's stops: a batch run ends with them, an
// interactive command abandons the load. The message has been reported
// through app_input_error by then.
constexpr int ExitMaxWells = 20;      // "maximum 765000 wells"
constexpr int ExitMaxAquifers = 21;   // "maximum 17 aquifers"
constexpr int ExitMaxNodes = 22;      // "maximum nodes 45000"
constexpr int ExitMaxElements = 23;   // "maximum elements 90000" (stated or built)
constexpr int ExitInputError = 2;     // any other read that fails: bad record, bad neighbour list

// The largest model file read. A model at every maximum (45,000 nodes with
// 52 quantities and 25 neighbours each, 765,000 wells, 1,000 labels) takes
// under 100 MB as the program writes it; the bound leaves room for wider
// fields. Larger files, and names that are not regular files, are refused
// with ExitInputError.
constexpr std::size_t MaxModelFileBytes = std::size_t{256} << 20;

// Results of leesfem besides the exit codes above.
constexpr int FemLoaded = 0;
constexpr int FemMissing = -1;   // no such file: nothing changed

// A model as read, before it replaces the loaded one. Node i is at index
// i - 1 of the per-node vectors.
struct FemModel {
    std::array<std::string, TitleLines> title;   // 80 characters each
    std::int32_t nnode = 0, nelemhdr = 0, naq = 0, nwell = 0;
    float xmax = 0, xmin = 0, ymax = 0, ymin = 0;
    std::int32_t ihdr1 = 0, ihdr2 = 0;
    std::vector<std::int32_t> nodecode, nodeint, nodeextra;
    std::vector<float> x, y;
    // Planes 0..3*naq of each node: value[(i - 1) * planes() + p].
    std::vector<float, Uninitialised<float>> value;
    // Neighbour rings: entries 1..n at [0..n-1], the closing copy of entry 2
    // at [n] (when n >= 2); nnb negative for a boundary node.
    std::vector<std::array<std::int32_t, MaxNeighbours + 1>, Uninitialised<std::array<std::int32_t, MaxNeighbours + 1>>> nb;
    std::vector<std::int32_t> nnb;
    std::vector<std::int32_t> wellint1, wellint2;
    std::vector<float> wellval;
    std::vector<std::string> labels;   // 80 characters each
    // The triangles built, corners in the order of the building.
    std::vector<std::array<std::int32_t, 3>, OsPopulatedAllocator<std::array<std::int32_t, 3>>> elnode;

    int planes() const { return 3 * naq + 1; }
    float& val(int node, int plane) {
        return value[static_cast<std::size_t>(node - 1) * static_cast<std::size_t>(planes()) +
                     static_cast<std::size_t>(plane)];
    }
    float val(int node, int plane) const {
        return value[static_cast<std::size_t>(node - 1) * static_cast<std::size_t>(planes()) +
                     static_cast<std::size_t>(plane)];
    }
    std::int32_t ring(int node, int entry) const {
        return nb[static_cast<std::size_t>(node - 1)][static_cast<std::size_t>(entry - 1)];
    }
};

// Called for each triangle as it is built (the mesh drawing); may be null.
using TriangleSink = void (*)(const FemModel& m, std::int32_t a, std::int32_t b, std::int32_t c);

// Draws a triangle's outline in the mesh colour.
void draw_mesh_triangle(const FemModel& m, std::int32_t a, std::int32_t b, std::int32_t c);

// Builds the triangles of m's rings into m.elnode. Each candidate (node, two
// successive ring entries) becomes a triangle unless an equal one exists;
// the duplicate search looks only at the triangles that share a corner with
// the candidate. Returns 0, or the node whose candidate would exceed 90,000
// triangles (m.elnode then holds the 90,000 built).
int build_triangles(FemModel& m, TriangleSink sink = nullptr);
// The same by searching every triangle built so far; the reference for the
// fast version, which must give the same triangles in the same order.
int build_triangles_plain(FemModel& m, TriangleSink sink = nullptr);

// Reads and builds the named model into m, drawing the mesh as it goes.
// Returns FemLoaded, FemMissing, or an exit code above (error reported).
int read_fem_model(std::string_view filename, FemModel& m);

// Replaces the loaded model by m: the model blocks, the extent and the view.
// Entries beyond the new counts keep what they held.
void commit_fem_model(const FemModel& m);

// Clears the window, draws the logo, then reads, builds and (on success)
// loads the model. Returns FemLoaded, FemMissing (nothing changed) or an
// exit code (error reported, loaded model unchanged).
int leesfem(std::string_view filename);
