MeshVersionFormatted 2
Dimension 3
Time
0.5

Iterations
3

SolAtTetrahedra
2
1 1
-0.8
-0.1

SolAtPyramids
1
1 2
-0.7 -0.4 -0.1

SolAtPrisms
1
1 3
-0.6 -0.3 0 0.3 0.6 0.9

SolAtHexahedra
1
1 4
-0.5 -0.2 0.1 0.4 0.7 1 -1 -0.7 -0.4

End
