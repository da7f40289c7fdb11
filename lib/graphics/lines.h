#pragma once
// The line layer of the graphics core: the current position, points, moves,
// lines, joins and polylines in world units, line type and width, the
// rectangle outline in device units, and the clipper every line of the
// library passes through. Nothing here reports an error.
//
// "Inside" always means inside the clip box: the clip window of the
// graphics state enlarged by 0.001 device units on every side, borders
// included.

// ---------------------------------------------------------------- public

// Current position := (X, Y); one point there when it is inside.
void igrpoint(float x, float y);
// Current position += (DX, DY); one point there when it is inside.
void igrpointrel(float dx, float dy);
// Move the current position without drawing.
void igrmoveto(float x, float y);
void igrmovetorel(float dx, float dy);
// Line from the current position to (X, Y), resp. to the current position
// plus (DX, DY); the current position becomes the unclipped end point.
void igrlineto(float x, float y);
void igrlinetorel(float dx, float dy);
// Line from (X1, Y1) to (X2, Y2), resp. to (X1 + DX, Y1 + DY); the current
// position becomes the end point.
void igrjoin(float x1, float y1, float x2, float y2);
void igrjoinrel(float x1, float y1, float dx, float dy);
// Lines from the current position through the N points in world units:
// the picture of igrlineto to each point in turn, in fewer calls.
void igrlinesto(const float* x, const float* y, int n);
// Polyline through N points in world units (at most the first 5000).
void igrpolyline(const float* x, const float* y, int n);
// Line type 0..7; any other value is 0.
void igrlinetype(int ltype = 0);
// Screen width in pixels, hardcopy thickness, memory-metafile width in
// tenths of a point; each is taken only when greater than 0.
void igrlinewidth(int w1 = 0, int w2 = 0, int w3 = 0);

// ---------------------------------------------------------------- internal

// One line in world units: both ends transformed, then as yylini.
void yyline(float x1, float y1, float x2, float y2);
// Clip and draw one line in device units. The arguments stay untouched.
void yylini(float x1, float y1, float x2, float y2);
// Polyline of N points, at most 5000 used; MODE 0: world units (and the
// current position becomes the last point used), otherwise device units.
// Runs of inside points go to the devices as one polyline operation each.
void yypline(const float* x, const float* y, int n, int mode);
// Rectangle outline in device units as four lines; on the screen side in a
// plot mode other than 0 each side starts one unit past the previous
// side's end so that no corner pixel is drawn twice.
void yyrect(float x1, float y1, float x2, float y2);
// Clip the segment (X1, Y1)-(X2, Y2) in place against the clip window;
// VISIBLE := 1 when something of it remains, else 0.
void yyclip(float& x1, float& y1, float& x2, float& y2, int& visible);
// 1 when (PX, PY) is inside and within the bounding box of the segment.
int yylin(float px, float py, float x1, float y1, float x2, float y2);
// 1 when (X, Y) is inside.
int yybox(float x, float y);
