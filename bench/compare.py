#!/usr/bin/env python3
"""Side-by-side: the batch run against gdal_grid and matplotlib.

Generates the 45,000-node, 17-aquifer model and a settings file for a
500 x 500 Surfer grid of one quantity with the project's own generator
(femgen), then runs, interleaved and --runs times each:

  zeltramo    the batch program on the settings file (read, grid, write the
              Surfer grid, the closing redraw on the offscreen platform)
  gdal        gdal_grid -a linear on the same nodes, writing GeoTIFF
  gdal+gsag   the same followed by gdal_translate -of GSAG (Surfer ASCII)
  matplotlib  LinearTriInterpolator on the model's own triangles, writing
              a Surfer ASCII grid

and prints the median wall-clock times, their ratios to the batch run, the
peak resident memory of each and the largest difference between the
grids at the points where both have a value. gdal triangulates the nodes
itself (Delaunay), so where its diagonals differ from the model's the
values differ too; matplotlib uses the model's triangles.

Needs: the release build (cmake --preset default && cmake --build --preset
default), gdal-bin, python3-matplotlib (tools/install-deps.sh installs them).

  bench/compare.py [--build DIR] [--runs N] [--keep DIR]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BLANK = 1.70141e38
NODES = 212          # lattice points per side: 44,944 nodes
GRID = 500
OPTION = 3           # the quantity the generator's settings activate: head of aquifer 1


def run(cmd, cwd, env=None):
    """Runs cmd; returns (seconds, peak resident MB)."""
    start = time.perf_counter()
    p = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = p.stderr.read()
    _, status, usage = os.wait4(p.pid, 0)
    seconds = time.perf_counter() - start
    p.returncode = os.waitstatus_to_exitcode(status)
    if p.returncode != 0:
        sys.exit("%s failed (%d): %s" % (cmd[0], p.returncode, err.decode(errors="replace")))
    return seconds, usage.ru_maxrss / 1024.0


def free_records(path):
    """The model file's free-format records: yields the list of fields a
    line holds, after the 15 title lines (every record of the generator's
    files is one line)."""
    with open(path) as f:
        for _ in range(15):
            f.readline()
        for line in f:
            yield line.replace(",", " ").split()


def read_model(path):
    """Nodes (x, y, value of the quantity) and the triangles as the program
    builds them from the neighbour rings."""
    rec = free_records(path)
    nnode, _, naq, nwell = (int(v) for v in next(rec)[:4])
    next(rec), next(rec), next(rec)
    xs, ys, zs, rings, codes = [], [], [], [], []
    k = OPTION // 3
    for _ in range(nnode):
        a = next(rec)
        codes.append(int(a[0]))
        xs.append(float(a[1]))
        ys.append(float(a[2]))
        zs.append(float(a[3 + 2 * k]) if k > 0 else float(a[3]))
        next(rec)
        c = next(rec)
        n = int(c[0])
        rings.append([int(v) for v in c[2:n + 1]])
    tris, seen = [], set()
    for i, ring in enumerate(rings, start=1):
        m = len(ring)
        last = m - 1 if codes[i - 1] == 1 else m
        for j in range(last):
            t = (i, ring[j], ring[(j + 1) % m])
            key = tuple(sorted(t))
            if key not in seen:
                seen.add(key)
                tris.append(t)
    return xs, ys, zs, tris


def read_surfer(path):
    """A Surfer ASCII grid: (nx, ny, x0, x1, y0, y1, values row by row from y0)."""
    with open(path) as f:
        fields = f.read().split()
    assert fields[0] == "DSAA", path
    nx, ny = int(fields[1]), int(fields[2])
    x0, x1, y0, y1 = (float(v) for v in fields[3:7])
    values = [float(v) for v in fields[9:9 + nx * ny]]
    return nx, ny, x0, x1, y0, y1, values


def largest_difference(a, b):
    worst, both = 0.0, 0
    for u, v in zip(a, b):
        if abs(u) >= 1e37 or abs(v) >= 1e37:
            continue
        both += 1
        worst = max(worst, abs(u - v))
    return worst, both


MATPLOTLIB = r'''
import sys
import numpy as np
from matplotlib.tri import Triangulation, LinearTriInterpolator
nodes = np.loadtxt(sys.argv[1], delimiter=",", skiprows=1)
tris = np.loadtxt(sys.argv[2], dtype=np.int64) - 1
nx, ny = int(sys.argv[4]), int(sys.argv[5])
x0, x1, y0, y1 = (float(v) for v in sys.argv[6:10])
t = Triangulation(nodes[:, 0], nodes[:, 1], tris)
f = LinearTriInterpolator(t, nodes[:, 2])
gx, gy = np.meshgrid(np.linspace(x0, x1, nx), np.linspace(y0, y1, ny))
z = f(gx, gy).filled(1.70141e38)
with open(sys.argv[3], "w") as out:
    out.write("DSAA\n%d %d\n%.10g %.10g\n%.10g %.10g\n%.10g %.10g\n" %
              (nx, ny, x0, x1, y0, y1, z[z < 1e37].min(), z[z < 1e37].max()))
    for row in z:
        np.savetxt(out, row[None, :], fmt="%.7g")
'''


def matplotlib_python():
    """An interpreter that has matplotlib: this one, or the system's."""
    for exe in (sys.executable, "/usr/bin/python3"):
        if exe and subprocess.run([exe, "-c", "import matplotlib.tri"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0:
            return exe
    sys.exit("matplotlib is missing: run tools/install-deps.sh")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(root, "build"))
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--keep", help="work in this directory and keep it")
    args = ap.parse_args()
    femgen = os.path.join(args.build, "tools", "femgen")
    program = os.path.join(args.build, "app", "zeltramo")
    for tool in (femgen, program):
        if not os.access(tool, os.X_OK):
            sys.exit("%s is missing: build with cmake --preset default && cmake --build --preset default" % tool)
    for tool in ("gdal_grid", "gdal_translate"):
        if shutil.which(tool) is None:
            sys.exit("%s is missing: run tools/install-deps.sh" % tool)

    work = args.keep or tempfile.mkdtemp(prefix="zeltramo-compare-")
    os.makedirs(work, exist_ok=True)
    try:
        model = os.path.join(work, "model.fem")
        subprocess.run([femgen, "--nodes", str(NODES), str(NODES), "--aquifers", "17", "--jitter", "0.1",
                        "--smooth", "--spacing", "10", "10", "--wells", "100", "--labels", "10",
                        "--grid", str(GRID), str(GRID), "--settings", work, model], check=True)
        # The batch run rewrites zeltramo.ini in its working directory.
        settings = os.path.join(work, "batch.ini")
        shutil.copy(os.path.join(work, "zeltramo.ini"), settings)
        with open(settings) as f:
            lines = f.read().splitlines()
        grid_name = lines[6].strip()   # after the model, grid type, corners, size, rotation and option

        xs, ys, zs, tris = read_model(model)
        nodes_csv = os.path.join(work, "nodes.csv")
        with open(nodes_csv, "w") as f:
            f.write("x,y,z\n")
            for x, y, z in zip(xs, ys, zs):
                f.write("%.9g,%.9g,%.9g\n" % (x, y, z))
        tri_txt = os.path.join(work, "triangles.txt")
        with open(tri_txt, "w") as f:
            for t in tris:
                f.write("%d %d %d\n" % t)
        with open(os.path.join(work, "nodes.vrt"), "w") as f:
            f.write('<OGRVRTDataSource><OGRVRTLayer name="nodes"><SrcDataSource>%s</SrcDataSource>'
                    '<GeometryType>wkbPoint</GeometryType>'
                    '<GeometryField encoding="PointFromColumns" x="x" y="y" z="z"/>'
                    '</OGRVRTLayer></OGRVRTDataSource>\n' % nodes_csv)
        mpl_script = os.path.join(work, "mpl_grid.py")
        with open(mpl_script, "w") as f:
            f.write(MATPLOTLIB)

        # The grid points: the generator's settings span the model's extent.
        x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
        dx, dy = (x1 - x0) / (GRID - 1), (y1 - y0) / (GRID - 1)
        # gdal's cells are areas: their centres on the grid points.
        gdal_grid = ["gdal_grid", "-q", "-a", "linear:nodata=%s" % BLANK, "-zfield", "z", "-l", "nodes",
                     "-txe", repr(x0 - dx / 2), repr(x1 + dx / 2), "-tye", repr(y0 - dy / 2), repr(y1 + dy / 2),
                     "-outsize", str(GRID), str(GRID), "-ot", "Float32", "-of", "GTiff",
                     "nodes.vrt", "gdal.tif"]
        translate = ["gdal_translate", "-q", "-of", "GSAG", "gdal.tif", "gdal.grd"]
        mpl = [matplotlib_python(), mpl_script, nodes_csv, tri_txt, "mpl.grd", str(GRID), str(GRID),
               repr(x0), repr(x1), repr(y0), repr(y1)]
        env = dict(os.environ)
        if not env.get("DISPLAY") and not env.get("WAYLAND_DISPLAY"):
            env["QT_QPA_PLATFORM"] = "offscreen"

        load_before = os.getloadavg()[0]
        times = {k: [] for k in ("zeltramo", "gdal", "gdal+gsag", "matplotlib")}
        peaks = {k: 0.0 for k in times}
        for _ in range(args.runs):
            t, m = run([program, settings], work, env)
            times["zeltramo"].append(t)
            peaks["zeltramo"] = max(peaks["zeltramo"], m)
            t, m = run(gdal_grid, work)
            t2, m2 = run(translate, work)
            times["gdal"].append(t)
            times["gdal+gsag"].append(t + t2)
            peaks["gdal"] = max(peaks["gdal"], m)
            peaks["gdal+gsag"] = max(peaks["gdal+gsag"], m, m2)
            t, m = run(mpl, work)
            times["matplotlib"].append(t)
            peaks["matplotlib"] = max(peaks["matplotlib"], m)

        ours = read_surfer(os.path.join(work, grid_name))
        theirs = {"gdal+gsag": read_surfer(os.path.join(work, "gdal.grd")),
                  "matplotlib": read_surfer(os.path.join(work, "mpl.grd"))}
        base = statistics.median(times["zeltramo"])
        print("model: %d nodes, %d triangles, 17 aquifers; grid %d x %d, one quantity; %d runs each, interleaved"
              % (len(xs), len(tris), GRID, GRID, args.runs))
        print("load average (1 minute): %.2f before, %.2f after" % (load_before, os.getloadavg()[0]))
        # paired: the median of each run's time over the batch run's time in the same round.
        print("%-12s %12s %10s %10s %12s  %s" % ("", "median (s)", "ratio", "paired", "peak (MB)",
                                                "largest difference"))
        for k in times:
            diff = ""
            if k in theirs:
                worst, both = largest_difference(ours[6], theirs[k][6])
                diff = "%.3g over %d points" % (worst, both)
            elif k == "gdal":
                diff = "(GeoTIFF; see gdal+gsag)"
            paired = statistics.median(t / z for t, z in zip(times[k], times["zeltramo"]))
            print("%-12s %12.3f %10.2f %10.2f %12.1f  %s" % (k, statistics.median(times[k]),
                                                           statistics.median(times[k]) / base, paired, peaks[k], diff))
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
