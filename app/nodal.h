#pragma once
// Nodal areas: the part of the model area each node represents, the polygon
// through the midpoints of its edges and the centroids of the triangles
// around it, kept in `dat40` for the map view, the read-out and the
// river-line intersection.

// Computes, stores and draws (grey outline) the polygon of every node
// (node 0) or of one node; fill > 0 fills each polygon in green over its
// outline. total is the sum of the areas processed. A node with fewer than
// two neighbours gets no polygon and the area 0.
void nodal_area(int node, int fill, float& total);
// The same, each polygon side's lengths and angle computed on their own
// and every node's neighbours ordered by the heapsort of their direction
// keys; kept as the reference that nodal_area must equal.
void nodal_area_plain(int node, int fill, float& total);

// Heapsort of n keys in ascending order, each point (pts[2k], pts[2k + 1])
// moving with its key. n < 2 leaves everything as it is.
void sort(int n, float* key, float* pts);

// The length of (x, y) as hypot gives it in double, rounded to float.
float nodal_length(float x, float y);

// Plot > Nodal areas (40037): switches the nodal-area view and redraws.
void cmd_nodal_areas();

// The node nearest to (x, y), the lowest-numbered of equally near ones;
// keeps previous when no node lies nearer than 1.0E10.
int nearest_node(float x, float y, int previous);

// The read-out of a mouse press while the nodal areas are shown: fills the
// nearest node's area and writes "nodal area: ", its number (I5) and its
// area truncated (I15) into status part 4.
void nodal_readout(float x, float y);
