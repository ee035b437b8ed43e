// Solution fields of a mesh: reading a solution file into the per-kind solution lists of a
// ZelObject, handing fields out, and the derived scalar fields the viewer draws.
//
// A field is a ZelSolution record (meshio/zel_object.h). Its values hold (nbrEnt + 1) * nbrNod
// blocks of the type's size (scalar 1; vector dim; symmetric matrix dim(dim+1)/2 stored as the
// upper triangle row by row; full matrix dim*dim row by row); the block of node k (0-based) of
// entity i (1-based) starts at double ((i * nbrNod) + k) * size. Slot 0 is zero.
// Each entity kind (vertices and every element kind of degree 1 to 4) has one list; fields are
// numbered 1, 2, 3 ... along it, the fields of the last keyword read first.
#pragma once

#include "meshio/zel_object.h"

// Reads a solution file into the object's lists. The name is cut at ".mesh" if it holds one
// (the mesh name may be passed as is), tried as given, then (unless it holds ".sol") with
// ".solb" and ".sol" appended. Checks the dimension, every line count against the count of its
// carrying kind, the NodesPositions line counts and the solution sizes. Returns 0, or 2 with
// the message in the status buffer; the name opened is echoed into its second half. Fields
// read before a failure stay attached. Prints one line per NodesPositions keyword accepted.
// A keyword the file cannot hold, or whose values cannot be read, is left out with one line
// "  ## WARNING: <file>: <reason>" on standard output and the others are read; the call then
// fails with that reason only when no field at all could be read. A file that cannot be opened
// gives "Cannot open solution file ..." and, on its own indented line, the reason.
int zel_OpenSolution(ZelObject* object, const char* solName, char* status);

// The k-th field (1-based) of a kind: 99 vertices, or the SolTyp of an element kind (101..127,
// edges 100, 107, 114, 121 excepted). Outputs that are not null are set to 0 first, then to
// the field's entity count, type, iteration, time, degree and nodes per entity. Returns the
// value array (owned by the object), or null: quietly for kind 0; with " zel_GetSolutionArray
// is undefined for Typ %d !\n" for other kinds; with "Invalid request to get a solution\n" for
// an empty list or a k beyond it (the latter also prints a warning line).
double* zel_GetSolutionArray(ZelObject* object, int kind, int k, int* nbrEnt, int* typ,
                             int* iteration, double* time, int* deg, int* nbrNod, char* status);

// Number of fields: the longest solution list over all entity kinds (0 without solution).
int zel_GetNumberOfSolutionFields(ZelObject* object);

// Prints "  Degree of HOSolAt<kind> <degree>" for every element kind whose list is not empty
// (the degree of its first field), kinds in the order edges, triangles, quadrilaterals,
// tetrahedra, pyramids, prisms, hexahedra, each of degree 1 to 4.
void zel_PrintSolutionDegrees(ZelObject* object);

// Derived fields. Each returns a new array allocated with malloc (the caller frees it with
// free()), or null for bad arguments or when memory runs out.

// Euclidean norm of each vector block: (nbrEnt + 1) * nbrNod doubles, slot 0 included. The
// block has 2 values in two dimensions, 3 in three.
double* zel_SolutionNorm(ZelObject* object, const double* val, int nbrEnt, int nbrNod);

// Determinant of each matrix block, typ 3 (symmetric) or 4 (full): (nbrEnt + 1) * nbrNod
// doubles, entities 1..nbrEnt computed, slot 0 zero.
double* zel_SolutionDeterminant(ZelObject* object, const double* val, int nbrEnt, int nbrNod,
                                int typ);

// Expands a vertex field (1-based blocks of type typ) onto the nodes of elements: nodes is the
// kind's node-index array (element e at e * nbrNod, 1-based vertex numbers). The result has the
// element layout above. A node index outside 1..nbrVer prints "error" and leaves its block 0.
double* zel_VertexToElementSolution(int dim, const double* vertexVal, int nbrVer, int typ,
                                    const int* nodes, int nbrNod, int nbrEle);

// Compact copy of the blocks of n entities: slot j + 1 (0 <= j < n) holds the valuesPerEntity
// values of entity list[j] (1-based). Slot 0 is zero.
double* zel_GatherSolution(const double* val, int valuesPerEntity, int n, const int* list);
